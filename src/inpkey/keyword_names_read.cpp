// The keyword names a program reads, its option and file descriptions
// included: the keyword file may describe every keyword with a DESCR_ or a
// MSG_ companion, which the reports of that keyword show.
#include "inpkey/inpkey.h"

namespace kavril {

std::vector<std::string> keyword_names_read(std::span<const std::string_view> keywordsRead) {
  std::vector<std::string> names;
  names.reserve(3 * keywordsRead.size());
  for (const std::string_view name : keywordsRead) {
    names.emplace_back(name);
    names.push_back("DESCR_" + std::string(name));
    names.push_back("MSG_" + std::string(name));
  }
  return names;
}

}  // namespace kavril

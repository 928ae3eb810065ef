// Warnings about keywords of the keyword file that look like misspellings of
// keywords the program reads. A misspelt optional keyword is otherwise never
// noticed: the program just runs with its default. Keywords that are not
// near any keyword read stay silent, because the package's menu writes the
// keywords of every program into the keyword files.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

void CKKEYNAM(std::span<const std::string_view> keywordsRead) {
  if (inpKey.runPhase != 2) return;
  const std::vector<std::string> known = keyword_names_read(keywordsRead);
  for (const t_key& key : inpKey.keys) {
    const std::string_view name = platform::trim_right(key.name);
    if (std::find(known.begin(), known.end(), name) != known.end()) continue;
    const auto meant = std::find_if(known.begin(), known.end(),
                                    [&](const std::string& keyword) { return near_keyword(name, keyword); });
    if (meant == known.end()) continue;
    write_keyword_line_block(" ### SR READINPF: Keyword not used by this program", inpKey.inpFilNam, key.line,
                             key.lineNumber, "did you mean " + *meant + "?");
  }
}

}  // namespace kavril

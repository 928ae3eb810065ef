// Counts the occurrences of one character in a text.
#include "inpkey/inpkey.h"

namespace kavril {

int CHRCOUNT(std::string_view chr, std::string_view text, int& first) {
  first = 0;
  if (chr.empty()) return 0;
  int count = 0;
  for (std::size_t pos = text.find(chr.front()); pos != std::string_view::npos;
       pos = text.find(chr.front(), pos + 1)) {
    if (count == 0) first = static_cast<int>(pos) + 1;
    ++count;
  }
  return count;
}

}  // namespace kavril

// Left-justifies a blank-padded text in place.
#include "util/util.h"

namespace kavril {

// Only the blank character counts as a blank (a tab is text). The field keeps
// its length; an all-blank field is left as it is.
void SJUSTL(std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos || first == 0) return;
  text.erase(0, first);
  text.append(first, ' ');
}

}  // namespace kavril

// Length of a text without its trailing blanks and NUL characters.
#include "inpkey/inpkey.h"

namespace kavril {

int LENGT0(std::string_view text) {
  const std::size_t last = text.find_last_not_of(std::string_view(" \0", 2));
  return last == std::string_view::npos ? 0 : static_cast<int>(last) + 1;
}

}  // namespace kavril

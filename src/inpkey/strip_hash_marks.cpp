// Hash marks of keyword values. The menu front end writes "#" around texts
// that would otherwise be taken apart; the reader removes them again:
//   #text#          -> text
//   ..."#text#"...  -> ..."text"...  (for every such double-quoted field)
#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

namespace {

std::size_t used_length(const std::string& value) { return platform::trim_right(value).size(); }

void strip_enclosing_marks(std::string& value) {
  const std::size_t length = used_length(value);
  if (length >= 2 && value[0] == '#' && value[length - 1] == '#') {
    value = value.substr(1, length - 2);
  }
}

// Looks for the end of a field that opens with "# at `open` (0-based position
// of the double quote). Returns the position of the "# that closes it, or npos
// when a double quote or the end of the value comes first.
std::size_t closing_mark(const std::string& value, std::size_t open) {
  const std::size_t length = used_length(value);
  for (std::size_t q = open + 2; q + 1 < length; ++q) {
    if (value[q] == '"') return std::string::npos;
    if (value[q] == '#' && value[q + 1] == '"') return q;
  }
  return std::string::npos;
}

void strip_field_marks(std::string& value) {
  std::size_t p = 0;
  while (p + 4 <= used_length(value)) {
    if (value[p] == '"' && value[p + 1] == '#') {
      const std::size_t close = closing_mark(value, p);
      if (close != std::string::npos) {
        value.erase(close, 1);
        value.erase(p + 1, 1);
        p = close - 1;  // the closing double quote, in the shortened value
        continue;
      }
    }
    ++p;
  }
}

}  // namespace

void strip_hash_marks(std::string& value) {
  strip_enclosing_marks(value);
  strip_field_marks(value);
}

}  // namespace kavril

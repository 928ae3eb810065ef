// Input text quoted in a message.
#include "util/util.h"

namespace kavril {

std::string printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) c = '?';
  }
  return shown;
}

}  // namespace kavril

// Upper-cases a text in place.
#include "util/util.h"

namespace kavril {

// Only the bytes a to z change; accented letters and other 8-bit codes stay,
// whatever the locale.
void UPPERC(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  }
}

}  // namespace kavril

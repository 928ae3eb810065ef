// Values of a broadcast file as the input error reports show them.
#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

std::string d_form(double value) { return d_form(value, 12); }

// Dw.d with w = d + 7: sign, "0.", the digits and a four-character exponent.
std::string d_form(double value, int digits) {
  const int d = std::clamp(digits, 1, 17);
  char text[24];
  platform::put_D(text, value, d + 7, d);
  const std::string_view field(text, static_cast<std::size_t>(d + 7));
  return std::string(field.substr(field.find_first_not_of(' ')));  // never all blank
}

}  // namespace kavril

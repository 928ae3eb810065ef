// Values of a broadcast file as the input error reports show them.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

std::string d_form(double value) {
  char text[19];
  platform::put_D(text, value, 19, 12);
  const std::string_view field(text, sizeof text);
  return std::string(field.substr(field.find_first_not_of(' ')));  // never all blank
}

}  // namespace kavril

// The RINEX version that a text names: its number or its full name.
#include "pgm/pgm.h"

namespace kavril {

int RXVNAM(std::string_view name) {
  for (const RinexVersion& version : rinex_versions()) {
    for (const std::string_view text : version.names) {
      if (name == text) return version.number;
    }
  }
  return 0;
}

}  // namespace kavril

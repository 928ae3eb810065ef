// The RINEX version that a text names: its number or its full name.
#include "pgm/pgm.h"

namespace kavril {

int RXVNAM(std::string_view name) {
  static constexpr std::pair<std::string_view, int> kNames[] = {
      {"1", 1}, {"2", 2}, {"3", 3}, {"2.11", 2}, {"3.04", 3}};
  for (const auto& [text, version] : kNames) {
    if (name == text) return version;
  }
  return 0;
}

}  // namespace kavril

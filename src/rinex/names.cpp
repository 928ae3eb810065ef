// The standard names of RINEX outputs by the systems they hold, made from
// the names of GPS outputs.
#include "nav/nav.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

std::string content_code(SystemSet systems) {
  if (systems.count() != 1) return "MN";
  for (const System s : kSystems) {
    if (systems.has(s)) return std::string(1, letter_of(s)) + 'N';
  }
  return "MN";
}

std::string long_name(std::string_view id, char source, double firstEpoch, double lastEpoch, SystemSet systems) {
  std::string name = nav::long_name(id, source, firstEpoch, lastEpoch);
  constexpr std::string_view kGpsEnd = "GN.rnx";
  name.replace(name.size() - kGpsEnd.size(), 2, content_code(systems));
  return name;
}

std::string short_name(std::string_view id, double firstEpoch, System system) {
  std::string name = nav::short_name(id, firstEpoch);
  if (system == System::GLONASS) name.back() = 'g';
  return name;
}

}  // namespace kavril::rinex

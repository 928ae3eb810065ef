// Lists of satellites on the command line: "5,G07,10-12".
#include <string>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {

// One satellite number, "5" or "G05"; 0 when it is none of 1 to 99.
int satellite_number(std::string_view item) {
  if (!item.empty() && (item.front() == 'G' || item.front() == 'g')) item.remove_prefix(1);
  if (item.empty() || item.size() > 2) return 0;
  for (const char c : item) {
    if (c < '0' || c > '9') return 0;
  }
  int number = 0;
  return platform::parse_int(item, number) ? number : 0;
}

}  // namespace

std::string satellite_name(std::size_t sat) {
  std::string name = "G00";
  name[1] = static_cast<char>('0' + sat / 10 % 10);
  name[2] = static_cast<char>('0' + sat % 10);
  return name;
}

bool parse_satellite_list(std::string_view text, SatelliteSet& set, std::string& error) {
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    const int first = satellite_number(item.substr(0, dash));
    const int last = dash == std::string_view::npos ? first : satellite_number(item.substr(dash + 1));
    if (first == 0 || last == 0 || last < first) {
      error = "satellite must be a number from 1 to 99 (5, G05) or a range (1-9): \"" + std::string(item) + "\"";
      return false;
    }
    for (int sat = first; sat <= last; ++sat) set.set(static_cast<std::size_t>(sat));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace kavril::nav

// Which records a direct run keeps, and their order: systems and satellites
// with their letters, the GPS-time window, the sort key.
#include <bit>
#include <string>

#include "platform/platform.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

constexpr std::string_view kSystemLetters = "GRECJIS";
constexpr int kFirstSbas = 120, kLastSbas = 158;
constexpr int kLastNumber = 99;  // the two digits of the other systems

bool number_of_system(System system, int number) {
  return system == System::SBAS ? number >= kFirstSbas && number <= kLastSbas : number >= 1 && number <= kLastNumber;
}

// One satellite of a list, "G05", "S120" or "5" (GPS, or `implied` after the
// dash of a range); false when it is none.
bool parse_satellite(std::string_view item, System implied, Satellite& satellite) {
  satellite.system = implied;
  if (!item.empty() && !(item.front() >= '0' && item.front() <= '9')) {
    const char letter = item.front() >= 'a' && item.front() <= 'z' ? static_cast<char>(item.front() - 'a' + 'A') : item.front();
    if (!system_of_letter(letter, satellite.system)) return false;
    item.remove_prefix(1);
  }
  if (item.empty() || item.size() > 3) return false;
  for (const char c : item) {
    if (c < '0' || c > '9') return false;
  }
  if (!platform::parse_int(item, satellite.number)) return false;
  // Files write SBAS PRNs 120-158 with two digits (S22): that form names them too.
  if (satellite.system == System::SBAS && item.size() == 2) satellite.number += 100;
  return number_of_system(satellite.system, satellite.number);
}

}  // namespace

int system_rank(System system) { return static_cast<int>(kSystemLetters.find(letter_of(system))); }

std::uint8_t SystemSet::bit(System system) { return static_cast<std::uint8_t>(1U << system_rank(system)); }
int SystemSet::count() const { return std::popcount(bits_); }
SystemSet SystemSet::all() {
  SystemSet set;
  for (const System s : kSystems) set.add(s);
  return set;
}
SystemSet SystemSet::without(SystemSet other) const {
  SystemSet set;
  set.bits_ = static_cast<std::uint8_t>(bits_ & ~other.bits_);
  return set;
}

void SatelliteChoice::add(Satellite satellite) {
  if (satellite.number < 0 || satellite.number >= kLimit || has(satellite)) return;
  const auto n = static_cast<unsigned>(satellite.number);
  bits_[static_cast<std::size_t>(system_rank(satellite.system))][n / 64] |= std::uint64_t{1} << (n % 64);
  ++count_;
}

bool SatelliteChoice::has(Satellite satellite) const {
  if (satellite.number < 0 || satellite.number >= kLimit) return false;
  const auto n = static_cast<unsigned>(satellite.number);
  return (bits_[static_cast<std::size_t>(system_rank(satellite.system))][n / 64] >> (n % 64)) & 1U;
}

bool parse_satellites(std::string_view text, SatelliteChoice& choice, std::string& error) {
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    Satellite first, last;
    bool valid = parse_satellite(item.substr(0, dash), System::GPS, first);
    last = first;
    if (valid && dash != std::string_view::npos) {
      valid = parse_satellite(item.substr(dash + 1), first.system, last) && last.system == first.system &&
              last.number >= first.number;
    }
    if (!valid) {
      error = "satellite must be a system letter and number (G05, R12, S120; no letter: GPS) or a range of one "
              "system (E01-E36): \"" + std::string(item) + "\"";
      return false;
    }
    for (int n = first.number; n <= last.number; ++n) choice.add({first.system, n});
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool parse_systems(std::string_view text, SystemSet& systems, std::string& error) {
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    System system = System::GPS;
    if (item.size() != 1 || !system_of_letter(item.front(), system)) {
      error = "system must be one of the letters G, R, E, C, J, I, S: \"" + std::string(item) + "\"";
      return false;
    }
    systems.add(system);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool RecordSelection::keeps(const Record& record, double gpsTime) const {
  const Satellite sat = record.satellite;
  if (!systems.has(sat.system)) return false;
  if ((hasFrom && gpsTime < from) || (hasTo && gpsTime >= to)) return false;
  if (!chosen.empty() && !chosen.has(sat)) return false;
  return !excluded.has(sat);
}

SortKey sort_key(const Record& record, double gpsTime) {
  return {gpsTime, system_rank(record.satellite.system), record.satellite.number};
}

}  // namespace kavril::rinex

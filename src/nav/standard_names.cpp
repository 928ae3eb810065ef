// The standard names of RINEX navigation files, made from the records a file
// holds.
#include <cmath>
#include <string>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {

constexpr std::size_t kLongIdLength = 9;
constexpr int kMaxPeriod = 99;

bool upper_or_digit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool digit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool valid_long_id(std::string_view id, std::string& error) {
  bool valid = id.size() == kLongIdLength;
  for (std::size_t i = 0; valid && i < id.size(); ++i) {
    const char c = id[i];
    valid = i < 4 ? upper_or_digit(c) : i < 6 ? digit(c) : (c >= 'A' && c <= 'Z');
  }
  if (!valid) {
    error = "RINEX 3 name ID must be 4 letters or digits, 2 digits and a 3-letter country code (BRDC00ORL): \"" +
            std::string(id) + "\"";
  }
  return valid;
}

std::string short_name(std::string_view id, double firstEpoch) {
  static const platform::Layout kShort("(A4,I3.3,'0.',I2.2,'n')");
  std::string station(id.substr(0, 4));
  for (char& c : station) c = lower(c);
  const Calendar c = calendar_of(firstEpoch);
  return formatted_line(kShort, {station, c.dayOfYear, c.year % 100});
}

std::string long_name(std::string_view id, char source, double firstEpoch, double lastEpoch) {
  static const platform::Layout kLong("(A9,'_',A1,'_',I4.4,I3.3,I2.2,I2.2,'_',I2.2,A1,'_GN.rnx')");
  const double hourStart = std::floor(firstEpoch / 3600.0) * 3600.0;
  const double dayStart = std::floor(firstEpoch / kSecondsPerDay) * kSecondsPerDay;
  const bool oneHour = lastEpoch < hourStart + 3600.0;
  const Calendar c = calendar_of(oneHour ? hourStart : dayStart);
  int period = 1;
  char unit = oneHour ? 'H' : 'D';
  if (!oneHour) {
    period = static_cast<int>(std::floor((lastEpoch - dayStart) / kSecondsPerDay)) + 1;
    // Beyond 99 days the period is given in whole weeks.
    if (period > kMaxPeriod) {
      period = std::min(kMaxPeriod, (period + 6) / 7);
      unit = 'W';
    }
  }
  return formatted_line(kLong, {id, std::string_view(&source, 1), c.year, c.dayOfYear, c.hour, 0, period,
                           std::string_view(&unit, 1)});
}

}  // namespace kavril::nav

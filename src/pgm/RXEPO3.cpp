// Exact epoch of a RINEX navigation record of version 3.04.
#include <cmath>
#include <cstdint>

#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kMjdOfWeekZero = 44244;  // 6 January 1980
// toc beyond 2^53 s is no longer a count of whole seconds that a double
// holds exactly (the reader already refuses it beyond 2^31 weeks).
constexpr double kExactLimit = 9007199254740992.0;

// Quotient rounded down, so that a negative toc lies in the day before.
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

// Version 3.04 writes whole seconds, so toc must be a whole number of
// seconds: no rounding, hence never a second 60. The day is 44244 + 7 * week
// + floor(toc / 86400) as an MJD and the time of day the rest of toc, all in
// integers; JMT of the whole MJD gives the calendar date.
int RXEPO3(const RinexRecordArray& rinex, int& year, int& month, int& day, int& hour, int& minute,
           int& second) {
  const double toc = rinex[0];
  if (toc != std::floor(toc)) return kEpochNotWholeSeconds;  // NaN as well
  if (!(std::abs(toc) < kExactLimit)) return kEpochBeyondYears;
  const auto seconds = static_cast<std::int64_t>(toc);
  const std::int64_t days = floor_div(seconds, kSecondsPerDay);
  const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
  const std::int64_t mjd = kMjdOfWeekZero + 7 * static_cast<std::int64_t>(RXWEEK(rinex)) + days;

  int y = 0, m = 0;
  double d = 0.0;
  JMT(static_cast<double>(mjd), y, m, d);  // whole MJD: a whole day, exactly
  if (y < 0 || y > 9999) return kEpochBeyondYears;
  year = y;
  month = m;
  day = l_basfun::IDINT(d);
  hour = static_cast<int>(secondOfDay / 3600);
  minute = static_cast<int>(secondOfDay % 3600 / 60);
  second = static_cast<int>(secondOfDay % 60);
  return 0;
}

}  // namespace kavril

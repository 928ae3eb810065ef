// Record epochs in GPS time, and GPS - UTC.
#include <array>
#include <cmath>

#include "rinex/rinex.h"
#include "util/util.h"

namespace kavril::rinex {

namespace {

constexpr double kMjdOfWeekZero = 44244.0;  // 6 January 1980
constexpr double kSecondsPerDay = 86400.0;
constexpr double kBeidouBehindGps = 14.0;   // BDT began on 1 January 2006 at GPS - UTC = 14 s

// The UTC days (MJD) from which GPS - UTC took each value, from 1 on.
constexpr std::array<std::int64_t, 18> kLeapDays = {
    44786,  // 1981-07-01
    45151,  // 1982-07-01
    45516,  // 1983-07-01
    46247,  // 1985-07-01
    47161,  // 1988-01-01
    47892,  // 1990-01-01
    48257,  // 1991-01-01
    48804,  // 1992-07-01
    49169,  // 1993-07-01
    49534,  // 1994-07-01
    50083,  // 1996-01-01
    50630,  // 1997-07-01
    51179,  // 1999-01-01
    53736,  // 2006-01-01
    54832,  // 2009-01-01
    56109,  // 2012-07-01
    57204,  // 2015-07-01
    57754,  // 2017-01-01
};

}  // namespace

// The one place that knows leap seconds in this folder: a built-in table
// until the platform's gps_leap_seconds (which reads the system's
// leap-second list) is at hand, then a call of it.
int gps_minus_utc(std::int64_t mjd, std::int64_t /*secondOfDay*/) {
  int leaps = 0;
  for (const std::int64_t day : kLeapDays) {
    if (mjd >= day) ++leaps;
  }
  return leaps;
}

double gps_time(const Record& record) {
  const Epoch& e = record.epoch;
  const double mjd = DJUL(e.year, e.month, static_cast<double>(e.day));
  const double secondOfDay = e.hour * 3600.0 + e.minute * 60.0 + e.second;
  const double seconds = (mjd - kMjdOfWeekZero) * kSecondsPerDay + secondOfDay;
  switch (record.satellite.system) {
    case System::BeiDou: return seconds + kBeidouBehindGps;
    case System::GLONASS:
      // (IDINT: a second that is no finite number gives no undefined conversion)
      return seconds + gps_minus_utc(l_basfun::IDINT(std::floor(mjd)), l_basfun::IDINT(std::floor(secondOfDay)));
    default: return seconds;
  }
}

}  // namespace kavril::rinex

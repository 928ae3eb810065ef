// Record epochs in GPS time, and GPS - UTC.
#include <cmath>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/rinex.h"
#include "util/util.h"

namespace kavril::rinex {

namespace {

constexpr double kMjdOfWeekZero = 44244.0;  // 6 January 1980
constexpr double kSecondsPerDay = 86400.0;
constexpr double kBeidouBehindGps = 14.0;   // BDT began on 1 January 2006 at GPS - UTC = 14 s

}  // namespace

// The leap seconds come from the platform's table (the system's leap-second
// list, or its built-in one), which is asked by GPS time: a UTC epoch u is
// GPS time u + L for the value L then, at most one leap second above the
// value at GPS time u; asking at u + that + 1 s gives L exactly.
int gps_minus_utc(std::int64_t mjd, std::int64_t secondOfDay) {
  const int atGpsTimeOfSameText = platform::gps_leap_seconds(mjd, secondOfDay);
  return platform::gps_leap_seconds(mjd, secondOfDay + atGpsTimeOfSameText + 1);
}

Epoch system_epoch(System system, double gpsTime) {
  double seconds = gpsTime;
  if (system == System::BeiDou) seconds -= kBeidouBehindGps;
  if (system == System::GLONASS) {
    const double days = std::floor(gpsTime / kSecondsPerDay);
    seconds -= platform::gps_leap_seconds(l_basfun::IDINT(days) + std::int64_t{44244},
                                          l_basfun::IDINT(gpsTime - days * kSecondsPerDay));
  }
  const nav::Calendar c = nav::calendar_of(seconds);
  return {c.year, c.month, c.day, c.hour, c.minute, c.second};
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

// Checks the ephemeris block of a broadcast message before its conversion.
#include <cmath>
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

constexpr double kIntLimit = 2147483648.0;  // 2^31

// True when `value`, rounded to the nearest whole number (halves away from
// zero), lies within the range of int: -2^31 to 2^31 - 1.
bool rounds_into_int(double value) {
  const double whole = std::round(value);
  return whole >= -kIntLimit && whole < kIntLimit;
}

}  // namespace

// The GPS week becomes an int when the record is written, and the semi-major
// axis its square root; values for which that is impossible are input errors
// of the ephemeris block, reported with the line the block ended on. (The
// reader never yields NaN or Inf.)
void RDBCHK(int lfn, const EphemerisArray& eph) {
  const double week = eph[0];
  if (!rounds_into_int(week)) {
    RDBERR(lfn, "GPS week of the ephemeris block out of range: " + d_form(week));
  }
  const double semiMajorAxis = eph[2];
  if (semiMajorAxis < 0.0) {
    RDBERR(lfn, "Semi-major axis of the ephemeris block negative: " + d_form(semiMajorAxis));
  }
}

}  // namespace kavril

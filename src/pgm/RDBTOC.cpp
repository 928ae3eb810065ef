// Checks the clock block of a broadcast message before its conversion.
#include <cmath>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 2^31 weeks in seconds: the span of the GPS weeks that the reader accepts.
constexpr double kLimit = 2147483648.0 * 604800.0;
constexpr double kIntMin = -2147483648.0;
constexpr double kIntMax = 2147483647.0;
}  // namespace

// The clock reference time is seconds of the GPS week and becomes the epoch
// of the record. Far beyond any week (1e20 s) the calendar conversion gives
// a month and a day that do not fit their columns, and the record would
// carry asterisks; such a value is an input error of the clock block. So is
// a message whose epoch falls into a week beyond the int range.
void RDBTOC(int lfn, const EphemerisArray& eph, const ClockArray& clock) {
  const double toc = clock[10];
  if (!(std::abs(toc) < kLimit)) {
    RDBERR(lfn, "Clock reference time of the clock block out of range: " + d_form(toc));
  }
  // The ephemeris week fits an int (RDBCHK); one week more or less may not.
  const double week = clock_week(eph[0], toc, eph[1]);
  if (!(week >= kIntMin && week <= kIntMax)) {
    RDBERR(lfn, "GPS week of the clock reference time out of range: " + d_form(week));
  }
}

}  // namespace kavril

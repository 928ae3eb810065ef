// Modified Julian Date to calendar date.
#include <cmath>

#include "util/util.h"

namespace kavril {

using l_basfun::DMOD;
using l_basfun::IDINT;

// Inverse of DJUL: year, month and day of the month with its fraction. The
// Gregorian correction is applied to every date. Every conversion to int goes
// through IDINT, so an absurd MJD gives an absurd date but never undefined
// behaviour.
void JMT(double mjd, int& year, int& month, double& day) {
  const double f = DMOD(mjd, 1.0);
  const double z = mjd + 1.0 - f + 2400000.0;  // Julian Day Number of the date
  const int alpha = IDINT((z - 1867216.25) * (1.0 / 36524.25));
  const double b = z + 1.0 + alpha - alpha / 4 - 1720995.0;
  const int n = IDINT((b - 122.1) * (1.0 / 365.25));
  const double yearDays = 365.25 * n;
  const double d = yearDays - DMOD(yearDays, 1.0);
  const int e = IDINT((b - d) * (1.0 / 30.6001));
  day = std::round(b - d - std::trunc(30.6001 * e)) + f;
  // e is at most a few dozen for any real date; the 64-bit steps keep the
  // month and year of an absurd MJD free of int overflow.
  const long long monthWide = e > 13 ? static_cast<long long>(e) - 13 : static_cast<long long>(e) - 1;
  const long long yearWide = monthWide <= 2 ? static_cast<long long>(n) + 1 : n;
  month = IDINT(static_cast<double>(monthWide));
  year = IDINT(static_cast<double>(yearWide));
}

}  // namespace kavril

// Calendar date to Modified Julian Date.
#include <cmath>

#include "util/util.h"

namespace kavril {

// The classic Julian-date formula with the Gregorian correction for every
// date. Year and month are widened to 64 bits so that no int input can
// overflow the shift of January and February to months 13 and 14.
double DJUL(int year, int month, double day) {
  long long j = year;
  long long m = month;
  if (m <= 2) {
    j -= 1;
    m += 12;
  }
  const long long a = j / 100;
  const long long b = 2 - a + a / 4;
  // 30.6001 * (M + 1) is a single-precision product: its whole part is the
  // day count of the months before M.
  const float monthDays = 30.6001f * static_cast<float>(m + 1);
  return static_cast<double>(b) + day + std::trunc(365.25 * static_cast<double>(j)) - 679006.0 +
         std::trunc(static_cast<double>(monthDays));
}

}  // namespace kavril

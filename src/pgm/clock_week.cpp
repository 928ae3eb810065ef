// The GPS week of a record's epoch.
#include <cmath>

#include "pgm/pgm.h"

namespace kavril {

namespace {
constexpr double kHalfWeek = 302400.0;
}  // namespace

double clock_week(double week, double toc, double toe) {
  double clockWeek = std::round(week);  // halves away from zero
  const double tocMinusToe = toc - toe;
  if (tocMinusToe > kHalfWeek) clockWeek -= 1.0;
  if (tocMinusToe < -kHalfWeek) clockWeek += 1.0;
  return clockWeek;
}

}  // namespace kavril

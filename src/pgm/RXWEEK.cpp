// GPS week of the epoch of a RINEX navigation record.
#include <cmath>

#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

namespace {
constexpr double kHalfWeek = 302400.0;
}  // namespace

// The ephemeris week (position 23), moved by one when toc and toe lie more
// than half a week apart: toc then belongs to the week before or after.
// Every RINEX version takes its epoch week from here.
int RXWEEK(const RinexRecordArray& rinex) {
  double week = std::round(rinex[22]);  // halves away from zero
  const double tocMinusToe = rinex[0] - rinex[12];
  if (tocMinusToe > kHalfWeek) week -= 1.0;
  if (tocMinusToe < -kHalfWeek) week += 1.0;
  return l_basfun::IDINT(week);  // the reader has refused weeks beyond int
}

}  // namespace kavril

// Writes one RINEX navigation record of version 1 (seven lines).
#include <cmath>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

namespace {

// Line 1: satellite, epoch (yy mm dd hh mi ss.s) and the three clock values;
// orbit lines 2 to 7: four values each. Every line is 79 columns.
const platform::Layout kEpochLine("(I2,5I3,F5.1,3D19.12)");
const platform::Layout kOrbitLines("(3X,4D19.12)");

constexpr double kHalfWeek = 302400.0;

// GPS week of the clock reference time: the ephemeris week (position 23),
// moved by one when toc and toe lie more than half a week apart.
int clock_week(const RinexRecordArray& rinex) {
  double week = std::round(rinex[22]);  // halves away from zero
  const double toc_minus_toe = rinex[0] - rinex[12];
  if (toc_minus_toe > kHalfWeek) week -= 1.0;
  if (toc_minus_toe < -kHalfWeek) week += 1.0;
  return l_basfun::IDINT(week);  // the reader has refused weeks beyond int
}

}  // namespace

void RXWTNR(int lfnRnx, int /*lfnErr*/, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0;
  int month = 0;
  double day = 0.0;
  JMT(GPSMJD(rinex[0], clock_week(rinex)), year, month, day);
  char sign = ' ';  // not touched by type 3
  int hour = 0;
  int minute = 0;
  double second = 0.0;
  RADGMS(3, day, sign, hour, minute, second);

  const std::span<const double> clockValues(&rinex[1], 3);  // positions 2 to 4
  const std::span<const double> orbitValues(&rinex[4], 24);  // positions 5 to 28
  kEpochLine.write(lfnRnx, {satNum, year % 100, month, l_basfun::IDINT(day), hour, minute, second,
                            clockValues});
  kOrbitLines.write(lfnRnx, {orbitValues});  // the layout repeats: six lines
  irCode = 0;
}

}  // namespace kavril

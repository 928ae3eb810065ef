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

}  // namespace

void RXWTNR(int lfnRnx, int /*lfnErr*/, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0;
  int month = 0;
  double day = 0.0;
  // RDBTOC has refused weeks beyond int.
  const int week = l_basfun::IDINT(clock_week(rinex[22], rinex[0], rinex[12]));
  JMT(GPSMJD(rinex[0], week), year, month, day);
  char sign = ' ';  // not touched by type 3
  int hour = 0;
  int minute = 0;
  double second = 0.0;
  RADGMS(3, day, sign, hour, minute, second);

  const std::span<const double> clockValues(&rinex[1], 3);  // positions 2 to 4
  const std::span<const double> orbitValues(&rinex[4], 24);  // positions 5 to 28
  const int epochStatus = kEpochLine.write(
      lfnRnx, {satNum, year % 100, month, l_basfun::IDINT(day), hour, minute, second, clockValues});
  const int orbitStatus = kOrbitLines.write(lfnRnx, {orbitValues});  // the layout repeats: six lines
  irCode = epochStatus != 0 || orbitStatus != 0 ? 1 : 0;
}

}  // namespace kavril

// Writes one RINEX navigation record of version 2.11 (eight lines).
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

// Line 1: satellite, epoch (yy with its leading zero, mm dd hh mi ss.s) and
// the three clock values, 79 columns; orbit lines 2 to 7: four values, 79
// columns; line 8: transmission time and fit interval, 41 columns. The
// orbit layout reverts for line 8, which "(3X,2D19.12)" would write alike.
const platform::Layout kEpochLine("(I2,1X,I2.2,4(1X,I2),F5.1,3D19.12)");
const platform::Layout kOrbitLines("(3X,4D19.12)");

}  // namespace

// The epoch is the one of version 1 (RXEPOC), so line 1 differs from
// version 1 only by the year's leading zero.
void RXWTNR2(int lfnRnx, int /*lfnErr*/, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0.0;
  RXEPOC(rinex, year, month, day, hour, minute, second);

  const std::span<const double> clockValues(&rinex[1], 3);   // positions 2 to 4
  const std::span<const double> orbitValues(&rinex[4], 26);  // positions 5 to 30
  const int yearOfCentury = (year % 100 + 100) % 100;
  const bool written =
      kEpochLine.write(lfnRnx, {satNum, yearOfCentury, month, day, hour, minute, second, clockValues}) == 0 &&
      kOrbitLines.write(lfnRnx, {orbitValues}) == 0;
  irCode = written ? 0 : 1;
}

}  // namespace kavril

// Writes one RINEX navigation record of version 1 (seven lines).
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

// Line 1: satellite, epoch (yy mm dd hh mi ss.s) and the three clock values;
// orbit lines 2 to 7: four values each. Every line is 79 columns.
const platform::Layout kEpochLine("(I2,5I3,F5.1,3D19.12)");
const platform::Layout kOrbitLines("(3X,4D19.12)");

}  // namespace

void RXWTNR(int lfnRnx, int /*lfnErr*/, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0.0;
  RXEPOC(rinex, year, month, day, hour, minute, second);

  const std::span<const double> clockValues(&rinex[1], 3);  // positions 2 to 4
  const std::span<const double> orbitValues(&rinex[4], 24);  // positions 5 to 28
  kEpochLine.write(lfnRnx, {satNum, year % 100, month, day, hour, minute, second, clockValues});
  kOrbitLines.write(lfnRnx, {orbitValues});  // the layout repeats: six lines
  irCode = 0;
}

}  // namespace kavril

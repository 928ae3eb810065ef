// Writes one RINEX navigation record of version 3.04 (eight lines).
#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// Line 1: "G" and the satellite (G01), the epoch (yyyy mm dd hh mi ss) and
// the three clock values, 80 columns; orbit lines 2 to 7: four values, 80
// columns; line 8: transmission time and fit interval, 42 columns (the
// orbit layout reverts for it, as "(4X,2ES19.12)" would write it). The
// values have one digit before the point and thirteen significant digits
// ("-1.674746163189E-04"), as the 3.x files of receivers and data centres.
const platform::Layout kEpochLine("(A1,I2.2,1X,I4,5(1X,I2.2),3ES19.12)");
const platform::Layout kOrbitLines("(4X,4ES19.12)");
const platform::Layout kRefused("(/,A,2(/,16X,A,A),/)");

}  // namespace

void RXWTNR3(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const int status = RXEPO3(rinex, year, month, day, hour, minute, second);
  if (status != 0) {
    kRefused.write(lfnErr, {" *** SR RXWTNR3: Epoch of the record cannot be written in RINEX 3.04",
                            "Satellite  : ", std::string_view(platform::integer_text(satNum)).substr(1),
                            "Clock ref. : ", d_form(rinex[0], 17)});
    irCode = 1;
    return;
  }
  const std::span<const double> clockValues(&rinex[1], 3);   // positions 2 to 4
  const std::span<const double> orbitValues(&rinex[4], 26);  // positions 5 to 30
  const bool written =
      kEpochLine.write(lfnRnx, {"G", satNum, year, month, day, hour, minute, second, clockValues}) == 0 &&
      kOrbitLines.write(lfnRnx, {orbitValues}) == 0;
  irCode = written ? 0 : 1;
}

}  // namespace kavril

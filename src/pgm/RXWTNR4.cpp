// Writes one RINEX navigation record of version 4.00: its record-type line
// and the eight lines of version 3.04.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// "> EPH G01 LNAV": exactly 14 columns, as strict readers take it.
const platform::Layout kTypeLine("('> EPH G',I2.2,' LNAV')");
}  // namespace

void RXWTNR4(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (RXEPO3(rinex, year, month, day, hour, minute, second) != 0) {
    RXWTNR3(lfnRnx, lfnErr, satNum, rinex, irCode);  // refuses it, with its message
    return;
  }
  if (write_held_rinex4_header(lfnRnx, rinex) != 0 || kTypeLine.write(lfnRnx, {satNum}) != 0) {
    irCode = 1;
    return;
  }
  RXWTNR3(lfnRnx, lfnErr, satNum, rinex, irCode);
}

}  // namespace kavril

// Writes one RINEX navigation record of version 4.00: its record-type line
// and the eight lines of version 3.04.
#include <string_view>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

void RXWTNR4(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode) {
  // "> EPH G01 LNAV": exactly 14 columns, as strict readers take it (the
  // satellite as I2.2; the reader gives 1 to 99).
  char typeLine[] = "> EPH G00 LNAV";
  if (satNum >= 0 && satNum <= 99) {
    typeLine[7] = static_cast<char>('0' + satNum / 10);
    typeLine[8] = static_cast<char>('0' + satNum % 10);
  } else {
    typeLine[7] = typeLine[8] = '*';
  }
  if (write_held_rinex4_header(lfnRnx, rinex) != 0 ||
      platform::write_line(lfnRnx, std::string_view(typeLine, sizeof typeLine - 1)) != 0) {
    irCode = 1;
    return;
  }
  RXWTNR3(lfnRnx, lfnErr, satNum, rinex, irCode);
}

}  // namespace kavril

// Writes the header of a RINEX navigation file of version 2.11.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 80 columns each, the label in columns 61 to 80. The program line is the
// one of version 1.
const platform::Layout kVersionLine("(F9.2,11X,A20,20X,A20)");
const platform::Layout kProgramLine("(A20,A20,A9,1X,A5,5X,A20)");
}  // namespace

// The texts are cut or padded to their fields, so that no argument shifts a
// column.
void RXWTNH2(int lfnRnx, int /*lfnErr*/, std::string_view pgmNam, std::string_view agency,
             std::string_view date, std::string_view time, int nCom,
             std::span<const std::string> comment, int& irCode) {
  using platform::fit;
  const bool written =
      kVersionLine.write(lfnRnx, {2.11, fit("N: GPS NAV DATA", 20), "RINEX VERSION / TYPE"}) == 0 &&
      kProgramLine.write(lfnRnx, {fit(pgmNam, 20), fit(agency, 20), fit(date, 9), fit(time, 5),
                                  "PGM / RUN BY / DATE "}) == 0 &&
      RXWTNE(lfnRnx, nCom, comment) == 0;
  irCode = written ? 0 : 1;
}

}  // namespace kavril

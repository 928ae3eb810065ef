// Writes the header of a RINEX navigation file of version 3.04.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 80 columns each, the label in columns 61 to 80. The run's date and time
// are in universal time ("20261208 051502 UTC" and a blank), as version 3
// asks.
const platform::Layout kVersionLine("(F9.2,11X,A20,A20,A20)");
const platform::Layout kProgramLine("(A20,A20,A20,A20)");
}  // namespace

void RXWTNH3(int lfnRnx, int /*lfnErr*/, std::string_view pgmNam, std::string_view agency,
             std::string_view dateUtc, int nCom, std::span<const std::string> comment,
             int& irCode) {
  using platform::fit;
  const bool written = kVersionLine.write(lfnRnx, {3.04, fit("N: GNSS NAV DATA", 20), fit("G: GPS", 20),
                                                   "RINEX VERSION / TYPE"}) == 0 &&
                       kProgramLine.write(lfnRnx, {fit(pgmNam, 20), fit(agency, 20), fit(dateUtc, 20),
                                                   "PGM / RUN BY / DATE "}) == 0 &&
                       RXWTNE(lfnRnx, nCom, comment) == 0;
  irCode = written ? 0 : 1;
}

}  // namespace kavril

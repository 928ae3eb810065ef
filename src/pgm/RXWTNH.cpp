// Writes the header of a RINEX navigation file of version 1.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

// Every line but the last is 80 columns with its label in columns 61 to 80;
// a line holding one blank ends the header (version 1 has no end label).
const platform::Layout kVersionLine("(I6,14X,A20,20X,A20)");
const platform::Layout kProgramLine("(A20,A20,A9,1X,A5,5X,A20)");
const platform::Layout kEndLine("(A)");

}  // namespace

// The texts are cut or padded to their fields here, so that a short or long
// argument never shifts a column.
void RXWTNH(int lfnRnx, int /*lfnErr*/, std::string_view pgmNam, std::string_view agency,
            std::string_view date, std::string_view time, int nCom,
            std::span<const std::string> comment, int& irCode) {
  using platform::fit;
  kVersionLine.write(lfnRnx, {1, fit("NAVIGATION DATA", 20), "RINEX VERSION / TYPE"});
  kProgramLine.write(lfnRnx, {fit(pgmNam, 20), fit(agency, 20), fit(date, 9), fit(time, 5),
                              "PGM / RUN BY / DATE "});
  RXWTNC(lfnRnx, nCom, comment);
  kEndLine.write(lfnRnx, {" "});
  irCode = 0;
}

}  // namespace kavril

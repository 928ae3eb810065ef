// Writes the end of a RINEX navigation header of versions 2.11 and 3.04.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 80 columns, the label in columns 61 to 80.
const platform::Layout kEndLine("(60X,A20)");
}  // namespace

// The comment lines, then the "END OF HEADER" line that versions 2 and 3 end
// the header with (instead of version 1's blank line).
int RXWTNE(int lfnRnx, int nCom, std::span<const std::string> comment) {
  const int status = RXWTNC(lfnRnx, nCom, comment);
  return status != 0 ? status : kEndLine.write(lfnRnx, {platform::fit("END OF HEADER", 20)});
}

}  // namespace kavril

// Writes the end of a RINEX navigation header of versions 2.11 and 3.04.
#include <algorithm>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 80 columns each, the label in columns 61 to 80.
const platform::Layout kCommentLine("(A60,A20)");
const platform::Layout kEndLine("(60X,A20)");
}  // namespace

// The comment lines as in version 1, then the "END OF HEADER" line that
// versions 2 and 3 end the header with (instead of version 1's blank line).
int RXWTNE(int lfnRnx, int nCom, std::span<const std::string> comment) {
  using platform::fit;
  const std::size_t lines = nCom > 0 ? std::min(static_cast<std::size_t>(nCom), comment.size()) : 0;
  int status = 0;
  for (std::size_t i = 0; i < lines && status == 0; ++i) {
    status = kCommentLine.write(lfnRnx, {fit(comment[i], 60), fit("COMMENT", 20)});
  }
  return status != 0 ? status : kEndLine.write(lfnRnx, {fit("END OF HEADER", 20)});
}

}  // namespace kavril

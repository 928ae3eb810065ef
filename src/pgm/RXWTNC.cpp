// Writes the comment lines of a RINEX navigation header.
#include <algorithm>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {
// 80 columns, the label in columns 61 to 80.
const platform::Layout kCommentLine("(A60,A20)");
}  // namespace

// The first `nCom` comments, one "COMMENT" line each, as every version
// writes them.
int RXWTNC(int lfnRnx, int nCom, std::span<const std::string> comment) {
  using platform::fit;
  const std::size_t lines = nCom > 0 ? std::min(static_cast<std::size_t>(nCom), comment.size()) : 0;
  int status = 0;
  for (std::size_t i = 0; i < lines && status == 0; ++i) {
    status = kCommentLine.write(lfnRnx, {fit(comment[i], 60), fit("COMMENT", 20)});
  }
  return status;
}

}  // namespace kavril

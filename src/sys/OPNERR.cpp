// Standard fatal report of a failed open.
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::size_t kCallerWidth = 10;

// The caller name right-aligned in 10 columns; a longer name shows its
// first 10 characters.
std::string caller_field(std::string_view caller) {
  const std::string_view name = platform::trim_right(caller);
  if (name.size() >= kCallerWidth) return std::string(name.substr(0, kCallerWidth));
  return std::string(kCallerWidth - name.size(), ' ') + std::string(name);
}

}  // namespace

void OPNERR(int lfnMsg, int lfn, int iostat, std::string_view filNam, std::string_view caller) {
  static const platform::Layout kReport(
      "(/,A,/,16X,A,A,/,16X,A,A,/,16X,A,I6,/,16X,A,A,/,16X,A,I6,/)");
  // Statuses are reduced as the system has always reduced them: a non-zero
  // multiple of 256 counts as success (the platform never returns one).
  const int code = iostat % 256;
  if (code == 0) return;
  const int unit = lfnMsg == 0 ? platform::kStdOut : lfnMsg;
  kReport.write(unit, {" *** SR OPNERR: OPEN FAILED",
                       "FILE NAME : ", platform::trim_right(filNam),
                       "PGM./SUBR.: ", caller_field(caller),
                       "IOSTAT    : ", code,
                       "REASON    : ", platform::status_text(code),
                       "FILE UNIT : ", lfn});
  EXITRC(2);
}

}  // namespace kavril

// The report of a direct run goes to standard error: standard output may
// carry a RINEX file, into which no line of the report may stray.
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {
// Takes the report of a quiet run: the summary table and the last lines.
constexpr int kDiscardedUnit = 996;
constexpr std::size_t kPgmNamLength = 8;
}  // namespace

void DIRSYS(std::string_view pgmName, bool quiet) {
  pgmNam = platform::fit(pgmName, kPgmNamLength);  // as the title block would set it
  // Lines that go to standard output in any run (the terminal copy of the
  // timing line, notices of the file layer) go to standard error as well.
  platform::send_unit_to_standard_error(platform::kStdOut);
  lfnError = platform::kStdErr;
  lfnPrint = platform::kStdErr;
  if (quiet && platform::open_unit(kDiscardedUnit, "/dev/null", platform::OpenStatus::Old, true, false) == 0) {
    lfnPrint = kDiscardedUnit;
  }
}

}  // namespace kavril

// Last exit step: timing summary, closing of the program's units, process
// exit status.
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr int kFirstClosedUnit = 10;  // units below are the standard streams

// Closes every connected unit from 10 to lfnLocal. Returns false when a close
// failed: the file may then be incomplete (a write error shows up at the
// latest when the unit is closed).
bool close_program_units() {
  bool allClosed = true;
  for (int lfn = kFirstClosedUnit; lfn <= lfnLocal; ++lfn) {
    if (!platform::unit_connected(lfn)) continue;
    if (platform::close_unit(lfn) == 0) continue;
    allClosed = false;
    platform::write_list(platform::kStdOut, {" *** SR EXIT_PGM: Cannot close LFN", lfn});
    if (platform::unit_connected(lfn)) platform::write_list(lfn, {});
  }
  return allClosed;
}

}  // namespace

void EXIT_PGM(int irCode) {
  // A fatal error raised while the timing summary is written leads back
  // here through EXITRC; the summary is not attempted a second time.
  static bool summaryStarted = false;
  if (!summaryStarted) {
    summaryStarted = true;
    CPU_END(irCode);
  }
  const bool allClosed = close_program_units();
  const bool success = (irCode == 0 || irCode == 1) && allClosed;
  platform::exit_process(success ? 0 : 1);
}

}  // namespace kavril

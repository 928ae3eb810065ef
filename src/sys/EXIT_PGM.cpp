// Last exit step: timing summary, closing of the program's units, process
// exit status.
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr int kFirstClosedUnit = 10;  // units below are the standard streams

// Closes every connected unit from 10 to lfnLocal. Returns the status of
// the first close that failed, 0 when all succeeded: the file may then be
// incomplete (a write error shows up at the latest when the unit is closed).
// `failedUnit` is that close's unit.
int close_program_units(int& failedUnit) {
  int firstFailure = 0;
  for (int lfn = kFirstClosedUnit; lfn <= lfnLocal; ++lfn) {
    if (!platform::unit_connected(lfn)) continue;
    const int rc = platform::close_unit(lfn);
    if (rc == 0) continue;
    if (firstFailure == 0) {
      firstFailure = rc;
      failedUnit = lfn;
    }
    platform::write_list(platform::kStdOut, {" *** SR EXIT_PGM: Cannot close LFN", lfn});
    if (platform::unit_connected(lfn)) platform::write_list(lfn, {});
  }
  return firstFailure;
}

// The name of the file connected to `lfn` when the run's `systemUnit` is that
// file's unit; blank otherwise.
std::string named_file_of(int systemUnit, int lfn) {
  return systemUnit == lfn ? platform::unit_file_name(lfn) : std::string();
}

// A failed run whose program output went to a file says so on the terminal,
// which otherwise shows nothing of it. When that file (or the message file)
// could not be written, pointing to it would help nobody: the line says so
// and why.
void tell_terminal_where_to_look(const std::string& printFile, const std::string& errorFile,
                                 const std::string& unwritten, int closeStatus) {
  if (platform::is_blank(printFile)) return;
  if (!platform::is_blank(unwritten)) {
    platform::write_line(platform::kStdErr, "*** Run stopped on an error; cannot write " + unwritten + ": " +
                                                platform::status_text(closeStatus));
    return;
  }
  std::string line = "*** Run stopped on an error; see the program output in " + printFile;
  if (!platform::is_blank(errorFile)) line += " and the messages in " + errorFile;
  platform::write_line(platform::kStdErr, line);
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
  const std::string printFile = named_file_of(lfnPrint, lfnPrtFile);
  const std::string errorFile = named_file_of(lfnError, lfnErrFile);
  int failedUnit = 0;
  const int closeStatus = close_program_units(failedUnit);
  const bool success = (irCode == 0 || irCode == 1) && closeStatus == 0;
  const std::string unwritten = failedUnit == lfnPrtFile ? printFile
                                : failedUnit == lfnErrFile ? errorFile
                                                           : std::string();
  if (!success) tell_terminal_where_to_look(printFile, errorFile, unwritten, closeStatus);
  platform::exit_process(success ? 0 : 1);
}

}  // namespace kavril

// Ends every run: the exit steps of a normal run, or a notice saying where
// the run was stopped, then the final step that never returns.
#include <utility>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

ExitCleanup exitCleanup = nullptr;
int filesPassedOver = 0;

namespace {

// The notice for a run stopped outside its normal course; empty when the run
// had not started reading its input file yet.
std::string_view stop_notice() {
  if ((inpKey.inOpnfil & 1) != 0) return " ### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL";
  if (inpKey.runPhase == 1) return " ### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING INITIALIZATION";
  if (inpKey.runPhase >= 3) return " ### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING EXITING";
  return {};
}

}  // namespace

void EXITRC(int irCode) {
  static const platform::Layout kNotice("(/,A,/)");
  if (irCode == 0 && filesPassedOver > 0) irCode = 2;

  const bool insideOpnfil = (inpKey.inOpnfil & 1) != 0;
  const bool normalRun = inpKey.runPhase == 2 && !insideOpnfil;
  if (!normalRun && !platform::same_text(pgmNam, "VESTRO")) {
    const std::string_view notice = stop_notice();
    if (!notice.empty()) kNotice.write(lfnError, {notice});
  }
  // Phase 3 first: a fatal error inside the cleanup or the exit steps comes
  // back here and goes straight to the end.
  inpKey.runPhase = 3;
  // Taken before the call: a stop inside the cleanup does not run it again.
  if (const ExitCleanup cleanup = std::exchange(exitCleanup, nullptr)) cleanup(irCode);
  if (normalRun) {
    EXIT_MEN(irCode);
    EXIT_DEL();
  }
  EXIT_PGM(irCode);
}

}  // namespace kavril

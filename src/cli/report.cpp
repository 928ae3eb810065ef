// The report of a direct run goes to standard error: standard output may
// carry a RINEX file, into which no line of the report may stray.
#include "cli/cli.h"
#include "sys/sys.h"

namespace kavril::cli {

namespace {
constexpr std::size_t kPgmNamLength = 8;
}  // namespace

void direct_report(std::string_view pgmName, bool quiet) {
  pgmNam = platform::fit(pgmName, kPgmNamLength);  // as the title block would set it
  // Messages on a unit of their own (unit 0 stands for standard output as a
  // message unit of the file layer), made plain lines.
  platform::send_unit_to_sink(lfnErrFile, plain_message_line);
  lfnError = lfnErrFile;
  platform::set_interrupt_line_head("kavril: interrupted by signal ");
  // A reader of standard output that has what it wants (| head) ends the
  // run by SIGPIPE: status 141, as for any command of a pipeline.
  platform::end_quietly_on_broken_pipe();
  // Lines that go to standard output in any run (the copy of the timing line,
  // notices of the file layer) follow the summary table and the last lines
  // of the run: to standard error, or nowhere when quiet.
  if (quiet) {
    platform::discard_unit_output(platform::kStdOut);
    lfnPrint = platform::kStdOut;
  } else {
    platform::send_unit_to_standard_error(platform::kStdOut);
    lfnPrint = platform::kStdErr;
  }
}

}  // namespace kavril::cli

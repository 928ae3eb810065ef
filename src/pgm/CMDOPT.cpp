// The options of the command line: --help and --version, and the usage for a
// command line without an input file.
#include <string>
#include <string_view>

#include "pgm/pgm.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// The head of the help text, written alone to standard error when the command
// line names no input file.
constexpr std::string_view kShortUsage = R"(Usage: kavril INPUTFILE
       kavril -h | --help       this help and the keywords of INPUTFILE
       kavril -V | --version    program and package version
)";

constexpr std::string_view kUsage = R"(
Converts GPS broadcast navigation files into RINEX navigation files of
version 1, 2.11 or 3.04, as the keyword input file INPUTFILE asks. All
arguments together, joined with single blanks, are the name of the input
file; only a single argument -h, --help, -V or --version is an option. The
manual: man kavril.

Keyword input file: one line per keyword, KEYWORD count [value]; count 0 gives
one blank value, a count n above 1 is followed by n lines of one value each.
Lines starting with !, # or * are comments. Put values in double quotes: an
unquoted value ends at a blank or a comma, and one holding a slash is refused.
Keywords read:

  BRDFIL            broadcast navigation files to convert, in this order
  BRDFIL_PTH_COL_2  folder of the default RINEX names
  BRDFIL_EXT_COL_2  extension of the default RINEX names (the base name is
                    the broadcast file's)
  RXNFIL            RINEX names: blank = the default names; one name = all
                    input files into that file; one name per input file =
                    pairwise (a blank name skips its input file). Consecutive
                    input files with the same name are merged into one file.
  RUNBY             agency of the RINEX header
  RXNVER            RINEX version: 1 (or blank, or missing), 2 or 2.11,
                    3 or 3.04 (whole-second epochs, four-digit years)
  CONST             constants file
  ENVIRONMENT       variables "NAME" "value", used as ${NAME} in file names
  TITLE, CAMPAIGN, SES_INFO, YR4_INFO
                    texts of the title block of the program output
  DESCR_<keyword>   description of a file keyword: described files are
                    listed in the program output
  MSG_<keyword>     description of an option keyword (ERRMRG, SYSODEF,
                    RXNVER) used in the messages about it
  SYSOUT            program output file (default: standard output)
  SYSERR, ERRMRG    separate message file, or messages merged into the
                    program output (ERRMRG 1)
  SYSODEF           1: the program output may have a default name
  SYSINP            file that replaces standard input
  DELETE_FILES      files deleted at the end of the run

Writes one RINEX file per output name and the program output with a summary
table of one row per input file.

Exit status: 0 success, 1 error (the messages say why; when the program
output goes to a SYSOUT file, one line on standard error names that file).
)";

bool command_line_is_blank() {
  for (int i = 1; i <= platform::argument_count(); ++i) {
    if (!platform::is_blank(platform::argument(i))) return false;
  }
  return true;
}

}  // namespace

void CMDOPT() {
  if (command_line_is_blank()) {
    platform::write_text(platform::kStdErr, kShortUsage);
    platform::exit_process(1);
  }
  if (platform::argument_count() != 1) return;
  const std::string option = platform::argument(1);
  if (option == "--help" || option == "-h") {
    platform::write_text(platform::kStdOut, kShortUsage);
    platform::write_text(platform::kStdOut, kUsage);
  } else if (option == "--version" || option == "-V") {
    platform::write_line(platform::kStdOut,
                         "kavril " KAVRIL_VERSION " (" + std::string(kSoftwareTitle) + ")");
  } else {
    return;
  }
  platform::exit_process(0);
}

}  // namespace kavril

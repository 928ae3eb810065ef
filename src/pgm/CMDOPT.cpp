// The options of the command line: --help and --version.
#include <string_view>

#include "pgm/pgm.h"
#include "platform/platform.h"

namespace kavril {

namespace {

constexpr std::string_view kUsage = R"(Usage: kavril INPUTFILE
       kavril --help | --version

Converts GPS broadcast navigation files into RINEX navigation files of
version 1, 2.11 or 3.04, as the keyword input file INPUTFILE asks. All
arguments together, joined with single blanks, are the name of the input
file; only a single argument --help or --version is an option.

Keyword input file: one line per keyword, KEYWORD count [value]; count 0 gives
one blank value, a count n above 1 is followed by n lines of one value each.
Lines starting with !, # or * are comments. Keywords read:

  BRDFIL            broadcast navigation files to convert, in this order
  BRDFIL_PTH_COL_2  folder of the default RINEX names
  BRDFIL_EXT_COL_2  extension of the default RINEX names (the base name is
                    the broadcast file's)
  RXNFIL            RINEX names: blank = the default names; one name = all
                    input files into that file; one name per input file =
                    pairwise (a blank name skips its input file). Consecutive
                    input files with the same name are merged into one file.
  RUNBY             agency of the RINEX header
  RXNVER            RINEX version: 1 (or blank, or missing), 2 = 2.11,
                    3 = 3.04 (whole-second epochs, four-digit years)
  CONST             constants file
  ENVIRONMENT       variables "NAME" "value", used as ${NAME} in file names
  TITLE, CAMPAIGN, SES_INFO, YR4_INFO
                    texts of the title block of the program output
  DESCR_<keyword>   description of a file keyword: described files are
                    listed in the program output
  SYSOUT            program output file (default: standard output)
  SYSERR, ERRMRG    separate message file, or messages merged into the
                    program output (ERRMRG 1)
  SYSODEF           1: the program output may have a default name
  SYSINP            file that replaces standard input
  DELETE_FILES      files deleted at the end of the run

Writes one RINEX file per output name and the program output with a summary
table of one row per input file.

Exit status: 0 success, 1 error (the messages say why).
)";

}  // namespace

void CMDOPT() {
  if (platform::argument_count() != 1) return;
  const std::string option = platform::argument(1);
  if (option == "--help") {
    platform::write_text(platform::kStdOut, kUsage);
  } else if (option == "--version") {
    platform::write_line(platform::kStdOut, "kavril " KAVRIL_VERSION);
  } else {
    return;
  }
  platform::exit_process(0);
}

}  // namespace kavril

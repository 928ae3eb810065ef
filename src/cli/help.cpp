// The help text and the version line.
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril::cli {

namespace {

// The head of the help text, written alone to standard error when the command
// line names no input file or is a faulty direct run.
constexpr std::string_view kShortUsage = R"(Usage: kavril [-r VERSION] [-o NAME | -d DIR] [-e EXT] [-a TEXT] [-c FILE] [-q]
              [--leap-seconds N] [SELECTION] [--sort] [--unique] [-n ID [-m]]
              [-z] BRDFILE...
       kavril --check [--json] [--strict] [--plot FILE] [SELECTION] BRDFILE...
       kavril INPUTFILE
       kavril -h | --help       this help and the keywords of INPUTFILE
       kavril -V | --version    program and package version
)";

constexpr std::string_view kUsage = R"(
Converts GPS broadcast navigation files into RINEX navigation files of
version 1, 2.11, 3.04 or 4.00.

Direct mode: kavril day.brd writes day.rnx (RINEX 3.04) beside day.brd.
Every command line but those of keyword mode (below) is a direct run:
options and broadcast files in any order (gzip-compressed files are read as
they are). BRDFILE - is standard input; without -o and -d its RINEX file
goes to standard output. A broadcast file that cannot be read (missing, a
folder, binary data) is reported and left out; the others are converted and
the run ends with status 1 (with -o or -m the run stops there).
RINEX navigation files (versions 2 to 4, every system, by name, not on
standard input) are inputs as well: an output fed only by them keeps their
version family without -r (2.11, 3.04, 3.05 or 4.00); records that the
output's version cannot hold are counted and named in one warning.
Every argument that starts with - (before a --) is an option:
  -r, --rinex VERSION  RINEX version 1, 2, 3, 4, 2.11, 3.04 or 4.00 (default
                       3: 3.04)
  -o, --output NAME    one RINEX file for all inputs, merged (- is standard
                       output)
  -d, --dir DIR        one RINEX file per input, in the existing folder DIR
  -e, --ext EXT        extension of the RINEX names per input, up to 3
                       characters (default rnx)
  -a, --agency TEXT    agency of the RINEX header, up to 20 characters
                       (default blank)
  -c, --const FILE     constants file (default: the package's standard
                       constants, built in)
  -q, --quiet          report only warnings and errors
  --leap-seconds N     GPS-UTC leap seconds of the RINEX 4.00 header (default:
                       at the first epoch, from the system's leap-second
                       table or the program's own)
  --from TIME, --to TIME
                       keep the messages whose epoch (GPS time) lies in
                       [from, to): 2010-07-01, 2010-07-01T12:00 or
                       2010-07-01T12:00:30
  --sat LIST, --exclude-sat LIST
                       keep only, or leave out, these satellites: a system
                       letter and number (G05, R12, S120; no letter: GPS),
                       ranges of one system (E01-E36, 1-9), comma-separated
  --sys LIST, --exclude-sys LIST
                       keep only, or leave out, these systems: G GPS,
                       R GLONASS, E Galileo, C BeiDou, J QZSS, I NavIC,
                       S SBAS, comma-separated (G,R,E); with -r 2.11,
                       --sys R writes the GLONASS file
  --sort               the records of each output by epoch, then system
                       (G R E C J I S), then satellite
  --unique             leave out a message whose satellite, epoch and IODE
                       an earlier message of the output had; a RINEX
                       record whose system, satellite, type, epoch and
                       values (but the transmission time) an earlier one
                       had (other values: kept, counted as conflicts)
  -n, --name ID        name every output by the RINEX convention from its
                       records (ssssddd0.yyn; RINEX 3: ID of 9 characters,
                       such as BRDC00ORL); beside each input, or in -d DIR
  --source R|S|U       data source of RINEX 3 names (default U)
  -m, --merge          with -n: all inputs into one output
  -z, --gzip           write gzip-compressed outputs (.gz appended); an
                       output name ending in .gz is compressed as well
  --check              write no RINEX file: per input a table of the
                       messages per satellite on standard output (of the
                       messages that SELECTION keeps)
  --json               with --check: one JSON document instead
  --strict             with --check: exit status 2 when an input holds
                       duplicates, records out of order, unhealthy messages
                       or gaps over 4 hours
  --plot FILE          with --check: a picture of the messages (SVG) written
                       to FILE, a name ending in .svg; an existing FILE is
                       replaced only when it is an SVG picture. --plot -
                       writes it to standard output instead of the tables
SELECTION stands for the options --from, --to, --sat, --exclude-sat, --sys
and --exclude-sys (epochs in GPS time, of GLONASS and BeiDou records too).
Without -o and -d, each RINEX file goes beside its input, named like it with
the extension EXT; two inputs whose RINEX files would be one file are
refused. The summary table and the last lines of the run go to standard
error, each warning and error as one line "kavril: FILE: reason". An empty
broadcast file, or an output that gets no message, writes no RINEX file and
is warned about; no output replaces a broadcast file or another file of the
run (the constants file, the files behind standard output and standard
error). For example:
  kavril brdc1820.brd
  kavril -r 3 -o ALL.rnx brdc1820.brd brdc1830.brd.gz
  kavril -r 2.11 -d out brdc1820.brd brdc1830.brd
  kavril - < brdc1820.brd > brdc1820.rnx
  kavril -r 3 --sort --unique -n BRDC00ORL -m -z brdc18?0.brd
  kavril --check --plot days.svg brdc1820.brd brdc1830.brd

Keyword mode: a command line without options whose arguments, joined with
single blanks, name a file of text that is neither empty nor a broadcast
file; that name is the keyword input file INPUTFILE. A first argument --
makes the rest that name, whatever it holds. The manual: man kavril.

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
                    3 or 3.04 (whole-second epochs, four-digit years), 4 or
                    4.00 (3.04 records, each after a "> EPH" line)
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
output goes to a SYSOUT file, one line on standard error names that file),
2 --check --strict found what it looks for (one line per input says what),
129, 130, 141 or 143 ended by SIGHUP, SIGINT, SIGPIPE or SIGTERM (no RINEX
file of the unfinished input file is written; earlier RINEX files are kept;
a direct run ended by SIGPIPE, its reader gone, says nothing).
)";

}  // namespace

void write_help() {
  platform::write_text(platform::kStdOut, kShortUsage);
  platform::write_text(platform::kStdOut, kUsage);
}

void write_version() {
  platform::write_line(platform::kStdOut, "kavril " KAVRIL_VERSION " (" + std::string(kSoftwareTitle) + ")");
}

void write_short_usage() { platform::write_text(platform::kStdErr, kShortUsage); }

}  // namespace kavril::cli

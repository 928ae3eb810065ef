// Navigation conversion: the main program, the broadcast navigation file,
// the conversion of one message into RINEX order, and the RINEX writers.
#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "rinex/rinex.h"

namespace kavril {

// One broadcast message in the package's order (positions 1 to 20 are
// elements 0 to 19).
using EphemerisArray = std::array<double, 20>;
using ClockArray = std::array<double, 20>;
// One RINEX navigation record in RINEX order (positions 1 to 32).
using RinexRecordArray = std::array<double, 32>;

// The keywords the program reads from its keyword input file; their DESCR_
// and MSG_ companions are read as well. The --help text lists the same
// names. The reader refuses a value line that is one of their keyword lines,
// and near misses of them are warned about.
inline constexpr std::array<std::string_view, 18> kKeywordsRead{
    "BRDFIL", "BRDFIL_PTH_COL_2", "BRDFIL_EXT_COL_2", "RXNFIL", "RUNBY", "RXNVER",
    "CONST", "ENVIRONMENT", "TITLE", "CAMPAIGN", "SES_INFO", "YR4_INFO",
    "SYSOUT", "SYSERR", "ERRMRG", "SYSODEF", "SYSINP", "DELETE_FILES"};

// The main program: converts every broadcast file of the keyword input file,
// or of the direct run the command line asked for (cli::directRun). Never
// returns (ends through EXITRC).
[[noreturn]] void KAVRIL();

// --- Broadcast navigation file, read on an open unit ----------------------
// Each reader stops the run with an input error report (file name, line
// number, reason) and return code 2 when the file is malformed.

// Reads the title line (columns 1 to 53). False when the file has no line.
// A RINEX file (is_rinex_first_line) is an input error.
bool RDBTIT(int lfn, std::string& title);

// True when `line` is the first line of a RINEX file: it ends with the label
// "RINEX VERSION / TYPE" in columns 61 to 80. Such a file is refused with
// the reason rinex_input_reason gives for that line.
bool is_rinex_first_line(std::string_view line);
// Why the file whose first line is the RINEX `line` is refused, naming its
// type from column 21: "a RINEX navigation file, not a broadcast file" for
// navigation types, observation and meteorological files by name, "a RINEX
// file, not a broadcast file" otherwise.
std::string rinex_input_reason(std::string_view line);

// Reads a satellite record (columns 12 to 14). Returns the satellite number,
// 1 to 99; 0 at the end of the file or for a record that ends the messages.
int RDBSAT(int lfn);

// Reads a block of 20 free-format numbers starting on the next line.
void RDBBLK(int lfn, std::array<double, 20>& block);
// Reads the next line of a block into `line`, `count` of its 20 numbers read
// so far; the end of the file or a read error there stops the run.
void read_block_line(int lfn, std::string& line, std::size_t count);

// Checks the ephemeris block just read: its GPS week (position 1) must round
// to an int and its semi-major axis (position 3) must not be negative. The
// driver calls it right after reading the ephemeris block, before V3RXBR.
void RDBCHK(int lfn, const EphemerisArray& eph);

// Checks the clock block just read: its clock reference time (position 11)
// must lie within as many weeks as an int counts, so that the record's epoch
// is a calendar date whose fields fit their columns, and the GPS week of
// that epoch (clock_week of the message) must fit an int. The driver calls
// it right after reading the clock block.
void RDBTOC(int lfn, const EphemerisArray& eph, const ClockArray& clock);

// GPS week of the clock reference time `toc`: the ephemeris `week` rounded
// (halves away from zero), decreased by one when toc lies more than half a
// week after the ephemeris reference time `toe`, increased by one when it
// lies more than half a week before.
double clock_week(double week, double toc, double toe);

// A value read from a broadcast file as the input error reports show it: its
// D form of the RINEX records, without leading blanks.
std::string d_form(double value);
// The same with `digits` significant digits (1 to 17), for values whose
// twelve-digit form would hide what is wrong with them.
std::string d_form(double value, int digits);

// The input error report of the readers (file name and line number of `lfn`
// and `reason`), then the end of the run with return code 2.
[[noreturn]] void RDBERR(int lfn, std::string_view reason);

// --- Conversion and RINEX output -----------------------------------------

// Broadcast message to RINEX record array.
void V3RXBR(const EphemerisArray& eph, const ClockArray& clock, RinexRecordArray& rinex);

// Writes the header of a RINEX navigation file of version 1.
void RXWTNH(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
            std::string_view date, std::string_view time, int nCom,
            std::span<const std::string> comment, int& irCode);

// Writes one navigation record (seven lines).
void RXWTNR(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode);

// --- RINEX versions 2.11 and 3.04 ------------------------------------------
// Version 1 stays the default and keeps its own writers above, untouched;
// each version has its own header and record writer with the same
// arguments, so that every layout stands next to its code. Their return
// code is 0, or 1 when a write failed.

// The RINEX version that `name` names exactly, one of the names of a row of
// rinex_versions() ("1", "2", "3", "2.11", "3.04"); 0 for any other text.
int RXVNAM(std::string_view name);

// Header of version 2.11: version line, program line and comment lines as in
// version 1, then "END OF HEADER".
void RXWTNH2(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
             std::string_view date, std::string_view time, int nCom,
             std::span<const std::string> comment, int& irCode);

// Header of version 3.04: the program line holds the run's date and time in
// universal time, `dateUtc` ("20261208 051502 UTC").
void RXWTNH3(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
             std::string_view dateUtc, int nCom, std::span<const std::string> comment,
             int& irCode);

// The comment lines of a header (every version). Returns 0, or the errno
// value of a failed write.
int RXWTNC(int lfnRnx, int nCom, std::span<const std::string> comment);

// The end of the headers of versions 2.11 and 3.04: the comment lines and the
// "END OF HEADER" line. Returns 0, or the errno value of a failed write.
int RXWTNE(int lfnRnx, int nCom, std::span<const std::string> comment);

// Record of version 2.11 (eight lines; the year with a leading zero, the
// transmission time and the fit interval on line 8).
void RXWTNR2(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode);

// Record of version 3.04 (eight lines, "G01", four-digit year, whole
// seconds). irCode 1, with a message on lfnErr and nothing written, for an
// epoch that RXEPO3 refuses; the driver has refused such a message before
// (RDBEP3).
void RXWTNR3(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode);

// --- RINEX version 4.00 -------------------------------------------------------
// The 3.04 record layout, each record after its record-type line, and a
// header with the leap seconds at the file's first epoch: the header is
// held from RXWTNH4 until the first record (or the end of a file without
// records) writes it.

// Header of version 4.00: version line ("4.00", "N", "G"), the program line
// of 3.04, the comment lines, "LEAP SECONDS" (GPS-UTC at the epoch of the
// first record, or the value set_rinex4_leap_seconds gave) and "END OF
// HEADER". Holds the header for `lfnRnx` (replacing one held before):
// nothing is written yet, irCode is 0.
void RXWTNH4(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
             std::string_view dateUtc, int nCom, std::span<const std::string> comment, int& irCode);

// Record of version 4.00: the header held for `lfnRnx` when this is the
// first record, the line "> EPH G01 LNAV", then the record of 3.04. An epoch
// that RXEPO3 refuses is refused as RXWTNR3 refuses it (irCode 1), after
// the record-type line: the driver, which has refused such a message before
// (RDBEP3), abandons the file then.
void RXWTNR4(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex, int& irCode);

// Writes the header held for `lfnRnx`, with the leap seconds at the epoch of
// `rinex` (the file's first record), or at the current time for a file
// ended without records (end_rinex4_header). Nothing when no header is held
// for the unit. Return 0, or the errno value of a failed write.
int write_held_rinex4_header(int lfnRnx, const RinexRecordArray& rinex);
int end_rinex4_header(int lfnRnx);

// The LEAP SECONDS of every 4.00 header of the run, instead of the value of
// the leap-second tables (a direct run's --leap-seconds); nullopt: from the
// tables.
void set_rinex4_leap_seconds(std::optional<int> leapSeconds);

// GPS week of the record epoch: the week of toe (position 23) rounded,
// moved by one when toc and toe lie more than half a week apart.
int RXWEEK(const RinexRecordArray& rinex);

// Calendar epoch of the record as versions 1 and 2.11 write it: MJD of toc
// and its week, then the calendar date and the time of day split from its
// fraction (seconds with a fraction).
void RXEPOC(const RinexRecordArray& rinex, int& year, int& month, int& day, int& hour,
            int& minute, double& second);

// Exact epoch of version 3.04 in whole seconds, by integer arithmetic.
// Returns 0, kEpochNotWholeSeconds when toc has a fraction, or
// kEpochBeyondYears when the year lies outside 0 to 9999 (fields unset).
inline constexpr int kEpochNotWholeSeconds = 1;
inline constexpr int kEpochBeyondYears = 2;
int RXEPO3(const RinexRecordArray& rinex, int& year, int& month, int& day, int& hour, int& minute,
           int& second);

// Checks, for version 3.04, that the epoch of the record array converted
// from the message just read can be written (RXEPO3); otherwise an input
// error of the broadcast file on `lfn` (RDBERR).
void RDBEP3(int lfn, const RinexRecordArray& rinex);

// --- The RINEX versions written (rinex_versions.cpp) ------------------------
// One row per version holds all that differs between versions outside their
// writers: a further version is its two writers and one row.

// A header writer with the program line's date and time of its version
// taken from the run (const): a version line, the program line, the
// comment lines. irCode 0, or 1 when a write failed.
using RinexHeaderWriter = void (*)(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
                                   std::span<const std::string> comment, int& irCode);
// A record writer (RXWTNR and its companions).
using RinexRecordWriter = void (*)(int lfnRnx, int lfnErr, int satNum, const RinexRecordArray& rinex,
                                   int& irCode);
// A check of the record array converted from the message just read on
// `lfn`, for what its version cannot write; an input error stops the run.
using RinexMessageCheck = void (*)(int lfn, const RinexRecordArray& rinex);
// Writes what a version holds back until its file is complete (4.00: a
// header not yet written for want of a record). Returns 0 or an errno value.
using RinexFileEnd = int (*)(int lfnRnx);

// The standard names (-n) of a version's files: short ("ssssdddf.yyn") or
// long ("..._GN.rnx").
enum class StandardName { Short, Long };

struct RinexVersion {
  int number;                               // keyword RXNVER and option -r
  std::span<const std::string_view> names;  // that name it: its number first, then its full names
  RinexHeaderWriter writeHeader;
  RinexRecordWriter writeRecord;
  StandardName standardName;
  RinexMessageCheck checkMessage;  // nullptr: every converted message can be written
  RinexFileEnd endFile;            // nullptr: nothing held back
};

// The rows, in the order of their numbers and without gaps.
std::span<const RinexVersion> rinex_versions();
// The row of version `number`; the first row for a number of none (the
// keyword check and RXVNAM let only the numbers of rows through).
const RinexVersion& rinex_version(int number);
// The names of all versions for messages, numbers first: "1, 2, 3, 2.11 or
// 3.04".
std::string rinex_version_names();

// The input error report of a RINEX navigation file damaged at
// `damage.line` (as RDBERR reports a broadcast file), then the end of the
// run with return code 2.
[[noreturn]] void stop_on_damaged_rinex(std::string_view file, const rinex::Damage& damage);

// --- Messages of the driver and its companions (message_block.cpp) ----------

// A detail line of a message block: a label (16 columns from column 17) and
// a value.
using MessageDetail = std::pair<std::string_view, std::string_view>;
// Writes on the message unit a message block: an empty line, `first`, one
// to three detail lines, an empty line.
void write_message_block(std::string_view first, std::initializer_list<MessageDetail> details);

// --- No output overwrites a file of the run (run_files_guard.cpp) -----------

// The longest file name of the file list and of the keyword values.
inline constexpr std::size_t kFileNameLength = 255;

// `name` as OPNFIL opens it: left-adjusted, variables resolved (silently:
// OPNFIL warns when it opens the file).
std::string resolved_file_name(std::string_view name);

// Finds the existing files of the run, for file_of_the_run: the broadcast
// files of the file list (rows 1 to nFil), the keyword input file, the
// constants file, standard input, program output, messages, and the files
// behind standard output and standard error.
void find_files_of_the_run(const FileNameMatrix& files, int nFil);

// Stops the run (message, return code 2) before anything is converted when
// an output name of the file list (column 2 of rows 1 to nFil), in row
// order, is an existing file of the run under any of its names or links.
// Finds those files (find_files_of_the_run) first.
void refuse_overwrites(const FileNameMatrix& files, int nFil);

// The name of the file of the run that the existing file `name` is, or
// nullptr (also for the name of standard output, which writes into the file
// behind it): for the outputs named later (-n, --plot).
const std::string* file_of_the_run(std::string_view name);
inline bool is_file_of_the_run(std::string_view name) { return file_of_the_run(name) != nullptr; }

// --- The RINEX output of the run (rinex_output.cpp) -------------------------
// One RINEX file at a time is open on the RINEX unit, written whole: under a
// temporary name, put under its own name (or the standard name of -n) only
// once every write succeeded, so that a failed, interrupted or killed run
// leaves an earlier file of that name as it was.

namespace nav {
struct Request;
struct InputCounts;
}  // namespace nav

// What every RINEX file of the run is written with: the version, the agency
// of the program line and what a direct run asks beyond the conversion
// (`analyst`, nullptr in a keyword run). From here on the end of the run
// (EXITRC) commits the open file, or abandons one the run stopped in.
void begin_rinex_output(const RinexVersion& version, std::string agency, const nav::Request* analyst);

// True when `output` names the open RINEX file, as text or as another
// spelling of it: the row writes into it, and until end_rinex_row a stop
// of the run abandons it.
bool continue_rinex_output(const std::string& output);

// Closes the open RINEX file, opens the one of `row` and writes the header
// of the run's version with `title` as its one comment. A file that an
// earlier row started, under this name or another one, starts anew, which
// is announced. Until end_rinex_row a stop of the run abandons the file.
void start_rinex_output(int row, const std::string& output, const std::string& title);

// True when the run's selection leaves the messages of `satNum` out.
bool rinex_output_leaves_out(int satNum);

// Writes the record of `satNum`, or holds it when the run orders or names
// its records, or passes over it as the selection decides (counted in
// `counts`). A failed write stops the run.
void write_rinex_record(int satNum, const RinexRecordArray& rinex, nav::InputCounts& counts);

// --- Outputs that RINEX navigation files feed (direct runs) ------------------
// Written by the RINEX room's writer, every system, their records decided by
// nav::RecordDecisions; a broadcast message of such an output is the GPS
// record a RINEX file gives (nav::record_of_message). Version 1 writes the
// GPS LNAV records with its own writer.

// What such an output is written with, decided before its first row: one
// header for all its inputs, the version (times 100, 100 for version 1) and
// the system of a 2.11 file.
struct NavigationPlan {
  rinex::Header header;
  int version = 304;
  rinex::System system = rinex::System::GPS;
};
inline constexpr int kVersion1 = 100;

// What the command line asks of the plans: the version of -r (1 to 4, 0
// when not given), --leap-seconds, and --sys R alone (2.11 of GLONASS).
struct NavigationChoices {
  int runVersion = 0;
  std::optional<int> leapSeconds;
  bool glonassOnly = false;
};

// The plan of an output of `inputs` (rinexInputs[i]: input i is a RINEX
// navigation file, the others broadcast files): without -r the version of
// the RINEX inputs' family, or 3.04 when a broadcast file is among them; one
// header of all inputs (HeaderMerge) with the corrections in force at the
// output's first epoch, which `firstEpoch` gets (GPS time). A damaged RINEX
// input stops the run (stop_on_damaged_rinex), before the output is opened.
NavigationPlan plan_navigation_output(std::span<const std::string> inputs, const std::vector<bool>& rinexInputs,
                                      const NavigationChoices& choices, double& firstEpoch);

// As start_rinex_output, for an output of `plan`: its header, and in 4.00
// the header's corrections as ION and STO records at the output's first
// epoch `firstEpoch` (GPS time).
void start_navigation_output(int row, const std::string& output, const NavigationPlan& plan, double firstEpoch);

// Writes `record` into the open output of a plan, or holds it, or passes
// over it (outside the selection, a repeat, or without a form in the
// output's version), counted in `counts`. A failed write stops the run.
void write_navigation_record(const rinex::Record& record, nav::InputCounts& counts);

// The row is done: with `written`, what it wrote has reached the file (a
// failed write stops the run). The file counts as complete again.
void end_rinex_row(bool written);

// Puts the open RINEX file, if any, under its name; one without records in
// a direct run is not written (with a warning). A failure stops the run.
void close_rinex_output();

}  // namespace kavril

// Main program KAVRIL: converts the broadcast navigation files named by
// keyword BRDFIL into RINEX navigation files of version 1 (2.11, 3.04 or 4.00 as
// keyword RXNVER asks), one summary row per input file. Consecutive input
// files with the same output name are merged into one RINEX file under one
// header; two names of one file (other spellings, links) are the same output
// name. In a direct run RINEX navigation files are inputs as well: an output
// that one of them feeds is written by the RINEX room (navigation_plan.cpp,
// rinex_output.cpp), every system, under one header of all its inputs.
//
// Nothing is lost and nothing fails silently: no output may overwrite a file
// the run reads or writes (run_files_guard.cpp), and every RINEX file is
// written whole, so that a failed, interrupted or killed run leaves an
// earlier file of that name as it was (rinex_output.cpp).
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "const/const.h"
#include "inpkey/inpkey.h"
#include "nav/nav.h"
#include "pgm/pgm.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

using platform::Layout;

constexpr std::size_t kTableNameWidth = 32;
constexpr std::size_t kAgencyLength = 20;

// What a direct run asks beyond the conversion (src/nav): none in a keyword
// run. `rowCounts` are the message counts of the current row.
const nav::Request* analyst = nullptr;
nav::InputCounts rowCounts;

bool namesOutputs() { return analyst != nullptr && !analyst->nameId.empty(); }

// Rows whose input is a RINEX navigation file (direct runs only), and the
// plan of the output being written when one of its inputs is.
std::vector<bool> rinexInputs;
bool rinexRun = false;
std::optional<NavigationPlan> plan;
double planFirstEpoch = 0.0;

std::string fileName(std::string_view value) {
  return std::string(platform::trim_right(value.substr(0, kFileNameLength)));
}

// Default output names come from column 2 of the file list; RXNFIL replaces
// them by one name for all rows or one name per row. A count that fits
// neither rule stops the run before anything is converted.
void applyOutputNames(FileNameMatrix& files, int nFil) {
  std::vector<std::string> names;
  int irc = 0;
  READKEYS("RXNFIL", names, irc);
  const int nNames = static_cast<int>(names.size());
  if (names.empty() || platform::is_blank(names.front())) return;

  if (nNames == 1) {
    for (int i = 1; i <= nFil; ++i) files.at(2, i) = fileName(names.front());
    return;
  }
  if (nNames == nFil) {
    for (int i = 1; i <= nFil; ++i) files.at(2, i) = fileName(names[static_cast<std::size_t>(i - 1)]);
    return;
  }
  static const Layout kMismatch("(/,A,A,/,16X,A,I4,/,16X,A,I4,/)");
  kMismatch.write(lfnError, {" *** PG KAVRIL: Number of input files not equal to number",
                             " of output files:", "Number of specified broadcast input files: ", nFil,
                             "Number of specified RINEX output files:    ", nNames});
  EXITRC(2);
}

// --- Broadcast files ----------------------------------------------------------

// Converts every message of the open broadcast file on lfnLocal into records
// of RINEX `version` on the RINEX output. Returns the number of messages
// converted.
// A message of a satellite that a direct run leaves out is passed over
// before its numbers are converted; the others are decided by their epoch
// and repetition (OutputRecords) once read.
int convertMessages(const RinexVersion& version) {
  static RinexRecordArray rinex;
  int nMess = 0;
  for (int satNum = RDBSAT(lfnLocal); satNum != 0; satNum = RDBSAT(lfnLocal)) {
    if (rinex_output_leaves_out(satNum)) {
      nav::skip_message_blocks(lfnLocal);
      ++rowCounts.read;
      ++rowCounts.unselected;
      continue;
    }
    nav::read_message(lfnLocal, rinex);
    if (version.checkMessage != nullptr) version.checkMessage(lfnLocal, rinex);
    ++nMess;
    write_rinex_record(satNum, rinex, rowCounts);
  }
  return nMess;
}

// After the record that ended the messages (number 0 or a blank line): a
// later line that holds more than blanks means data the run did not read.
// A direct run stops on it as on a damaged file, its RINEX file not written:
// no file converted in part passes for the whole. A keyword run warns.
void reportLinesAfterTheEnd() {
  const long endLine = platform::line_number(lfnLocal);
  thread_local std::string line;
  platform::ReadResult result;
  while ((result = platform::read_line(lfnLocal, line)) == platform::ReadResult::Ok) {
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    write_message_block(cli::directRun ? " *** PG KAVRIL: Lines after the end of the messages not read"
                                       : " ### PG KAVRIL: Lines after the end of the messages not read",
                        {{"File name  : ", platform::trim_right(platform::unit_file_name(lfnLocal))},
                         {"Line number: ", std::to_string(endLine)}});
    if (cli::directRun) EXITRC(2);
    return;
  }
  if (result == platform::ReadResult::Error) stop_on_read_error(lfnLocal, "PG KAVRIL");
}

// The agency of the RINEX header: RUNBY's first value, or a fixed text when
// the keyword is missing (READKEYS has reported that).
std::string agencyFromKeywords() {
  std::vector<std::string> values;
  int irc = 0;
  READKEYS("RUNBY", values, irc);
  if (irc != 0) return "AGENCY NOT SPECIFIED";
  return platform::fit(values.empty() ? std::string_view() : values.front(), kAgencyLength);
}

// The RINEX version of keyword RXNVER: 1 when it is missing or blank (no
// message), a version also for its full name ("2.11", "3.04"), else its
// value checked as an integer option from the first version to the last; a
// bad value has been reported by CKOPTI and stops the run.
int rinexVersionFromKeywords() {
  if (!TSTKEY("RXNVER")) return 1;
  std::vector<std::string> values;
  int irc = 0;
  READKEYS("RXNVER", values, irc);
  if (values.size() == 1) {
    std::string name = values.front();
    SJUSTL(name);
    if (const int version = RXVNAM(platform::trim_right(name)); version != 0) return version;
  }
  int errCount = 0;
  int version = 1;
  CkoptiOptional opt;
  opt.emptyVal = 1;
  opt.lowLimit = rinex_versions().front().number;
  opt.upLimit = rinex_versions().back().number;
  opt.maxVal = 1;
  opt.initVal = 1;
  opt.firstResult = &version;
  CKOPTI(1, "RXNVER", values, "KAVRIL", "RINEX navigation format version", irc, errCount, opt);
  if (errCount != 0) EXITRC(2);
  return version;
}

// Writes out the program output and the messages so far: a run that is
// interrupted or killed has reported every row it finished.
void writeOutReports() {
  platform::write_out(lfnPrint);
  platform::write_out(lfnError);
}

// A direct run that selects or leaves out messages shows per row the
// messages read, written, outside the selection and repeated (--unique).
// A run with RINEX inputs shows the counts always, with conflicts of
// --unique and the records that have no form in the output's version.
bool countsColumns() { return analyst != nullptr && (analyst->selection.active() || rinexRun); }

void writeTableHead() {
  if (rinexRun) {
    static const Layout kRinexHead("(//,A,A,A,/,1X,A,2X,A,2X,A,2X,A,/)");
    kRinexHead.write(lfnPrint, {" FILE  INPUT FILE NAME                   ",
                                "RINEX FILE NAME                   #READ #WRITTEN #OUTSIDE #REPEATED",
                                " #CONFLICTS #NO FORM", std::string(4, '-'), std::string(32, '-'), std::string(32, '-'),
                                "----- -------- -------- --------- ---------- --------"});
    return;
  }
  static const Layout kHead("(//,A,A,/,1X,A,2X,A,2X,A,2X,A,/)");
  if (countsColumns()) {
    kHead.write(lfnPrint, {" FILE  ORLANIC BROADCAST FILE NAME       ",
                           "RINEX FILE NAME                   #READ #WRITTEN #OUTSIDE #REPEATED", std::string(4, '-'),
                           std::string(32, '-'), std::string(32, '-'), "----- -------- -------- ---------"});
    return;
  }
  kHead.write(lfnPrint, {" FILE  ORLANIC BROADCAST FILE NAME       ", "RINEX FILE NAME                   #MESS",
                         std::string(4, '-'), std::string(32, '-'), std::string(32, '-'), std::string(5, '-')});
}

void writeTableRow(int row, const std::string& input, const std::string& output, int nMess) {
  static const Layout kRow("(I5,2X,A32,2X,A32,I7)");
  static const Layout kCountsRow("(I5,2X,A32,2X,A32,I7,2I9,I10)");
  static const Layout kRinexRow("(I5,2X,A32,2X,A32,I7,2I9,I10,I11,I9)");
  const std::string shown = platform::is_blank(output) ? std::string("  ---")
                            : namesOutputs()           ? platform::fit("(standard name, below)", kTableNameWidth)
                                                       : output;
  if (!countsColumns()) {
    kRow.write(lfnPrint, {row, input, shown, nMess});
    return;
  }
  if (rinexRun) {
    kRinexRow.write(lfnPrint, {row, input, shown, rowCounts.read, rowCounts.written, rowCounts.unselected,
                               rowCounts.duplicates, rowCounts.conflicts, rowCounts.noForm});
    return;
  }
  kCountsRow.write(lfnPrint, {row, input, shown, rowCounts.read, rowCounts.written, rowCounts.unselected,
                              rowCounts.duplicates});
}

// An empty broadcast file. A direct run that writes its RINEX file from
// this row alone (onlyRowOfOutput) also says that the file is not written.
void reportEmptyInput(const std::string& output, bool onlyRowOfOutput) {
  const std::string input(platform::trim_right(platform::unit_file_name(lfnLocal)));
  if (onlyRowOfOutput) {
    write_message_block(" ### PG KAVRIL: Broadcast file is empty, RINEX file not written",
                        {{"File name  : ", input}, {"RINEX file : ", platform::trim_right(output)}});
    return;
  }
  write_message_block(" ### PG KAVRIL: Broadcast file is empty", {{"File name  : ", input}});
}

// Converts the RINEX navigation file of one row into the output of the plan.
// Returns the number of records read.
int convertRinexRow(int row, const std::string& input, const std::string& output) {
  const bool continuesOpenFile = continue_rinex_output(output);
  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");
  rinex::NavigationReader reader(lfnLocal);
  static rinex::Header header;
  if (!reader.read_header(header)) stop_on_damaged_rinex(input, reader.damage());
  if (!continuesOpenFile) start_navigation_output(row, output, *plan, planFirstEpoch);
  static rinex::Record record;
  rinex::NavigationReader::Next next;
  while ((next = reader.next(record)) == rinex::NavigationReader::Next::Record) write_navigation_record(record, rowCounts);
  if (next == rinex::NavigationReader::Next::Damaged) stop_on_damaged_rinex(input, reader.damage());
  platform::close_unit(lfnLocal);
  end_rinex_row(true);
  return static_cast<int>(rowCounts.read);
}

// Converts the broadcast file of one row into its RINEX file. Returns the
// number of messages converted.
int convertRow(int row, const std::string& input, const std::string& output, bool onlyRowOfOutput,
               const RinexVersion& version) {
  if (rinexInputs[static_cast<std::size_t>(row - 1)]) return convertRinexRow(row, input, output);
  const bool continuesOpenFile = continue_rinex_output(output);

  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");

  std::string title;
  if (!RDBTIT(lfnLocal, title)) {
    reportEmptyInput(output, onlyRowOfOutput);
    platform::close_unit(lfnLocal);
    if (continuesOpenFile) end_rinex_row(false);
    return 0;
  }
  if (!continuesOpenFile && plan) start_navigation_output(row, output, *plan, planFirstEpoch);
  if (!continuesOpenFile && !plan) start_rinex_output(row, output, title);
  const int nMess = convertMessages(version);
  reportLinesAfterTheEnd();
  platform::close_unit(lfnLocal);
  end_rinex_row(true);
  return nMess;
}

// True when rows `a` and `b` write one output: the same name, or two
// spellings of one file.
bool sameOutput(const FileNameMatrix& files, int a, int b) {
  const std::string& first = files.at(2, a);
  const std::string& second = files.at(2, b);
  return platform::same_text(first, second) ||
         platform::output_identity(resolved_file_name(first)) == platform::output_identity(resolved_file_name(second));
}

// Finds the rows whose input is a RINEX navigation file (a direct run's;
// rinexRun already says whether there is one).
void findRinexInputs(const FileNameMatrix& files, int nFil) {
  rinexInputs.assign(static_cast<std::size_t>(nFil), false);
  if (!rinexRun) return;
  for (int row = 1; row <= nFil; ++row) {
    const bool isRinex = rinex::is_navigation_input(platform::trim_right(files.at(1, row)));
    rinexInputs[static_cast<std::size_t>(row - 1)] = isRinex;
  }
}

// At the first row of an output: its plan when a RINEX input feeds it (the
// consecutive rows of the same output name), else none.
void planOutputOf(const FileNameMatrix& files, int nFil, int row) {
  if (!rinexRun || (row > 1 && sameOutput(files, row - 1, row))) return;
  plan.reset();
  std::vector<std::string> inputs;
  std::vector<bool> isRinex;
  for (int r = row; r <= nFil && (r == row || sameOutput(files, r - 1, r)); ++r) {
    inputs.emplace_back(platform::trim_right(files.at(1, r)));
    isRinex.push_back(rinexInputs[static_cast<std::size_t>(r - 1)]);
  }
  if (std::find(isRinex.begin(), isRinex.end(), true) == isRinex.end()) return;
  const cli::DirectRun& run = *cli::directRun;
  rinex::SystemSet glonass;
  glonass.add(rinex::System::GLONASS);
  const NavigationChoices choices{run.versionGiven ? run.version : 0, run.leapSeconds,
                                  run.analyst.records.systems == glonass};
  plan = plan_navigation_output(inputs, isRinex, choices, planFirstEpoch);
}

// True when no other row of the file list has the output name of `row`.
bool onlyRowOf(const FileNameMatrix& files, int nFil, int row) {
  for (int other = 1; other <= nFil; ++other) {
    if (other != row && platform::same_text(files.at(2, other), files.at(2, row))) return false;
  }
  return true;
}

}  // namespace

void KAVRIL() {
  CPU_START(true);
  platform::catch_interrupts();

  INIT_INPKEY(inpKey);
  const std::optional<cli::DirectRun>& directRun = cli::directRun;
  if (directRun) {
    cli::direct_keywords(*directRun, inpKey);
  } else {
    READINPF(" ", inpKey, kKeywordsRead);
  }
  OPNSYS();
  if (directRun) {
    cli::direct_report("KAVRIL", directRun->quiet);
  } else {
    CKKEYNAM(kKeywordsRead);
  }
  DEFCON(1);
  // The title block and the file listing describe a keyword input file.
  if (!directRun) {
    PRITIT("KAVRIL", "Transfer Orlanic navigation files to RINEX");
    PRFLNA(79);
  }

  if (directRun) {
    analyst = &directRun->analyst;
    set_rinex4_leap_seconds(directRun->leapSeconds);
  }
  const bool checking = analyst != nullptr && analyst->check;
  if (directRun) {
    for (const std::string& input : directRun->brdFiles) rinexRun = rinexRun || rinex::is_navigation_input(input);
  }
  if (!checking) writeTableHead();
  int nFil = 0;
  FileNameMatrix files;
  GTFILE2("BRDFIL", 2, nFil, files, kFileNameLength);
  // Without BRDFIL (GTFILE2 has said so) there is nothing to convert.
  if (!TSTKEY("BRDFIL")) EXITRC(2);
  if (checking) {
    find_files_of_the_run(files, nFil);
    nav::run_check(files, nFil, *analyst, cli::kStandardOutput);
  }
  applyOutputNames(files, nFil);
  refuse_overwrites(files, nFil);
  findRinexInputs(files, nFil);
  std::string agency = agencyFromKeywords();
  const RinexVersion& version = rinex_version(rinexVersionFromKeywords());
  begin_rinex_output(version, std::move(agency), analyst);

  writeOutReports();
  for (int row = 1; row <= nFil; ++row) {
    const std::string& input = files.at(1, row);
    const std::string& output = files.at(2, row);
    rowCounts = nav::InputCounts{};
    // Asked only in a direct run: the comparison costs time in proportion
    // to the number of rows.
    const bool onlyRow = cli::directRun && onlyRowOf(files, nFil, row);
    if (!platform::is_blank(output)) planOutputOf(files, nFil, row);
    const int nMess = platform::is_blank(output) ? 0 : convertRow(row, input, output, onlyRow, version);
    writeTableRow(row, platform::fit(input, kTableNameWidth), platform::fit(output, kTableNameWidth), nMess);
    writeOutReports();
  }
  close_rinex_output();

  platform::write_line(lfnPrint, "");
  EXITRC(0);
}

}  // namespace kavril

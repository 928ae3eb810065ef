// Main program KAVRIL: converts the broadcast navigation files named by
// keyword BRDFIL into RINEX navigation files of version 1 (2.11 or 3.04 as
// keyword RXNVER asks), one summary row per input file. Consecutive input
// files with the same output name are merged into one RINEX file under one
// header; two names of one file (other spellings, links) are the same output
// name.
//
// Nothing is lost and nothing fails silently: no output may overwrite a file
// the run reads or writes, and every RINEX file is written whole: under a
// temporary name, put under its own name only once every write succeeded, so
// that a failed, interrupted or killed run leaves an earlier file of that
// name as it was.
#include <algorithm>
#include <map>
#include <set>
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
constexpr std::size_t kCommentLength = 60;
constexpr std::size_t kFileNameLength = 255;

// The RINEX output unit.
const int& lfnRnx = lfnFirst;

// The RINEX file of the run that is open on the RINEX unit. Module state,
// because the run may stop anywhere and the termination then decides whether
// the file is committed or abandoned.
struct RinexFile {
  bool open = false;
  std::string name;      // output name, as in the file list
  std::string fileName;  // the name it was opened under (variables resolved)
  std::string identity;  // platform::output_identity of the file name
  // True while the file cannot be taken as complete: the current row writes
  // into it, or a write or the commit of it failed.
  bool incomplete = false;
  int recordCount = 0;  // records written into it
  std::string input;    // the input of the row that started it
};
RinexFile rinexFile;
// The output name whose RINEX file is being opened, while OPNFIL and OPNERR
// run: an open failure keeps the earlier file of that name, and says so.
std::string openingOutput;

// What a direct run asks beyond the conversion (src/nav): none in a keyword
// run. `records` decides the records of the open RINEX file when the run
// selects, orders or names them; `rowCounts` are those of the current row.
const nav::Request* analyst = nullptr;
std::optional<nav::OutputRecords> records;
nav::InputCounts rowCounts;
int rinexVersion = 1;
// The files that -n named, by identity: no two outputs get one name.
std::set<std::string, std::less<>> namedFiles;

bool decidesRecords() { return analyst != nullptr && (analyst->selection.active() || !analyst->nameId.empty()); }
bool namesOutputs() { return analyst != nullptr && !analyst->nameId.empty(); }

// What every RINEX file of the run is written with.
struct RunSettings {
  std::string agency;  // of the program line
  int version = 1;     // 1, 2 (2.11) or 3 (3.04)
};

// A message block of the driver: a first line and one to three detail
// lines of a label and a value.
using Detail = std::pair<std::string_view, std::string_view>;
void writeMessage(std::string_view first, std::initializer_list<Detail> details) {
  static const Layout kBlocks[] = {Layout("(/,A,/,16X,A,A,/)"), Layout("(/,A,2(/,16X,A,A),/)"),
                                   Layout("(/,A,3(/,16X,A,A),/)")};
  std::vector<platform::Arg> args{first};
  for (const auto& [label, value] : details) {
    args.emplace_back(label);
    args.emplace_back(value);
  }
  kBlocks[details.size() - 1].write(lfnError, args);
}

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

// --- No output overwrites a file of the run ---------------------------------

// A file the run reads or writes: its name as given and its identity.
struct RunFile {
  std::string name;
  platform::FileId id;
};

// `name` as OPNFIL opens it: left-adjusted, variables resolved (silently:
// OPNFIL warns when it opens the file).
std::string resolvedName(std::string_view name) {
  std::string resolved = platform::fit(name, kFileNameLength);
  SJUSTL(resolved);
  if (resolved.find('$') != std::string::npos) RPLENVAR(0, resolved);
  return resolved;
}

void addByName(std::vector<RunFile>& files, std::string_view name) {
  RunFile file{std::string(platform::trim_right(name)), {}};
  if (platform::existing_file_id(resolvedName(name), file.id)) files.push_back(std::move(file));
}

void addByUnit(std::vector<RunFile>& files, int unit) {
  RunFile file{std::string(platform::trim_right(platform::unit_file_name(unit))), {}};
  if (platform::unit_file_id(unit, file.id)) files.push_back(std::move(file));
}

// The existing files of the run in the order they are compared with the
// outputs: the broadcast files, the keyword input file, the constants file,
// then the named system files (standard input, program output, messages).
std::vector<RunFile> filesOfTheRun(const FileNameMatrix& files, int nFil) {
  std::vector<RunFile> runFiles;
  for (int row = 1; row <= nFil; ++row) addByName(runFiles, files.at(1, row));
  addByName(runFiles, inpKey.inpFilNam);
  std::string constName;
  int irc = 0;
  GTFLNA(0, "CONST", constName, irc);
  if (irc == 0) addByName(runFiles, constName);
  addByUnit(runFiles, lfnSysInp);
  if (lfnPrint != platform::kStdOut) addByUnit(runFiles, lfnPrint);
  if (lfnError != lfnPrint && lfnError != platform::kStdOut) addByUnit(runFiles, lfnError);
  return runFiles;
}

// Stops the run before anything is converted when an output name, in row
// order, is an existing file of the run (any of its names or links).
// The files of the run, kept for the names that -n chooses later.
std::vector<RunFile> runFilesOfRun;

void refuseOverwrites(const FileNameMatrix& files, int nFil) {
  const std::vector<RunFile>& runFiles = runFilesOfRun = filesOfTheRun(files, nFil);
  std::map<platform::FileId, const RunFile*> firstOfId;
  for (const RunFile& file : runFiles) firstOfId.emplace(file.id, &file);
  for (int row = 1; row <= nFil; ++row) {
    const std::string& output = files.at(2, row);
    platform::FileId id;
    if (platform::is_blank(output) || !platform::existing_file_id(resolvedName(output), id)) continue;
    const auto same = firstOfId.find(id);
    if (same == firstOfId.end()) continue;
    writeMessage(" *** PG KAVRIL: RINEX file would overwrite a file of this run",
                 {{"RINEX file : ", platform::trim_right(output)}, {"Same file  : ", same->second->name}});
    EXITRC(2);
  }
}

// --- RINEX files: written whole, every write checked ---------------------------

// The RINEX files that rows of this run have started, by the file they write
// (platform::output_identity): a file started again under another spelling
// is still announced.
using StartedFiles = std::set<std::string, std::less<>>;

// True when `output` names the RINEX file open on the RINEX unit, as text or
// as another spelling of it.
bool namesOpenRinex(const std::string& output) {
  if (!rinexFile.open) return false;
  return platform::same_text(output, rinexFile.name) ||
         platform::output_identity(resolvedName(output)) == rinexFile.identity;
}

void reportWriteError(int ios) {
  rinexFile.incomplete = true;
  writeMessage(" *** PG KAVRIL: Cannot write RINEX file",
               {{"File name  : ", rinexFile.fileName},
                {"IOSTAT     : ", std::to_string(ios)},
                {"Reason     : ", platform::status_text(ios)}});
}

[[noreturn]] void stopOnWriteError(int ios) {
  reportWriteError(ios);
  EXITRC(2);
}

// The complete file is under its name, but its folder could not be synced:
// a power cut may still take the new name away.
void reportNotDurable(int ios) {
  writeMessage(" *** PG KAVRIL: RINEX file written but not made durable",
               {{"File name  : ", rinexFile.fileName}, {"Reason     : ", platform::status_text(ios)}});
  rinexFile = RinexFile{};
}

// Temporary files the user should know of: one that could not be deleted
// (to be removed by hand), leftovers of killed runs that were deleted.
void reportTemporaryFiles() {
  for (const platform::TemporaryFileNote& note : platform::take_temporary_file_notes()) {
    if (note.error == 0) {
      writeMessage(" ### PG KAVRIL: Leftover temporary file deleted", {{"File name  : ", note.path}});
    } else {
      writeMessage(" ### PG KAVRIL: Temporary file could not be deleted",
                   {{"File name  : ", note.path}, {"Reason     : ", platform::status_text(note.error)}});
    }
  }
}

// Stops the run when a write of the open RINEX file failed so far; writes
// its buffer out, so what the summary table reports has reached the file.
void checkRinexWrites() {
  if (const int ios = platform::write_out(lfnRnx); ios != 0) stopOnWriteError(ios);
}

// A RINEX writer returned 1: a write failed (reported here with the system's
// reason), or the writer refused the record and reported that itself.
[[noreturn]] void stopOnWriterFailure() {
  checkRinexWrites();
  EXITRC(2);
}

// Writes one record of the run's version; 0, or 1 when the writer failed.
int writeRecord(int satNum, const RinexRecordArray& rinex) {
  int irc = 0;
  ++rinexFile.recordCount;
  switch (rinexVersion) {
    case 2: RXWTNR2(lfnRnx, lfnError, satNum, rinex, irc); break;
    case 3: RXWTNR3(lfnRnx, lfnError, satNum, rinex, irc); break;
    default: RXWTNR(lfnRnx, lfnError, satNum, rinex, irc);
  }
  return irc;
}

// The standard name of the open RINEX file (-n), from its records, in the
// folder it is written in; empty when it has no records to be named by.
std::string standardName() {
  if (records->empty()) return {};
  const std::string& id = analyst->nameId;
  std::string name = rinexVersion == 3 ? nav::long_name(id, analyst->source != 0 ? analyst->source : 'U',
                                                        records->name_start(), records->last_epoch())
                                       : nav::short_name(id, records->name_start());
  if (analyst->gzip) name += ".gz";
  const std::size_t slash = rinexFile.fileName.find_last_of('/');
  return (slash == std::string::npos ? std::string() : rinexFile.fileName.substr(0, slash + 1)) + name;
}

// commitRinex in a direct run: the RINEX file got no record.
constexpr int kNoRecords = -2;

// A direct run does not write a RINEX file without records (a selection
// kept nothing, the input held only its title): its temporary file goes, the
// earlier file of its name stays, and a warning says so.
void discardEmptyRinex() {
  rinexFile.open = false;
  platform::abandon_unit(lfnRnx);
  if (namesOutputs()) {
    writeMessage(" ### PG KAVRIL: No messages to name the RINEX file by",
                 {{"File name  : ", rinexFile.input}, {"Name ID    : ", analyst->nameId}});
  } else {
    writeMessage(" ### PG KAVRIL: No messages written, RINEX file not written",
                 {{"File name  : ", rinexFile.fileName}});
  }
  reportTemporaryFiles();
  rinexFile = RinexFile{};
  records.reset();
}

// Puts the complete RINEX file under its name, after the records held for
// its order; under the standard name with -n. Returns 0, an errno value, or
// -1 when the file cannot be named (reported here).
int commitRinex() {
  if (records && records->write_sorted([](const nav::OutputRecords::Held& held) {
        return writeRecord(held.sat, held.rinex);
      }) != 0) {
    const int ios = platform::write_out(lfnRnx);
    return ios != 0 ? ios : EIO;
  }
  if (analyst != nullptr && rinexFile.recordCount == 0 && !platform::is_special_name(rinexFile.fileName))
    return kNoRecords;
  if (!namesOutputs()) return platform::commit_unit(lfnRnx);
  const std::string name = standardName();
  if (name.empty()) return kNoRecords;
  platform::FileId id;
  const bool fileOfRun = !name.empty() && platform::existing_file_id(name, id) &&
                         std::any_of(runFilesOfRun.begin(), runFilesOfRun.end(),
                                     [&id](const RunFile& file) { return file.id == id; });
  const char* refusal = fileOfRun  ? "the standard name is a file of this run; the output is not written"
                        : !namedFiles.insert(platform::output_identity(name)).second
                            ? "an earlier output of this run has this name; this one is not written"
                            : nullptr;
  if (refusal != nullptr) {
    if (!name.empty()) rinexFile.fileName = name;  // as the notice of its deletion names it
    platform::write_line(lfnError, rinexFile.fileName + ": " + refusal);
    return -1;
  }
  const int ios = platform::commit_unit_as(lfnRnx, name);
  if (ios == 0) platform::write_line(lfnPrint, " RINEX file named " + name);
  else rinexFile.fileName = name;
  return ios;
}

// A failed write, sync, close or rename stops the run like a failed write, a
// failed sync of the folder as a file not made durable, a refused standard
// name with its temporary file deleted.
void closeRinex() {
  if (!rinexFile.open) return;
  if (const int ios = commitRinex(); ios != 0) {
    if (ios == kNoRecords) return discardEmptyRinex();
    if (ios < 0) rinexFile.incomplete = true;
    else if (platform::unit_connected(lfnRnx)) stopOnWriteError(ios);
    else reportNotDurable(ios);
    EXITRC(2);
  }
  rinexFile = RinexFile{};
  records.reset();
}

// A RINEX file that holds only part of its messages is not kept: its
// temporary file goes, and its name keeps what it held before the run.
void abandonRinex() {
  rinexFile.open = false;
  if (platform::abandon_unit(lfnRnx))
    writeMessage(" ### PG KAVRIL: Incomplete RINEX file deleted", {{"File name  : ", rinexFile.fileName}});
  reportTemporaryFiles();
}

// Termination step, before the exit steps: the RINEX file still open when a
// run stops. One that the stopping row wrote into, or whose write failed, is
// abandoned; a complete one (a later row stopped the run before switching to
// its own output) is put under its name. A RINEX file that could not be
// opened leaves the earlier file of its name, which is said.
void finishRinexAtExit(int irCode) {
  reportTemporaryFiles();
  if (!openingOutput.empty() && platform::is_regular_file(resolvedName(openingOutput))) {
    writeMessage(" ### PG KAVRIL: RINEX file not written, earlier file kept",
                 {{"File name  : ", platform::trim_right(openingOutput)}});
  }
  if (!rinexFile.open) return;
  if (irCode == 2 && rinexFile.incomplete) return abandonRinex();
  if (const int ios = commitRinex(); ios != 0) {
    if (ios == kNoRecords) return discardEmptyRinex();
    if (ios > 0 && !platform::unit_connected(lfnRnx)) return reportNotDurable(ios);
    if (ios > 0) reportWriteError(ios);
    abandonRinex();
  }
}

// Opens the RINEX file of `row` and writes the header of the run's version
// with the title as its one comment. A file that an earlier row started,
// under this name or another one, starts anew, which is announced.
void startRinex(int row, const std::string& output, const std::string& title, const RunSettings& run,
                StartedFiles& started) {
  closeRinex();
  int ios = 0;
  openingOutput = output;
  OPNFIL(lfnRnx, output, "REPLACE", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnRnx, ios, output, "KAVRIL");
  openingOutput.clear();
  reportTemporaryFiles();
  const std::string fileName(platform::trim_right(platform::unit_file_name(lfnRnx)));
  rinexFile = RinexFile{true, output, fileName, platform::output_identity(fileName), true, 0,
                        std::string(platform::trim_right(platform::unit_file_name(lfnLocal)))};
  if (analyst != nullptr && (analyst->gzip || fileName.ends_with(".gz"))) platform::compress_unit_output(lfnRnx);
  if (decidesRecords()) records.emplace(analyst->selection);
  if (!started.insert(rinexFile.identity).second) {
    writeMessage(" ### PG KAVRIL: RINEX file started again, earlier records replaced",
                 {{"File name  : ", rinexFile.fileName}, {"Row        : ", std::to_string(row)}});
  }
  static const std::string pgmName = platform::fit("KAVRIL", 20);
  const std::string comment[] = {platform::fit(title, kCommentLength)};
  int irc = 0;
  switch (run.version) {
    case 2: RXWTNH2(lfnRnx, lfnError, pgmName, run.agency, runDate, runTime, 1, comment, irc); break;
    case 3: RXWTNH3(lfnRnx, lfnError, pgmName, run.agency, runUtc, 1, comment, irc); break;
    default: RXWTNH(lfnRnx, lfnError, pgmName, run.agency, runDate, runTime, 1, comment, irc);
  }
  if (irc != 0) stopOnWriterFailure();
}

// --- Broadcast files ----------------------------------------------------------

// Converts every message of the open broadcast file on lfnLocal into records
// of RINEX `version` on the RINEX unit. Returns the number of messages
// converted.
// A message of a satellite that a direct run leaves out is passed over
// before its numbers are converted; the others are decided by their epoch
// and repetition (OutputRecords) once read.
int convertMessages(int version) {
  static RinexRecordArray rinex;
  int nMess = 0;
  for (int satNum = RDBSAT(lfnLocal); satNum != 0; satNum = RDBSAT(lfnLocal)) {
    if (records && !analyst->selection.keeps_satellite(satNum)) {
      nav::skip_message_blocks(lfnLocal);
      ++rowCounts.read;
      ++rowCounts.unselected;
      continue;
    }
    nav::read_message(lfnLocal, rinex);
    if (version == 3) RDBEP3(lfnLocal, rinex);
    ++nMess;
    if (records && records->take(satNum, rinex, rowCounts) != nav::OutputRecords::Decision::Write) continue;
    if (writeRecord(satNum, rinex) != 0) stopOnWriterFailure();
  }
  return nMess;
}

// After the record that ended the messages (number 0 or a blank line): a
// later line that holds more than blanks means data the run did not read.
void reportLinesAfterTheEnd() {
  const long endLine = platform::line_number(lfnLocal);
  thread_local std::string line;
  platform::ReadResult result;
  while ((result = platform::read_line(lfnLocal, line)) == platform::ReadResult::Ok) {
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    writeMessage(" ### PG KAVRIL: Lines after the end of the messages not read",
                 {{"File name  : ", platform::trim_right(platform::unit_file_name(lfnLocal))},
                  {"Line number: ", std::to_string(endLine)}});
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
// message), 2 and 3 also for their version names "2.11" and "3.04", else its
// value checked as an integer option from 1 to 3; a bad value has been
// reported by CKOPTI and stops the run.
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
  opt.lowLimit = kRinexVersionMin;
  opt.upLimit = kRinexVersionMax;
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
bool countsColumns() { return analyst != nullptr && analyst->selection.active(); }

void writeTableHead() {
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
  const std::string shown = platform::is_blank(output) ? std::string("  ---")
                            : namesOutputs()           ? platform::fit("(standard name, below)", kTableNameWidth)
                                                       : output;
  if (!countsColumns()) {
    kRow.write(lfnPrint, {row, input, shown, nMess});
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
    writeMessage(" ### PG KAVRIL: Broadcast file is empty, RINEX file not written",
                 {{"File name  : ", input}, {"RINEX file : ", platform::trim_right(output)}});
    return;
  }
  writeMessage(" ### PG KAVRIL: Broadcast file is empty", {{"File name  : ", input}});
}

// Converts the broadcast file of one row into its RINEX file. Returns the
// number of messages converted.
int convertRow(int row, const std::string& input, const std::string& output, bool onlyRowOfOutput,
               const RunSettings& run, StartedFiles& started) {
  const bool continuesOpenFile = namesOpenRinex(output);
  if (continuesOpenFile) rinexFile.incomplete = true;

  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");

  std::string title;
  if (!RDBTIT(lfnLocal, title)) {
    reportEmptyInput(output, onlyRowOfOutput);
    platform::close_unit(lfnLocal);
    if (continuesOpenFile) rinexFile.incomplete = false;
    return 0;
  }
  if (!continuesOpenFile) startRinex(row, output, title, run, started);
  const int nMess = convertMessages(run.version);
  reportLinesAfterTheEnd();
  platform::close_unit(lfnLocal);
  checkRinexWrites();
  rinexFile.incomplete = false;
  return nMess;
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

  if (directRun) analyst = &directRun->analyst;
  const bool checking = analyst != nullptr && analyst->check;
  if (!checking) writeTableHead();
  int nFil = 0;
  FileNameMatrix files;
  GTFILE2("BRDFIL", 2, nFil, files, kFileNameLength);
  // Without BRDFIL (GTFILE2 has said so) there is nothing to convert.
  if (!TSTKEY("BRDFIL")) EXITRC(2);
  if (checking) nav::run_check(files, nFil, *analyst, cli::kStandardOutput);
  applyOutputNames(files, nFil);
  refuseOverwrites(files, nFil);
  const RunSettings run{agencyFromKeywords(), rinexVersionFromKeywords()};
  rinexVersion = run.version;

  exitCleanup = finishRinexAtExit;
  writeOutReports();
  StartedFiles started;
  for (int row = 1; row <= nFil; ++row) {
    const std::string& input = files.at(1, row);
    const std::string& output = files.at(2, row);
    rowCounts = nav::InputCounts{};
    // Asked only in a direct run: the comparison costs time in proportion
    // to the number of rows.
    const bool onlyRow = cli::directRun && onlyRowOf(files, nFil, row);
    const int nMess = platform::is_blank(output) ? 0 : convertRow(row, input, output, onlyRow, run, started);
    writeTableRow(row, platform::fit(input, kTableNameWidth), platform::fit(output, kTableNameWidth), nMess);
    writeOutReports();
  }
  closeRinex();

  platform::write_line(lfnPrint, "");
  EXITRC(0);
}

}  // namespace kavril

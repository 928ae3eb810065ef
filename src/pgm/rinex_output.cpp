// The life of a RINEX output: started by the row that opens it, written
// record by record (or held when the run orders or names its records; an
// output that RINEX files feed by the RINEX room's writer),
// committed under its name or the standard name of -n, discarded when a
// direct run gives it no record, abandoned when the run stops while it is
// incomplete. Every write is checked, and every RINEX file is written whole:
// under a temporary name, put under its own name only once every write
// succeeded.
#include <array>
#include <optional>
#include <set>
#include <string>

#include "const/const.h"
#include "nav/nav.h"
#include "pgm/pgm.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::size_t kCommentLength = 60;

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

// What every RINEX file of the run is written with.
const RinexVersion* version = nullptr;
std::string agency;  // of the program line
// What a direct run asks beyond the conversion (src/nav): none in a keyword
// run. `records` decides the records of the open RINEX file when the run
// selects, orders or names them.
const nav::Request* analyst = nullptr;
std::optional<nav::OutputRecords> records;
// The open output of a plan (RINEX inputs): its writer (none for version
// 1), the decisions on its records, the records its version has no form for.
struct NavigationOutput {
  int version = 0;
  rinex::System system = rinex::System::GPS;
  std::optional<rinex::NavigationWriter> writer;
  nav::RecordDecisions decisions;
  rinex::Unwritten unwritten;
};
std::optional<NavigationOutput> navigation;
// The files that -n named, by identity: no two outputs get one name.
std::set<std::string, std::less<>> namedFiles;
// The RINEX files that rows of this run have started, by the file they write
// (platform::output_identity): a file started again under another spelling
// is still announced.
std::set<std::string, std::less<>> startedFiles;

bool decidesRecords() { return analyst != nullptr && (analyst->selection.active() || !analyst->nameId.empty()); }
bool namesOutputs() { return analyst != nullptr && !analyst->nameId.empty(); }

void reportWriteError(int ios) {
  rinexFile.incomplete = true;
  write_message_block(" *** PG KAVRIL: Cannot write RINEX file",
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
  write_message_block(" *** PG KAVRIL: RINEX file written but not made durable",
                      {{"File name  : ", rinexFile.fileName}, {"Reason     : ", platform::status_text(ios)}});
  rinexFile = RinexFile{};
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
  version->writeRecord(lfnRnx, lfnError, satNum, rinex, irc);
  return irc;
}

// Writes `record` into the open output of a plan; 0, or 1 when the write
// failed. Only records its version holds come here.
int writeNavigationRecord(const rinex::Record& record) {
  if (navigation->version != kVersion1) {
    ++rinexFile.recordCount;
    return navigation->writer->write(record) == rinex::NavigationWriter::Result::Written ? 0 : 1;
  }
  static RinexRecordArray rinex;
  int satNum = 0;
  nav::message_of_record(record, satNum, rinex);
  return writeRecord(satNum, rinex);
}

bool holdsRecord(const rinex::Record& record) {
  if (navigation->version != kVersion1) return navigation->writer->holds(record);
  return record.kind == rinex::RecordKind::Ephemeris && record.satellite.system == rinex::System::GPS &&
         record.message == rinex::Message::LNAV;
}

// The standard name of an output of a plan: short for 2.11 and version 1
// ("n" or "g"), else long of the systems written ("_MN", "_GN" ...).
std::string navigationName(const std::string& id, char source) {
  const nav::RecordDecisions& decided = navigation->decisions;
  if (navigation->version <= 211) return rinex::short_name(id, decided.name_start(), navigation->system);
  return rinex::long_name(id, source, decided.name_start(), decided.last_epoch(), decided.systems());
}

// The standard name of the open RINEX file (-n), from its records, in the
// folder it is written in; empty when it has no records to be named by.
std::string standardName() {
  if (navigation ? navigation->decisions.empty() : records->empty()) return {};
  const std::string& id = analyst->nameId;
  const char source = analyst->source != 0 ? analyst->source : 'U';
  std::string name = navigation                                   ? navigationName(id, source)
                     : version->standardName == StandardName::Long ? nav::long_name(id, source, records->name_start(),
                                                                                     records->last_epoch())
                                                                   : nav::short_name(id, records->name_start());
  if (analyst->gzip) name += ".gz";
  const std::size_t slash = rinexFile.fileName.find_last_of('/');
  return (slash == std::string::npos ? std::string() : rinexFile.fileName.substr(0, slash + 1)) + name;
}

// commitRinex in a direct run: the RINEX file got no record, or its
// standard name was refused.
constexpr int kNoRecords = -2;
constexpr int kNameRefused = -1;

// The open RINEX file is done with: the next one starts afresh.
void forgetRinexFile() {
  rinexFile = RinexFile{};
  records.reset();
  navigation.reset();
}

// The records of an output of a plan that its version has no form for: one
// warning line, once the file is under its name.
void warnUnwritten(const std::string& name) {
  if (!navigation || navigation->unwritten.total() == 0) return;
  const std::string warning = navigation->unwritten.warning(name, navigation->version);
  platform::write_line(lfnError, std::string_view(warning).substr(warning.find(' ') + 1));
}

// A direct run does not write a RINEX file without records (a selection
// kept nothing, the input held only its title): its temporary file goes, the
// earlier file of its name stays, and a warning says so.
void discardEmptyRinex() {
  // An output of -n has no name yet: it is told by its input, as below.
  warnUnwritten(namesOutputs() ? rinexFile.input : rinexFile.fileName);
  rinexFile.open = false;
  platform::abandon_unit(lfnRnx);
  if (namesOutputs()) {
    write_message_block(" ### PG KAVRIL: No messages to name the RINEX file by",
                        {{"File name  : ", rinexFile.input}, {"Name ID    : ", analyst->nameId}});
  } else {
    write_message_block(" ### PG KAVRIL: No messages written, RINEX file not written",
                        {{"File name  : ", rinexFile.fileName}});
  }
  report_temporary_files();
  forgetRinexFile();
}

// An output of -n refused its standard name (reported) is not written: its
// temporary file goes, and the run goes on with the next output and ends
// with status 1.
void passOverRefusedName() {
  rinexFile.open = false;
  platform::abandon_unit(lfnRnx);
  report_temporary_files();
  ++filesPassedOver;
  forgetRinexFile();
}

// Puts the complete RINEX file under its name, after the records held for
// its order; under the standard name with -n. Returns 0, an errno value,
// kNoRecords, or kNameRefused when the file cannot be named (reported here).
int commitRinex() {
  if (records && records->write_sorted([](const nav::OutputRecords::Held& held) {
        return writeRecord(held.sat, held.rinex);
      }) != 0) {
    const int ios = platform::write_out(lfnRnx);
    return ios != 0 ? ios : EIO;
  }
  if (navigation && navigation->decisions.write_held(writeNavigationRecord) != 0) {
    const int ios = platform::write_out(lfnRnx);
    return ios != 0 ? ios : EIO;
  }
  if (analyst != nullptr && rinexFile.recordCount == 0 && !platform::is_special_name(rinexFile.fileName))
    return kNoRecords;
  if (version->endFile != nullptr && !navigation) {
    if (const int ios = version->endFile(lfnRnx); ios != 0) return ios;
  }
  if (!namesOutputs()) {
    const int ios = platform::commit_unit(lfnRnx);
    if (ios == 0) warnUnwritten(rinexFile.fileName);
    return ios;
  }
  const std::string name = standardName();
  if (name.empty()) return kNoRecords;
  const char* refusal = is_file_of_the_run(name) ? "the standard name is a file of this run"
                        : !namedFiles.insert(platform::output_identity(name)).second
                            ? "an earlier output of this run has this name"
                            : nullptr;
  if (refusal != nullptr) {
    write_message_block(" *** PG KAVRIL: Standard name refused, RINEX file not written",
                        {{"File name  : ", name}, {"Reason     : ", refusal}});
    return kNameRefused;
  }
  const int ios = platform::commit_unit_as(lfnRnx, name);
  if (ios == platform::kLinkNotFollowed) {
    // Planted by another user: the output is passed over, as for a refused name.
    write_message_block(" *** PG KAVRIL: Cannot write RINEX file",
                        {{"File name  : ", name}, {"Reason     : ", platform::status_text(ios)}});
    return kNameRefused;
  }
  if (ios == 0) {
    platform::write_line(lfnPrint, " RINEX file named " + name);
    warnUnwritten(name);
  } else {
    rinexFile.fileName = name;
  }
  return ios;
}

// A RINEX file that holds only part of its messages is not kept: its
// temporary file goes, and its name keeps what it held before the run.
void abandonRinex() {
  rinexFile.open = false;
  if (platform::abandon_unit(lfnRnx))
    write_message_block(" ### PG KAVRIL: Incomplete RINEX file deleted", {{"File name  : ", rinexFile.fileName}});
  report_temporary_files();
}

// Termination step, before the exit steps: the RINEX file still open when a
// run stops. One that the stopping row wrote into, or whose write failed, is
// abandoned; a complete one (a later row stopped the run before switching to
// its own output) is put under its name. A RINEX file that could not be
// opened leaves the earlier file of its name, which is said.
void finishRinexAtExit(int irCode) {
  report_temporary_files();
  // (A link that is not followed holds no earlier file of the run's.)
  const std::string opening = openingOutput.empty() ? std::string() : resolved_file_name(openingOutput);
  if (!opening.empty() && platform::check_link_trust(opening) == 0 && platform::is_regular_file(opening)) {
    write_message_block(" ### PG KAVRIL: RINEX file not written, earlier file kept",
                        {{"File name  : ", platform::trim_right(openingOutput)}});
  }
  if (!rinexFile.open) return;
  if (irCode == 2 && rinexFile.incomplete) return abandonRinex();
  if (const int ios = commitRinex(); ios != 0) {
    if (ios == kNoRecords) return discardEmptyRinex();
    if (ios == kNameRefused) return passOverRefusedName();
    if (ios > 0 && !platform::unit_connected(lfnRnx)) return reportNotDurable(ios);
    if (ios > 0) reportWriteError(ios);
    abandonRinex();
  }
}

// Opens the RINEX file of `row` under `output` for writing whole, as the
// open file of the run (the one before it closed).
void openRinexFile(int row, const std::string& output) {
  close_rinex_output();
  int ios = 0;
  openingOutput = output;
  OPNFIL(lfnRnx, output, "REPLACE", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnRnx, ios, output, "KAVRIL");
  openingOutput.clear();
  report_temporary_files();
  const std::string fileName(platform::trim_right(platform::unit_file_name(lfnRnx)));
  rinexFile = RinexFile{true, output, fileName, platform::output_identity(fileName), true, 0,
                        std::string(platform::trim_right(platform::unit_file_name(lfnLocal)))};
  if (analyst != nullptr && (analyst->gzip || fileName.ends_with(".gz"))) platform::compress_unit_output(lfnRnx);
  if (!startedFiles.insert(rinexFile.identity).second) {
    write_message_block(" ### PG KAVRIL: RINEX file started again, earlier records replaced",
                        {{"File name  : ", rinexFile.fileName}, {"Row        : ", std::to_string(row)}});
  }
}

const std::string& programName() {
  static const std::string name = platform::fit("KAVRIL", 20);
  return name;
}

// The header of an output of a plan. Version 1 has comments only; 4.00
// holds the header's corrections as records after it.
void writeNavigationHeader(const NavigationPlan& plan, double firstEpoch) {
  if (plan.version == kVersion1) {
    std::vector<std::string> comments;
    for (const std::string& comment : plan.header.comments) comments.push_back(platform::fit(comment, kCommentLength));
    int irc = 0;
    version->writeHeader(lfnRnx, lfnError, programName(), agency, comments, irc);
    if (irc != 0) stopOnWriterFailure();
    return;
  }
  rinex::NavigationWriter& writer = navigation->writer.emplace(lfnRnx, plan.version, plan.system);
  if (writer.write_header(plan.header, programName(), agency, runUtc) != 0) stopOnWriterFailure();
  if (plan.version < 400) return;
  for (const rinex::Record& record : rinex::correction_records(plan.header, firstEpoch)) {
    if (writer.write(record) == rinex::NavigationWriter::Result::Failed) stopOnWriterFailure();
  }
}

}  // namespace

void begin_rinex_output(const RinexVersion& runVersion, std::string runAgency, const nav::Request* runAnalyst) {
  version = &runVersion;
  agency = std::move(runAgency);
  analyst = runAnalyst;
  exitCleanup = finishRinexAtExit;
}

bool continue_rinex_output(const std::string& output) {
  const bool continues = rinexFile.open && (platform::same_text(output, rinexFile.name) ||
                                            platform::output_identity(resolved_file_name(output)) ==
                                                rinexFile.identity);
  if (continues) rinexFile.incomplete = true;
  return continues;
}

void start_rinex_output(int row, const std::string& output, const std::string& title) {
  openRinexFile(row, output);
  if (decidesRecords()) records.emplace(analyst->selection);
  const std::array<std::string, 1> comment{platform::fit(title, kCommentLength)};
  int irc = 0;
  version->writeHeader(lfnRnx, lfnError, programName(), agency, comment, irc);
  if (irc != 0) stopOnWriterFailure();
}

void start_navigation_output(int row, const std::string& output, const NavigationPlan& plan, double firstEpoch) {
  openRinexFile(row, output);
  navigation.emplace(NavigationOutput{plan.version, plan.system, std::nullopt, nav::RecordDecisions(*analyst), {}});
  writeNavigationHeader(plan, firstEpoch);
}

bool rinex_output_leaves_out(int satNum) { return records && !analyst->selection.keeps_satellite(satNum); }

void write_rinex_record(int satNum, const RinexRecordArray& rinex, nav::InputCounts& counts) {
  if (navigation) {
    static rinex::Record record;
    nav::record_of_message(satNum, rinex, record);
    return write_navigation_record(record, counts);
  }
  if (!records) {
    ++counts.read;
    ++counts.written;
  } else if (records->take(satNum, rinex, counts) != nav::OutputRecords::Decision::Write) {
    return;
  }
  if (writeRecord(satNum, rinex) != 0) stopOnWriterFailure();
}

void write_navigation_record(const rinex::Record& record, nav::InputCounts& counts) {
  // A record the selection keeps but the version cannot write is counted as
  // such, not taken into the output's decisions (its system, its names).
  if (!holdsRecord(record) && analyst->records.keeps(record, rinex::gps_time(record))) {
    ++counts.read;
    ++counts.noForm;
    navigation->unwritten.add(record);
    return;
  }
  if (navigation->decisions.take(record, counts) != nav::RecordDecisions::Decision::Write) return;
  if (writeNavigationRecord(record) != 0) stopOnWriterFailure();
}

void end_rinex_row(bool written) {
  if (written) checkRinexWrites();
  rinexFile.incomplete = false;
}

// A failed write, sync, close or rename stops the run like a failed write, a
// failed sync of the folder as a file not made durable; a refused standard
// name passes the output over.
void close_rinex_output() {
  if (!rinexFile.open) return;
  if (const int ios = commitRinex(); ios != 0) {
    if (ios == kNoRecords) return discardEmptyRinex();
    if (ios == kNameRefused) return passOverRefusedName();
    if (platform::unit_connected(lfnRnx)) stopOnWriteError(ios);
    reportNotDurable(ios);
    EXITRC(2);
  }
  forgetRinexFile();
}

}  // namespace kavril

// A check run: every input read like a conversion reads it (a broadcast
// file, or a RINEX navigation file of any version), its table (or the JSON
// document of all) on standard output, and the picture of all of them in
// an SVG file; no RINEX file is written. Every output is
// checked: a write that failed ends the run with its reason, never as a
// success.
#include <string>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril::nav {

namespace {

// The checks so far: a stop on an input error still prints the JSON
// document, the file that stopped it marked incomplete.
std::vector<FileCheck> checks;
bool jsonWanted = false;
const int& lfnOut = lfnFirst;
// The name the output unit is opened under, for the message of a failure.
std::string outputName;

// Stops the run on a failed write of the output unit: its temporary file
// (a picture) is deleted, the earlier file kept.
[[noreturn]] void stop_on_output_error(int ios) {
  platform::abandon_unit(lfnOut);
  platform::write_line(lfnError, outputName + ": " + platform::status_text(ios));
  report_temporary_files();
  EXITRC(2);
}

// Puts the output unit's file under its name, or stops the run.
void commit_output() {
  if (const int ios = platform::commit_unit(lfnOut); ios != 0) stop_on_output_error(ios);
}

// Writes `text` out at once: a standard output that cannot take it stops
// the run before the next file is read.
void write_output(const std::string& text) {
  platform::write_text(lfnOut, text);
  if (const int ios = platform::write_out(lfnOut); ios != 0) stop_on_output_error(ios);
}

// The document of an input error's stop, where nothing has failed to write.
void finish_at_exit(int irCode) {
  if (irCode != 2 || !jsonWanted || !platform::unit_connected(lfnOut)) return;
  if (!checks.empty() && !checks.back().complete) checks.back().finish();
  platform::write_text(lfnOut, check_json(checks));
  platform::commit_unit(lfnOut);
}

// Opens `name` on the output unit for writing whole, or stops the run.
void open_output(const std::string& name) {
  int ios = 0;
  outputName = name;
  OPNFIL(lfnOut, name, "REPLACE", "FORMATTED", " ", " ", ios);
  report_temporary_files();
  OPNERR(lfnError, lfnOut, ios, name, "KAVRIL");
}

// Stops the run on a damaged RINEX file, as an input error of a broadcast
// file stops it: "FILE:LINE: reason", status 1.
[[noreturn]] void stop_on_damage(const std::string& input, const rinex::Damage& damage) {
  platform::write_line(lfnError, input + ":" + std::to_string(damage.line) + ": " + damage.reason);
  EXITRC(2);
}

void check_rinex_file(int lfn, FileCheck& check, const rinex::RecordSelection& selection) {
  rinex::NavigationReader reader(lfn);
  rinex::Header header;
  if (!reader.read_header(header)) stop_on_damage(check.name, reader.damage());
  check.version = header.version;
  if (!check_records(reader, check, selection)) stop_on_damage(check.name, reader.damage());
}

void check_file(const std::string& input, const Request& request) {
  // Looked at before it is opened: a RINEX file is known by its first lines.
  const bool rinexFile = rinex::is_navigation_input(input);
  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");
  FileCheck& check = checks.emplace_back();
  check.name = input;
  if (rinexFile) {
    check.rinexFile = true;
    check_rinex_file(lfnLocal, check, request.records);
  } else {
    std::string title;
    if (RDBTIT(lfnLocal, title)) check_messages(lfnLocal, check, request.selection);
  }
  platform::close_unit(lfnLocal);
  check.complete = true;
  check.finish();
}

// The picture may not replace a file of the run (find_files_of_the_run).
void refuse_plot_over_run_file(const std::string& plot) {
  const std::string* same = file_of_the_run(plot);
  if (same == nullptr) return;
  platform::write_line(lfnError, plot + ": not written: it would overwrite " + *same + ", a file of this run");
  EXITRC(2);
}

// --strict: one line per file with findings; status 2 when any has them.
void report_findings() {
  bool found = false;
  for (const FileCheck& check : checks) {
    const std::string findings = strict_findings(check);
    if (findings.empty()) continue;
    platform::write_line(lfnError, check.name + ": " + findings + " (--strict)");
    found = true;
  }
  if (found) platform::set_status_of_success(2);
}

}  // namespace

void run_check(const FileNameMatrix& files, int nFil, const Request& request, std::string_view standardOutput) {
  const std::string plot = request.plot == "-" ? std::string(standardOutput) : request.plot;
  const bool plotToStandardOutput = plot == standardOutput;
  if (!plot.empty()) refuse_plot_over_run_file(plot);
  jsonWanted = request.json;
  exitCleanup = finish_at_exit;
  if (!plotToStandardOutput) open_output(std::string(standardOutput));
  for (int row = 1; row <= nFil; ++row) {
    check_file(std::string(platform::trim_right(files.at(1, row))), request);
    if (!jsonWanted && !plotToStandardOutput) write_output(check_table(checks.back()));
  }
  jsonWanted = false;  // written here, or never
  if (request.json) write_output(check_json(checks));
  if (!plotToStandardOutput) commit_output();
  if (!plot.empty()) {
    open_output(plot);
    platform::write_text(lfnOut, check_svg(checks));
    commit_output();
  }
  exitCleanup = nullptr;
  if (request.strict) report_findings();
  EXITRC(0);
}

}  // namespace kavril::nav

// A check run: every broadcast file read like a conversion reads it, its
// table (or the JSON document of all) on standard output, and the picture
// of all of them in an SVG file; no RINEX file is written.
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

void write_json() {
  platform::write_text(lfnOut, check_json(checks));
  platform::commit_unit(lfnOut);
}

void finish_at_exit(int irCode) {
  if (irCode != 2 || !jsonWanted || !platform::unit_connected(lfnOut)) return;
  if (!checks.empty() && !checks.back().complete) checks.back().finish();
  write_json();
}

// Opens `name` on the output unit for writing whole, or stops the run.
void open_output(const std::string& name) {
  int ios = 0;
  OPNFIL(lfnOut, name, "REPLACE", "FORMATTED", " ", " ", ios);
  report_temporary_files();
  OPNERR(lfnError, lfnOut, ios, name, "KAVRIL");
}

// Puts the output unit's file under its name, or stops the run.
void commit_output(const std::string& name) {
  if (const int ios = platform::commit_unit(lfnOut); ios != 0) {
    platform::abandon_unit(lfnOut);
    platform::write_line(lfnError, name + ": " + platform::status_text(ios));
    report_temporary_files();
    EXITRC(2);
  }
}

void check_file(const std::string& input) {
  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");
  FileCheck& check = checks.emplace_back();
  check.name = input;
  std::string title;
  if (RDBTIT(lfnLocal, title)) check_messages(lfnLocal, check);
  platform::close_unit(lfnLocal);
  check.complete = true;
  check.finish();
}

// The picture may not replace a broadcast file of the run.
void refuse_plot_over_input(const FileNameMatrix& files, int nFil, const std::string& plot) {
  platform::FileId plotId, inputId;
  if (plot.empty() || !platform::existing_file_id(plot, plotId)) return;
  for (int row = 1; row <= nFil; ++row) {
    if (!platform::existing_file_id(files.at(1, row), inputId) || inputId != plotId) continue;
    platform::write_line(lfnError, plot + ": the picture would overwrite a broadcast file of this run");
    EXITRC(2);
  }
}

}  // namespace

void run_check(const FileNameMatrix& files, int nFil, const Request& request, std::string_view standardOutput) {
  refuse_plot_over_input(files, nFil, request.plot);
  jsonWanted = request.json;
  exitCleanup = finish_at_exit;
  open_output(std::string(standardOutput));
  for (int row = 1; row <= nFil; ++row) {
    check_file(std::string(platform::trim_right(files.at(1, row))));
    if (!jsonWanted) {
      platform::write_text(lfnOut, check_table(checks.back()));
      platform::write_out(lfnOut);
    }
  }
  if (jsonWanted) {
    write_json();
  } else {
    commit_output(std::string(standardOutput));
  }
  if (!request.plot.empty()) {
    open_output(request.plot);
    platform::write_text(lfnOut, check_svg(checks));
    commit_output(request.plot);
  }
  exitCleanup = nullptr;
  EXITRC(0);
}

}  // namespace kavril::nav

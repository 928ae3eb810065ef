// The choice between a keyword input file and a direct run; --help and
// --version alone, and the usage for a command line without an input file.
// Every argument that starts with "-" and is longer (before a "--") is an
// option, and any option makes a direct run. A command line without options
// names a keyword input file, as the package's menu passes it, only when its
// arguments joined with blanks name an existing file of text (or a pipe)
// that is not empty and not a broadcast file, or when "--" comes first;
// every other one is a direct run, whose inputs that cannot be read are
// reported one by one.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "pgm/pgm.h"
#include "platform/platform.h"
#include "rinex/rinex.h"
#include "sys/sys.h"

namespace kavril::cli {

std::optional<DirectRun> directRun;

namespace {

bool command_line_is_blank() {
  for (int i = 1; i <= platform::argument_count(); ++i) {
    if (!platform::is_blank(platform::argument(i))) return false;
  }
  return true;
}

bool holds_option() {
  for (int i = 1; i <= platform::argument_count(); ++i) {
    const std::string argument = platform::argument(i);
    if (argument == "--") return false;
    if (is_option(argument)) return true;
  }
  return false;
}

// Columns 12 to 14 of a satellite record: an integer other than 0.
constexpr std::size_t kSatelliteField = 11;
constexpr std::size_t kSatelliteLength = 3;

bool is_integer(std::string_view text) {
  int value = 0;
  const std::size_t first = text.find_first_not_of(' ');
  return first != std::string_view::npos && platform::parse_int(platform::trim_right(text.substr(first)), value);
}

// The second line of a broadcast file: a satellite record, columns 1 to 11
// blank or an integer (a message number), 12 to 14 a satellite number. A
// keyword file's second line starts with a keyword, never with a number.
bool is_satellite_record(std::string_view line) {
  if (line.size() <= kSatelliteField) return false;
  const std::string_view before = line.substr(0, kSatelliteField);
  if (!platform::is_blank(before) && !is_integer(before)) return false;
  int satellite = 0;
  const std::string_view field = platform::trim_right(line.substr(kSatelliteField, kSatelliteLength));
  const std::size_t first = field.find_first_not_of(' ');
  return first != std::string_view::npos && platform::parse_int(field.substr(first), satellite) && satellite != 0;
}

bool starts_with_number(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const std::size_t end = line.find_first_of(" \t,", first);
  double value = 0;
  return platform::parse_real(line.substr(first, end - first), value);
}

bool holds_messages(const platform::FileHead& head) {
  return head.lines.size() == 3 && is_satellite_record(head.lines[1]) && starts_with_number(head.lines[2]);
}

// A RINEX file counts, to be refused as a broadcast file with the reason.
bool is_broadcast_head(const platform::FileHead& head) {
  if (head.compressed) return true;
  if (!head.lines.empty() && is_rinex_first_line(head.lines[0])) return true;
  return holds_messages(head);
}

// A byte that no text holds: NUL, and the control characters other than the
// tab and the line and page ends.
bool holds_binary_data(const platform::FileHead& head) {
  for (const std::string& line : head.lines) {
    for (const char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\f' && c != '\v') || byte == 0x7f) return true;
    }
  }
  return false;
}

// A file of text that is no broadcast file: its second line opens no
// message, and a third line that holds more than blanks shows that it is no
// broadcast file without messages either (a title, an end record and blank
// lines). A title alone, or a message whose numbers are damaged, is for the
// conversion to judge.
bool is_other_text(const platform::FileHead& head) {
  return head.lines.size() == 3 && !is_satellite_record(head.lines[1]) && !platform::is_blank(head.lines[2]);
}

// The head of the file that the arguments of a command line without options
// name, as the door read it: a direct run judges that file by this reading,
// not by a second one that may tell otherwise.
std::string doorName;
platform::FileHead doorHead;

// A command line without options names a keyword input file when the
// arguments, joined as the keyword reader joins them, name a file of text
// that holds a line and is no broadcast file, or a pipe or a device, whose
// content cannot be looked at without taking it from the run.
bool names_keyword_file() {
  MYGETARG(doorName);
  if (!platform::read_file_head(doorName, 3, doorHead)) return doorHead.status == 0;
  return !doorHead.lines.empty() && !holds_binary_data(doorHead) && !is_broadcast_head(doorHead);
}

// Why an input of a direct run cannot be converted at all, as the end of its
// message line; empty when it can be tried (an empty file, a pipe, standard
// input, a file whose content the conversion judges).
std::string unreadable_input(const std::string& input) {
  if (input == kStandardStream) return {};
  platform::FileHead head;
  if (input == doorName) head = doorHead;
  else platform::read_file_head(input, 3, head);
  if (head.readError) {
    const std::string line = std::to_string(head.lines.size() + 1);
    return std::string(":").append(line).append(": cannot read: ").append(platform::status_text(head.status));
  }
  if (head.status != 0) return ": " + platform::status_text(head.status);
  if (is_broadcast_head(head) || rinex::is_navigation_input(input)) return {};
  return holds_binary_data(head) || is_other_text(head) ? ":1: not a broadcast file" : std::string();
}

// Inputs that cannot be converted at all (missing, a folder, unreadable,
// binary data, text that is no broadcast file) are each reported and left
// out when every input has an output of its own; the others are converted
// and the run ends with status 1. Nothing left: the run ends here. An input of a merged output (-o, -m,
// the picture of --plot) stops the run where it is converted, so that the
// output is not replaced by a merge without it.
void leave_out_unreadable_inputs(DirectRun& run) {
  if (!run.output.empty() || run.analyst.merge || !run.analyst.plot.empty()) return;
  std::vector<std::string> readable;
  for (std::string& input : run.brdFiles) {
    if (const std::string reason = unreadable_input(input); !reason.empty()) {
      platform::write_line(platform::kStdErr, "kavril: " + input + reason);
      ++filesPassedOver;
      continue;
    }
    readable.push_back(std::move(input));
  }
  if (readable.empty()) platform::exit_process(1);
  run.brdFiles = std::move(readable);
}

// A RINEX file other than a navigation file (observations, meteorological
// data) stops a direct run before its output names are weighed (its own
// name would be the RINEX name beside it). RINEX navigation files are
// inputs like broadcast files.
void refuse_other_rinex_inputs(const DirectRun& run) {
  if (run.analyst.check) return;  // the check reads RINEX navigation files
  for (const std::string& input : run.brdFiles) {
    platform::FileHead head;
    if (!platform::read_file_head(input, 1, head) || head.lines.empty() || !is_rinex_first_line(head.lines[0]))
      continue;
    if (rinex::is_navigation_input(input)) continue;
    platform::write_line(platform::kStdErr, "kavril: " + input + ":1: " + rinex_input_reason(head.lines[0]));
    platform::exit_process(1);
  }
}

[[noreturn]] void stop_on_usage_error(const std::string& error) {
  platform::write_line(platform::kStdErr, "kavril: " + error);
  platform::write_line(platform::kStdErr, "Try 'kavril --help'.");
  platform::exit_process(1);
}

// A direct run, or its answer to -h or -V.
void read_direct_run() {
  DirectRun run;
  std::string error;
  if (!parse_direct_run(run, error)) stop_on_usage_error(error);
  if (run.answer == 'h') write_help();
  if (run.answer == 'V') write_version();
  if (run.answer != 0) platform::exit_process(0);
  if (run.leapSeconds && !run.versionGiven &&
      std::none_of(run.brdFiles.begin(), run.brdFiles.end(), [](const std::string& input) {
        return rinex::is_navigation_input(input);
      }))
    stop_on_usage_error(std::string(kLeapSecondsWithout4));
  refuse_other_rinex_inputs(run);
  leave_out_unreadable_inputs(run);
  warn_repeated_inputs(run);
  directRun = std::move(run);
}

bool is_one_of(const std::string& argument, std::string_view shortName, std::string_view longName) {
  return argument == shortName || argument == longName;
}

}  // namespace

bool holds_broadcast_messages(const std::string& name) {
  platform::FileHead head;
  return platform::read_file_head(name, 3, head) && holds_messages(head);
}

bool is_option(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

void read_command_line() {
  directRun.reset();
  doorName.clear();
  const bool fileNameOnly = platform::argument_count() > 0 && platform::argument(1) == "--";
  if (fileNameOnly) platform::drop_first_argument();
  if (command_line_is_blank()) {
    write_short_usage();
    platform::exit_process(1);
  }
  if (fileNameOnly) return;
  const std::string first = platform::argument(1);
  if (platform::argument_count() == 1 && is_one_of(first, "-h", "--help")) {
    write_help();
    platform::exit_process(0);
  }
  if (platform::argument_count() == 1 && is_one_of(first, "-V", "--version")) {
    write_version();
    platform::exit_process(0);
  }
  if (holds_option() || first == kStandardStream || !names_keyword_file()) read_direct_run();
}

}  // namespace kavril::cli

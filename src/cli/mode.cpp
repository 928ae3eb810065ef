// The choice between a keyword input file and a direct run; --help and
// --version alone, and the usage for a command line without an input file.
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "platform/platform.h"

namespace kavril::cli {

std::optional<DirectRun> directRun;

namespace {

// Help and version make no direct run: with other arguments they are part of
// the name of a keyword input file, as ever.
bool makes_direct_run(const DirectOption& option) {
  return option.names.letter != 'h' && option.names.letter != 'V';
}

bool command_line_is_blank() {
  for (int i = 1; i <= platform::argument_count(); ++i) {
    if (!platform::is_blank(platform::argument(i))) return false;
  }
  return true;
}

bool holds_direct_option() {
  for (int i = 1; i <= platform::argument_count(); ++i) {
    if (is_direct_option(platform::argument(i))) return true;
  }
  return false;
}

[[noreturn]] void stop_on_usage_error(const std::string& error) {
  platform::write_line(platform::kStdErr, "kavril: " + error);
  write_short_usage();
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
  directRun = std::move(run);
}

bool is_one_of(const std::string& argument, std::string_view shortName, std::string_view longName) {
  return argument == shortName || argument == longName;
}

}  // namespace

// Letters may be grouped ("-qr3") and carry their value ("-r3"); a long name
// may carry it after "=" ("--rinex=3").
bool is_direct_option(std::string_view argument) {
  if (argument.starts_with("--")) {
    const std::string_view name = argument.substr(2, argument.find('=') - 2);
    for (const DirectOption& option : kDirectOptions) {
      if (name == option.names.longName) return makes_direct_run(option);
    }
    return false;
  }
  if (argument.size() < 2 || argument[0] != '-') return false;
  for (const DirectOption& option : kDirectOptions) {
    if (option.names.letter != 0 && argument[1] == option.names.letter) return makes_direct_run(option);
  }
  return false;
}

void read_command_line() {
  directRun.reset();
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
  if (holds_direct_option()) read_direct_run();
}

}  // namespace kavril::cli

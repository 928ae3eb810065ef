// The options and broadcast files of a direct run, checked before anything is
// opened: a faulty command line writes nothing. One row of kOptions per
// option; an option is taken into the run by the function of its row.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "pgm/pgm.h"

namespace kavril::cli {

namespace {

// File names are keyword values: longer ones would be cut.
constexpr std::size_t kMaxNameLength = kKeyValueLength;
constexpr std::size_t kMaxExtensionLength = 3;
constexpr std::size_t kMaxAgencyLength = 20;  // the header's field

std::string needs_value(std::string_view option, const std::string& value) {
  return value.empty() ? "option '" + std::string(option) + "' needs a value" : std::string();
}

std::string take_version(DirectRun& run, const std::string& value) {
  run.version = RXVNAM(value);
  run.versionGiven = true;
  return run.version == 0 ? "RINEX version must be " + rinex_version_names() + ": " + value : std::string();
}
std::string take_output(DirectRun& run, const std::string& value) {
  run.output = value;
  return needs_value("-o", value);
}
std::string take_folder(DirectRun& run, const std::string& value) {
  run.folder = value;
  return needs_value("-d", value);
}
std::string take_extension(DirectRun& run, const std::string& value) {
  run.extension = value;
  return value.size() > kMaxExtensionLength ? "extension longer than 3 characters: " + value : std::string();
}
std::string take_agency(DirectRun& run, const std::string& value) {
  run.agency = value;
  return value.size() > kMaxAgencyLength ? "agency longer than the 20 characters of the header: " + value
                                         : std::string();
}
std::string take_constants(DirectRun& run, const std::string& value) {
  run.constFile = value;
  return needs_value("-c", value);
}
// GPS-UTC leap seconds: whole seconds, as the header's I6 field holds them
// and as many as GPS time can plausibly gain.
constexpr int kMaxLeapSeconds = 99;
std::string take_leap_seconds(DirectRun& run, const std::string& value) {
  int seconds = 0;
  if (!platform::parse_int(value, seconds) || seconds < 0 || seconds > kMaxLeapSeconds)
    return "leap seconds must be a whole number from 0 to 99: " + value;
  run.leapSeconds = seconds;
  return {};
}
std::string take_quiet(DirectRun& run, const std::string&) {
  run.quiet = true;
  return {};
}
std::string take_help(DirectRun& run, const std::string&) {
  if (run.answer == 0) run.answer = 'h';
  return {};
}
std::string take_version_question(DirectRun& run, const std::string&) {
  if (run.answer == 0) run.answer = 'V';
  return {};
}

constexpr std::array kOptions{
    DirectOption{{'r', "rinex", true}, take_version},
    DirectOption{{'o', "output", true}, take_output},
    DirectOption{{'d', "dir", true}, take_folder},
    DirectOption{{'e', "ext", true}, take_extension},
    DirectOption{{'a', "agency", true}, take_agency},
    DirectOption{{'c', "const", true}, take_constants},
    DirectOption{{0, "leap-seconds", true}, take_leap_seconds},
    DirectOption{{'q', "quiet", false}, take_quiet},
    DirectOption{{'h', "help", false}, take_help},
    DirectOption{{'V', "version", false}, take_version_question},
};

// The rows of the table: the options above, then those of analyst_options.
const std::vector<DirectOption>& all_options() {
  static const std::vector<DirectOption> all = [] {
    std::vector<DirectOption> rows(kOptions.begin(), kOptions.end());
    rows.insert(rows.end(), kAnalystOptions.begin(), kAnalystOptions.end());
    return rows;
  }();
  return all;
}

std::vector<platform::CommandOption> option_names() {
  std::vector<platform::CommandOption> names;
  for (const DirectOption& option : all_options()) names.push_back(option.names);
  return names;
}

bool same_file(const std::string& a, const std::string& b) {
  platform::FileId idA, idB;
  return a == b || (platform::existing_file_id(a, idA) && platform::existing_file_id(b, idB) && idA == idB);
}

// One RINEX file per input: two inputs whose names are one file would merge
// into it (the same input twice is warned about instead).
std::string two_inputs_to_one_output(const DirectRun& run) {
  if (!run.output.empty()) return {};
  const std::vector<std::string>& inputs = run.brdFiles;
  std::vector<std::string> identities;
  for (const std::string& input : inputs) identities.push_back(platform::output_identity(rinex_name_of(run, input)));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (identities[i] == identities[j] && !same_file(inputs[i], inputs[j]))
        return inputs[j] + " and " + inputs[i] + " would both be written to " + rinex_name_of(run, inputs[i]);
    }
  }
  return {};
}

// An output (-o, the names made with -d or beside the inputs, --plot) that
// would replace a broadcast file: a switch taken for an option with a value
// (--plot) must not cost a day of data. An output that is one of the inputs
// is left to the driver, which names both.
std::string broadcast_output_error(const DirectRun& run) {
  std::vector<std::string> outputs{run.analyst.plot};
  for (const std::string& input : run.brdFiles) outputs.push_back(rinex_name_of(run, input));
  for (const std::string& output : outputs) {
    if (output.empty() || !holds_broadcast_messages(output)) continue;
    // Standard input (-) is the file it came from: /dev/stdin names it.
    const auto isInput = [&output](const std::string& input) {
      return same_file(input == kStandardStream ? std::string("/dev/stdin") : input, output);
    };
    if (std::none_of(run.brdFiles.begin(), run.brdFiles.end(), isInput))
      return output + ": is a broadcast file, not overwritten";
  }
  return {};
}

// What is wrong with the run as a whole, or nothing.
std::string whole_run_error(const DirectRun& run) {
  const std::size_t standardInputs = static_cast<std::size_t>(
      std::count(run.brdFiles.begin(), run.brdFiles.end(), kStandardStream) + (run.constFile == kStandardStream));
  if (run.brdFiles.empty()) return "no broadcast file given";
  if (run.leapSeconds && run.versionGiven && run.version != 4) return std::string(kLeapSecondsWithout4);
  if (!run.output.empty() && !run.folder.empty()) return "-o and -d cannot be given together";
  if (standardInputs > 1) return "standard input (-) given more than once";
  if (standardInputs == 1 && run.constFile != kStandardStream && !run.folder.empty())
    return "standard input (-) cannot go into a folder: use -o NAME";
  for (const std::string* name : {&run.output, &run.folder, &run.constFile}) {
    if (name->size() > kMaxNameLength) return "file name longer than 255 characters: " + *name;
  }
  // Room for the RINEX name made from it as well: folder, "/", "." and extension.
  const std::size_t added = run.output.empty() ? run.folder.size() + run.extension.size() + 2 : 0;
  for (const std::string& name : run.brdFiles) {
    if (name.size() + added <= kMaxNameLength) continue;
    // Name the RINEX name when it is the one too long.
    const std::string output = rinex_name_of(run, name);
    return "file name longer than 255 characters: " + (output.size() > kMaxNameLength ? output : name);
  }
  if (std::string error = broadcast_output_error(run); !error.empty()) return error;
  return two_inputs_to_one_output(run);
}

}  // namespace

void warn_repeated_inputs(const DirectRun& run) {
  const std::vector<std::string>& inputs = run.brdFiles;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (!same_file(inputs[i], inputs[j])) continue;
      platform::write_line(platform::kStdErr, "kavril: warning: " + inputs[i] + ": given twice");
      break;
    }
  }
}

const std::span<const DirectOption> kDirectOptions{all_options()};

bool parse_direct_run(DirectRun& run, std::string& error) {
  std::vector<platform::GivenOption> given;
  error.clear();
  if (!platform::parse_options(option_names(), given, run.brdFiles, error)) return false;
  for (const platform::GivenOption& option : given) {
    error = all_options()[option.index].take(run, option.value);
    if (!error.empty()) return false;
  }
  if (run.answer != 0) return true;
  error = whole_run_error(run);
  if (error.empty()) error = analyst_run_error(run);
  return error.empty();
}

}  // namespace kavril::cli

// The options and broadcast files of a direct run, checked before anything is
// opened: a faulty command line writes nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "pgm/pgm.h"

namespace kavril {

namespace {

// File names are keyword values: longer ones would be cut.
constexpr std::size_t kMaxNameLength = kKeyValueLength;
constexpr std::size_t kMaxExtensionLength = 3;
constexpr std::string_view kStandardStream = "-";

// Takes one option into `run`; false with `error` set when its value is bad.
bool take_option(const platform::GivenOption& option, DirectRun& run, std::string& error) {
  const bool needsText = option.letter == 'o' || option.letter == 'd' || option.letter == 'c';
  if (needsText && option.value.empty()) {
    error = std::string("option -") + option.letter + " needs a value";
    return false;
  }
  switch (option.letter) {
    case 'r':
      run.version = RXVNAM(option.value);
      if (run.version == 0) error = "RINEX version must be 1, 2, 3, 2.11 or 3.04: " + option.value;
      break;
    case 'o': run.output = option.value; break;
    case 'd': run.folder = option.value; break;
    case 'e':
      run.extension = option.value;
      if (run.extension.size() > kMaxExtensionLength) error = "extension longer than 3 characters: " + option.value;
      break;
    case 'a': run.agency = option.value; break;
    case 'c': run.constFile = option.value; break;
    case 'q': run.quiet = true; break;
    default:
      if (run.answer == 0) run.answer = option.letter;  // 'h' or 'V'
  }
  return error.empty();
}

// What is wrong with the run as a whole, or nothing.
std::string whole_run_error(const DirectRun& run) {
  const std::size_t standardInputs = static_cast<std::size_t>(
      std::count(run.brdFiles.begin(), run.brdFiles.end(), kStandardStream) + (run.constFile == kStandardStream));
  if (run.brdFiles.empty()) return "no broadcast file given";
  if (!run.output.empty() && !run.folder.empty()) return "-o and -d cannot be given together";
  if (standardInputs > 1) return "standard input (-) given more than once";
  if (standardInputs == 1 && run.constFile != kStandardStream && run.output.empty())
    return "standard input (-) needs -o NAME";
  for (const std::string* name : {&run.output, &run.folder, &run.constFile}) {
    if (name->size() > kMaxNameLength) return "file name longer than 255 characters: " + *name;
  }
  // Room for the RINEX name made from it as well: folder, "/", "." and extension.
  const std::size_t added = run.output.empty() ? run.folder.size() + run.extension.size() + 2 : 0;
  for (const std::string& name : run.brdFiles) {
    if (name.size() + added > kMaxNameLength) return "file name longer than 255 characters: " + name;
  }
  return {};
}

}  // namespace

bool DIROPT(DirectRun& run, std::string& error) {
  std::vector<platform::GivenOption> given;
  error.clear();
  if (!platform::parse_options(kDirectOptions, given, run.brdFiles, error)) return false;
  for (const platform::GivenOption& option : given) {
    if (!take_option(option, run, error)) return false;
  }
  if (run.answer != 0) return true;
  error = whole_run_error(run);
  return error.empty();
}

}  // namespace kavril

// The program's command line, kept for MYGETARG and read as options by
// parse_options.
#include <getopt.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

namespace {
std::vector<std::string>& arguments() {
  static std::vector<std::string> args;
  return args;
}

// The option string of getopt_long: "-" returns operands in their place
// (whatever POSIXLY_CORRECT says), ":" reports a missing value apart from an
// unknown option and keeps the parser from printing.
std::string short_options(std::span<const CommandOption> options) {
  std::string text = "-:";
  for (const CommandOption& option : options) {
    if (option.letter == 0) continue;
    text += option.letter;
    if (option.takesValue) text += ':';
  }
  return text;
}

// What getopt_long returns for an option of a long name only: a code past
// every letter, which tells the option's place in the table.
constexpr int kLongOnlyCode = 256;

std::vector<option> long_options(std::span<const CommandOption> options) {
  std::vector<option> table;
  for (std::size_t i = 0; i < options.size(); ++i) {
    const CommandOption& given = options[i];
    const int code = given.letter != 0 ? given.letter : kLongOnlyCode + static_cast<int>(i);
    table.push_back({given.longName, given.takesValue ? required_argument : no_argument, nullptr, code});
  }
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

// What was wrong with the option that getopt_long refused ('?' or ':'). A
// long option has always been passed over when it is refused, so that it is
// the argument before optind; an unknown letter may stand inside a group
// ("-qx") and is named by optopt. A known long name is refused only when it
// is given a value it does not take ("--quiet=2").
std::string refusal(int result, std::span<const CommandOption> options, const char* previous) {
  const std::string text = previous != nullptr ? previous : "";
  const std::string longName = text.substr(0, text.find('='));
  const bool isLong = text.starts_with("--");
  const std::string named = isLong ? longName : std::string{'-', static_cast<char>(optopt)};
  if (result == ':') return "option '" + named + "' needs a value";
  for (const CommandOption& option : options) {
    if (isLong && longName.substr(2) == option.longName) return "option '" + named + "' takes no value";
  }
  return "unknown option '" + named + "'";
}

// The place in `options` of the option getopt_long returned as `code`.
std::size_t option_index(int code, std::span<const CommandOption> options) {
  if (code >= kLongOnlyCode) return static_cast<std::size_t>(code - kLongOnlyCode);
  std::size_t i = 0;
  while (i + 1 < options.size() && options[i].letter != code) ++i;
  return i;
}
}  // namespace

void set_command_line(int argc, const char* const* argv) {
  auto& args = arguments();
  args.clear();
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
}

int argument_count() { return static_cast<int>(arguments().size()); }

std::string argument(int index) {
  const auto& args = arguments();
  if (index < 1 || index > static_cast<int>(args.size())) return {};
  return args[static_cast<std::size_t>(index - 1)];
}

void drop_first_argument() {
  auto& args = arguments();
  if (!args.empty()) args.erase(args.begin());
}

bool parse_options(std::span<const CommandOption> options, std::vector<GivenOption>& given,
                   std::vector<std::string>& operands, std::string& error) {
  given.clear();
  operands.clear();
  // getopt_long may reorder its argument vector: it works on copies.
  std::vector<std::string> copies{"kavril"};
  copies.insert(copies.end(), arguments().begin(), arguments().end());
  std::vector<char*> argv;
  for (std::string& copy : copies) argv.push_back(copy.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(copies.size());
  const std::string shortOptions = short_options(options);
  const std::vector<option> longOptions = long_options(options);

  opterr = 0;
  optind = 0;  // 0, not 1: the GNU parser then forgets the state of an earlier parse
  const auto next = [&] { return getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr); };
  for (int letter = next(); letter != -1; letter = next()) {
    if (letter == 1) {
      operands.emplace_back(optarg);
    } else if (letter == '?' || letter == ':') {
      error = refusal(letter, options, argv[static_cast<std::size_t>(optind - 1)]);
      return false;
    } else {
      given.push_back({option_index(letter, options), optarg != nullptr ? optarg : ""});
    }
  }
  for (int i = optind; i < argc; ++i) operands.emplace_back(argv[static_cast<std::size_t>(i)]);
  return true;
}

}  // namespace kavril::platform

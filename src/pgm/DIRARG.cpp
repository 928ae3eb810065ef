// Whether an argument of the command line is an option of a direct run, which
// makes the command line one. Letters may be grouped ("-qr3") and carry their
// value ("-r3"); a long name may carry it after "=" ("--rinex=3"). Help and
// version make no direct run: with other arguments they are part of the name
// of a keyword input file, as ever.
#include "pgm/pgm.h"

namespace kavril {

namespace {
bool makes_direct_run(const platform::CommandOption& option) { return option.letter != 'h' && option.letter != 'V'; }
}  // namespace

bool DIRARG(std::string_view argument) {
  if (argument.starts_with("--")) {
    const std::string_view name = argument.substr(2, argument.find('=') - 2);
    for (const platform::CommandOption& option : kDirectOptions) {
      if (name == option.longName) return makes_direct_run(option);
    }
    return false;
  }
  if (argument.size() < 2 || argument[0] != '-') return false;
  for (const platform::CommandOption& option : kDirectOptions) {
    if (argument[1] == option.letter) return makes_direct_run(option);
  }
  return false;
}

}  // namespace kavril

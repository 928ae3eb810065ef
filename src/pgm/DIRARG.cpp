// Whether an argument of the command line is an option of a direct run, which
// makes the command line one. Letters may be grouped ("-qr3") and carry their
// value ("-r3"); a long name may carry it after "=" ("--rinex=3").
#include "pgm/pgm.h"

namespace kavril {

bool DIRARG(std::string_view argument) {
  if (argument.starts_with("--")) {
    const std::string_view name = argument.substr(2, argument.find('=') - 2);
    for (const platform::CommandOption& option : kDirectOptions) {
      if (name == option.longName) return true;
    }
    return false;
  }
  if (argument.size() < 2 || argument[0] != '-') return false;
  for (const platform::CommandOption& option : kDirectOptions) {
    if (argument[1] == option.letter) return true;
  }
  return false;
}

}  // namespace kavril

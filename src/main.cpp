// kavril: converts broadcast navigation files into RINEX navigation files.
// Everything the run needs comes from the keyword input file named on the
// command line; a single argument --help or --version is answered instead.
#include "pgm/pgm.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  kavril::platform::open_standard_streams();
  kavril::platform::set_command_line(argc, argv);
  kavril::CMDOPT();
  kavril::KAVRIL();
}

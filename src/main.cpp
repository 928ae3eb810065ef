// kavril: converts broadcast navigation files into RINEX navigation files.
// The command line is a direct run (options and broadcast files) or names the
// keyword input file; a single argument --help or --version is answered
// instead.
#include <new>

#include "cli/cli.h"
#include "pgm/pgm.h"
#include "platform/platform.h"
#include "sys/sys.h"

int main(int argc, char** argv) {
  kavril::platform::open_standard_streams();
  kavril::platform::ignore_file_size_signal();
  try {
    kavril::keep_memory_for_stop();
    kavril::platform::set_command_line(argc, argv);
    kavril::cli::read_command_line();
    kavril::KAVRIL();
  } catch (const std::bad_alloc&) {
    kavril::stop_out_of_memory();
  }
}

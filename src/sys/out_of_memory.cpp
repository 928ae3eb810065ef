// The stop of a run that ran out of memory: a failed allocation anywhere
// (std::bad_alloc) ends the run with a message instead of an abort, without
// leaving a temporary file behind or an output half written under its name.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// Memory held back from the start and given back at the stop, so that the
// messages and the exit steps still find some. More than the C library
// takes from the system at a time when its heap cannot grow.
constexpr std::size_t kReserveBytes = std::size_t{4} << 20;

std::unique_ptr<char[]>& reserve() {
  static std::unique_ptr<char[]> memory;
  return memory;
}

}  // namespace

void keep_memory_for_stop() { reserve() = std::make_unique_for_overwrite<char[]>(kReserveBytes); }

void stop_out_of_memory() {
  static const platform::Layout kTitle("(/,A,/)");
  reserve().reset();
  // Nothing of the run is completed now: the outputs being written are
  // deleted, and the names keep their earlier files.
  exitCleanup = nullptr;
  platform::abandon_replacing_units();
  const std::string_view name = platform::trim_right(pgmNam);
  if (name.empty()) {  // before the run's report is set up: a plain line
    platform::write_line(platform::kStdErr, "kavril: out of memory");
    platform::exit_process(1);
  }
  kTitle.write(lfnError, {" *** PG " + std::string(name) + ": Out of memory"});
  report_temporary_files();
  EXITRC(2);
}

}  // namespace kavril

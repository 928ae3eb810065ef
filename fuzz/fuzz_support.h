// Shared pieces of the fuzz targets: a fatal stop of the program returns to
// the fuzzer, every input starts from the module state of a fresh run, and
// inputs reach the routines as files held in memory.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril::fuzz {

// The program stopped (EXITRC): an ordinary outcome for a fuzz input.
struct FatalStop {
  int status;
};

// Initial values of the module state. The keyword table is replaced rather
// than passed to INIT_INPKEY, which keeps its storage: an input must free
// what it allocated, or the fuzzer's leak check runs after every input.
inline void reset_run_state() {
  for (int lfn = 10; lfn <= 999; ++lfn) platform::close_unit(lfn);
  inpKey = t_inpkey{};
  lfnSysInp = 5;
  lfnPrint = 6;
  lfnError = 6;
  pgmNam.assign(8, ' ');  // without a program name EXIT_DEL deletes nothing
  menuAuxFile.clear();
  exitCleanup = nullptr;
}

// Runs `body` and puts the module state back to that of a fresh run; a fatal
// stop comes back here as a FatalStop thrown by the exit handler.
template <class Body>
void run_input(Body body) {
  static const bool handlerInstalled =
      (platform::set_exit_handler([](int status) { throw FatalStop{status}; }), true);
  (void)handlerInstalled;
  try {
    body();
  } catch (const FatalStop&) {
  }
  reset_run_state();
}

// A file in memory whose contents each input replaces; the routines open it
// by its name like any other file.
class MemoryFile {
 public:
  explicit MemoryFile(const char* label) : fd_(::memfd_create(label, 0)) {
    if (fd_ < 0) std::abort();
    name_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the contents by `data`; returns the file name.
  const std::string& hold(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0 ||
        ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) {
      std::abort();
    }
    return name_;
  }

 private:
  int fd_;
  std::string name_;
};

}  // namespace kavril::fuzz

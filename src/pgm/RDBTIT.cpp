// Reads the title line of a broadcast navigation file.
#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

// The title is columns 1 to 53 of the first line, blank-padded when shorter.
bool RDBTIT(int lfn, std::string& title) {
  thread_local std::string line;
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End: return false;
    case platform::ReadResult::Error: RDBERR(lfn, "The title line cannot be read");
    case platform::ReadResult::Ok: break;
  }
  platform::assign_fit(title, line, 53);
  return true;
}

}  // namespace kavril

// Reads the title line of a broadcast navigation file.
#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {
constexpr std::size_t kTitleLength = 53;
}  // namespace

// The title is columns 1 to 53 of the first line, blank-padded when shorter,
// copied as it is: it is text of the user's file, whatever its bytes.
bool RDBTIT(int lfn, std::string& title) {
  thread_local std::string line;
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End: return false;
    case platform::ReadResult::Error: stop_on_read_error(lfn, "PG KAVRIL");
    case platform::ReadResult::Ok: break;
  }
  platform::assign_fit(title, line, kTitleLength);
  return true;
}

}  // namespace kavril

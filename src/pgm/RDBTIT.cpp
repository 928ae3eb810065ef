// Reads the title line of a broadcast navigation file.
#include <algorithm>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

constexpr std::size_t kTitleLength = 53;

bool is_control(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

// The title is columns 1 to 53 of the first line, blank-padded when shorter.
// It becomes a comment line of the RINEX header, so a control character in
// it (a binary file, a file of NUL bytes) is an input error rather than
// something to copy into the header.
bool RDBTIT(int lfn, std::string& title) {
  thread_local std::string line;
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End: return false;
    case platform::ReadResult::Error: RDBERR(lfn, "The title line cannot be read");
    case platform::ReadResult::Ok: break;
  }
  platform::assign_fit(title, line, kTitleLength);
  const auto control = std::find_if(title.begin(), title.end(), is_control);
  if (control != title.end()) {
    const long column = (control - title.begin()) + 1;
    RDBERR(lfn, "Title line holds a control character in column" + platform::integer_text(column));
  }
  return true;
}

}  // namespace kavril

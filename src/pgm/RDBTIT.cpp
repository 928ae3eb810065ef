// Reads the title line of a broadcast navigation file.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {
constexpr std::size_t kTitleLength = 53;
constexpr std::size_t kLabelStart = 60;  // columns 61 to 80
constexpr std::size_t kLabelLength = 20;
}  // namespace

bool is_rinex_first_line(std::string_view line) {
  return line.size() > kLabelStart &&
         platform::trim_right(line.substr(kLabelStart, kLabelLength)) == "RINEX VERSION / TYPE";
}

std::string rinex_input_reason(std::string_view line) {
  constexpr std::size_t kTypeColumn = 20;  // column 21
  const char type = line.size() > kTypeColumn ? line[kTypeColumn] : ' ';
  std::string_view kind = "a RINEX file";
  if (type == 'N' || type == 'G' || type == 'H') kind = "a RINEX navigation file";
  if (type == 'O') kind = "a RINEX observation file";
  if (type == 'M') kind = "a RINEX meteorological file";
  return std::string(kind) + ", not a broadcast file";
}

// The title is columns 1 to 53 of the first line, blank-padded when shorter,
// copied as it is: it is text of the user's file, whatever its bytes.
bool RDBTIT(int lfn, std::string& title) {
  thread_local std::string line;
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End: return false;
    case platform::ReadResult::Error: stop_on_read_error(lfn, "PG KAVRIL");
    case platform::ReadResult::Ok: break;
  }
  if (is_rinex_first_line(line)) {
    // A direct run takes RINEX navigation files by name: their header and
    // first records are looked at before the output is opened, which a
    // stream read once cannot give.
    std::string reason = rinex_input_reason(line);
    if (platform::trim_right(platform::unit_file_name(lfn)) == "-" && reason.starts_with("a RINEX navigation file"))
      reason = "a RINEX navigation file on standard input: give it by its file name";
    RDBERR(lfn, reason);
  }
  platform::assign_fit(title, line, kTitleLength);
  return true;
}

}  // namespace kavril

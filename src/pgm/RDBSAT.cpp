// Reads the satellite record that opens a broadcast message.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {
constexpr std::size_t kFieldStart = 11;  // columns 12 to 14
constexpr std::size_t kFieldLength = 3;
constexpr int kFirstSatellite = 1;
constexpr int kLastSatellite = 99;
}  // namespace

// The satellite number stands in columns 12 to 14 as an integer with an
// optional sign; blanks and tabs inside the field are ignored and a blank
// field (also a blank or short line) reads as 0, which ends the messages. So
// does the end of the file, and so does a last line of blanks without a line
// end. But a last line without a line end that holds more than blanks and
// stops before column 14 (a message number, then the cut) is a file cut
// inside the record, an input error. Anything else in the field, and a number
// outside 1 to 99 other than 0, is an input error.
int RDBSAT(int lfn) {
  thread_local std::string line;
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End: return 0;
    case platform::ReadResult::Error: stop_on_read_error(lfn, "PG KAVRIL");
    case platform::ReadResult::Ok: break;
  }
  const std::string_view field =
      line.size() > kFieldStart ? std::string_view(line).substr(kFieldStart, kFieldLength) : "";
  char digits[kFieldLength];
  std::size_t length = 0;
  for (char c : field) {
    if (c != ' ' && c != '\t') digits[length++] = c;
  }
  if (length == 0) {
    // A blank field on a last line that stops short of column 14 without a
    // line end, after something other than blanks, is a file cut inside its
    // satellite record, not an end marker.
    if (line.size() < kFieldStart + kFieldLength && !platform::line_ended(lfn) &&
        line.find_first_not_of(" \t\r") != std::string::npos)
      RDBERR(lfn, "End of file inside a satellite record");
    return 0;
  }
  int satellite = 0;
  if (!platform::parse_int(std::string_view(digits, length), satellite)) {
    RDBERR(lfn, "Satellite number in columns 12 to 14 is not an integer: \"" + printable(field) + "\"");
  }
  // A RINEX record holds the number in two columns.
  if (satellite != 0 && (satellite < kFirstSatellite || satellite > kLastSatellite)) {
    RDBERR(lfn, "Satellite number in columns 12 to 14 not between 1 and 99: \"" + printable(field) + "\"");
  }
  return satellite;
}

}  // namespace kavril

// Next line of a keyword file that carries something: blank lines and
// comment lines ("#", "!" or "*" first) are passed over.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

namespace {

// More blank lines than this in a row end the keyword input.
constexpr int kMaxBlankLines = 1000;

bool is_comment(std::string_view line) {
  return !line.empty() && (line[0] == '#' || line[0] == '!' || line[0] == '*');
}

}  // namespace

std::string NEXTLINE(int lfn, int adjust) {
  static std::string buffer;  // reused, so that long lines allocate once
  int blankLines = 0;
  while (platform::read_line(lfn, buffer) == platform::ReadResult::Ok) {
    if (blankLines > kMaxBlankLines) return {};
    std::string_view line = std::string_view(buffer).substr(0, kKeyValueLength);
    if (adjust == 1) line.remove_prefix(std::min(line.size(), line.find_first_not_of(' ')));
    if (platform::is_blank(line)) {
      ++blankLines;
    } else if (!is_comment(line)) {
      return std::string(platform::trim_right(line));
    }
  }
  return {};
}

}  // namespace kavril

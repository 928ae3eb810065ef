// Next line of a keyword file that carries something: blank lines and
// comment lines ("#", "!" or "*" first) are passed over. Tabs count as
// blanks, as everywhere in free-format input. A read error stops the run:
// taken for the end of the file, it would drop the rest of the keywords
// without a word.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// More blank lines than this in a row end the keyword input.
constexpr int kMaxBlankLines = 1000;

bool is_comment(std::string_view line) {
  return !line.empty() && (line[0] == '#' || line[0] == '!' || line[0] == '*');
}

// The line without the blanks and tabs at its end.
std::string_view without_trailing_blanks(std::string_view line) {
  while (!line.empty() && platform::is_free_blank(line.back())) line.remove_suffix(1);
  return line;
}

}  // namespace

std::string NEXTLINE(int lfn, int adjust) {
  static std::string buffer;  // reused, so that long lines allocate once
  int blankLines = 0;
  platform::ReadResult result;
  while ((result = platform::read_line(lfn, buffer)) == platform::ReadResult::Ok) {
    if (blankLines > kMaxBlankLines) return {};
    std::string_view line = without_trailing_blanks(std::string_view(buffer).substr(0, kKeyValueLength));
    if (adjust == 1) {
      while (!line.empty() && platform::is_free_blank(line.front())) line.remove_prefix(1);
    }
    if (line.empty()) {
      ++blankLines;
    } else if (!is_comment(line)) {
      return std::string(line);
    }
  }
  if (result == platform::ReadResult::Error) stop_on_read_error(lfn, "SR READKEYS");
  return {};
}

}  // namespace kavril

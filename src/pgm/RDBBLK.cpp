// Reads a block of 20 free-format numbers of a broadcast message.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

// Reason for a token that cannot be read; long tokens are cut for the report.
std::string not_a_number(std::string_view token) {
  if (token.empty()) return "Empty value between two commas";
  constexpr std::size_t kShown = 80;
  std::string reason(platform::has_real_form(token) ? "Number beyond the range of double precision: "
                                                     : "Not a number: ");
  reason.append(1, '"').append(printable(token.substr(0, kShown))).append(1, '"');
  return reason;
}

}  // namespace

void read_block_line(int lfn, std::string& line, std::size_t count) {
  switch (platform::read_line(lfn, line)) {
    case platform::ReadResult::End:
      RDBERR(lfn, "End of file after" + platform::integer_text(static_cast<long long>(count)) +
                      " of the 20 numbers of a block");
    case platform::ReadResult::Error: stop_on_read_error(lfn, "PG KAVRIL");
    case platform::ReadResult::Ok: break;
  }
}

// The block starts on the line after the previous read and runs over as many
// lines as its 20 numbers need; whatever follows the 20th number on its line
// is not looked at. Numbers are separated by blanks, commas and line ends;
// anything that is not a plain number (repeat counts, empty values, a slash,
// NaN, Inf, hexadecimal, overflow) stops the run, as does the end of the file
// inside the block. The line buffer is reused, so a block allocates nothing.
void RDBBLK(int lfn, std::array<double, 20>& block) {
  thread_local std::string line;
  std::size_t count = 0;
  while (count < block.size()) {
    read_block_line(lfn, line, count);
    platform::NumberTokens tokens(line);
    std::string_view token;
    std::size_t read = 0;
    const platform::NumberTokens::Result result =
        tokens.next_reals(std::span<double>(block).subspan(count), read, token);
    if (result == platform::NumberTokens::Result::NotANumber) RDBERR(lfn, not_a_number(token));
    count += read;
  }
}

}  // namespace kavril

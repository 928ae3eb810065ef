// The message block about one line of the keyword file, shared by the
// reader's errors and the warnings about keywords: the same labels, so that
// every message about a keyword line reads alike.
#include <vector>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

void write_keyword_line_block(std::string_view first, std::string_view panel, std::string_view line,
                              long number, std::string_view hint) {
  static const platform::Layout kBlock("(/,A,/,A,A,/,A,A,/,A,A,/)");
  static const platform::Layout kBlockWithHint("(/,A,/,A,A,/,A,A,/,A,A,/,A,A,/)");
  // The free-format number without its leading blank.
  const std::string numberText = platform::integer_text(number).substr(1);
  const std::string shownLine = printable(platform::trim_right(line));
  std::vector<platform::Arg> args{first,
                                  "                 panel: ", platform::trim_right(panel),
                                  "                 line : ", shownLine,
                                  "                 at   : line ", numberText};
  if (hint.empty()) {
    kBlock.write(lfnError, args);
    return;
  }
  args.insert(args.end(), {"                 hint : ", hint});
  kBlockWithHint.write(lfnError, args);
}

}  // namespace kavril

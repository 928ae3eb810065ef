// The command line as one text: the arguments joined with single blanks, so
// that a path with blanks that the shell split up is put together again. The
// text is as long as the arguments make it: a file name is never cut.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

void MYGETARG(std::string& text) {
  std::string joined;
  for (int i = 1; i <= platform::argument_count(); ++i) {
    joined.resize(platform::trim_right(joined).size());
    joined += ' ';
    joined += platform::trim_right(platform::argument(i));
  }
  const std::size_t leading = joined.find_first_not_of(' ');
  joined.erase(0, std::min(joined.size(), leading));
  text = std::string(platform::trim_right(joined));
}

}  // namespace kavril

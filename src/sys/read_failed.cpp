// The one report of a file that opened but cannot be read to its end: the
// rest of the file would otherwise be lost without a word, or reported as
// a fault of its contents.
#include <string>

#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

void stop_on_read_error(int lfn, std::string_view who, int status) {
  static const platform::Layout kBlock("(/,A,A,A,3(/,16X,A,A),/)");
  const std::string linesRead = platform::integer_text(platform::line_number(lfn));
  kBlock.write(lfnError, {" *** ", who, ": Cannot read file",
                          "File name  : ", platform::trim_right(platform::unit_file_name(lfn)),
                          "Lines read : ", std::string_view(linesRead).substr(1),
                          "Reason     : ", platform::status_text(status != 0 ? status : platform::read_status(lfn))});
  EXITRC(2);
}

}  // namespace kavril

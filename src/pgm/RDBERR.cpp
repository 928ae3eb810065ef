// Input error report of the broadcast file readers.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {
const platform::Layout kInputError("(/,A,3(/,16X,A,A),/)");
}  // namespace

void RDBERR(int lfn, std::string_view reason) {
  const std::string lineNumber = platform::integer_text(platform::line_number(lfn));
  kInputError.write(lfnError, {" *** PG KAVRIL: Error reading broadcast file",
                               "File name  : ", platform::trim_right(platform::unit_file_name(lfn)),
                               "Line number: ", std::string_view(lineNumber).substr(1),
                               "Reason     : ", reason});
  EXITRC(2);
}

}  // namespace kavril

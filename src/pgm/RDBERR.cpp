// Input error reports of the broadcast and RINEX navigation file readers.
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

void stop_on_damaged_rinex(std::string_view file, const rinex::Damage& damage) {
  kInputError.write(lfnError, {" *** PG KAVRIL: Error reading RINEX navigation file", "File name  : ", file,
                               "Line number: ", std::to_string(damage.line), "Reason     : ", damage.reason});
  EXITRC(2);
}

}  // namespace kavril

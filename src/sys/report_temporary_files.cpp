// The notes of the unit layer about temporary files, as message blocks.
#include <string>

#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

void report_temporary_files() {
  static const platform::Layout kOne("(/,A,/,16X,A,A,/)");
  static const platform::Layout kTwo("(/,A,2(/,16X,A,A),/)");
  const std::string_view name = platform::trim_right(pgmNam);
  const std::string head = " ### PG " + std::string(name.empty() ? "KAVRIL" : name) + ": ";
  for (const platform::TemporaryFileNote& note : platform::take_temporary_file_notes()) {
    if (note.error == 0) {
      kOne.write(lfnError, {head + "Leftover temporary file deleted", "File name  : ", note.path});
    } else {
      kTwo.write(lfnError, {head + "Temporary file could not be deleted", "File name  : ", note.path,
                            "Reason     : ", platform::status_text(note.error)});
    }
  }
}

}  // namespace kavril

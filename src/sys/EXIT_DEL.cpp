// Exit step: deletes the files that the input file lists under DELETE_FILES.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// Deletes a file that no unit holds by opening it on lfnLocal and closing it
// with disposition delete. A file that opens neither way stays, silently.
void delete_through_local_unit(const std::string& name) {
  int ios = 0;
  OPNFIL(lfnLocal, name, "UNKNOWN", "UNFORMATTED", " ", " ", ios);
  if (ios != 0) OPNFIL(lfnLocal, name, "UNKNOWN", "FORMATTED", " ", " ", ios);
  if (ios == 0) platform::close_unit(lfnLocal, true);
}

}  // namespace

void EXIT_DEL() {
  // Without a registered program name the run never got far enough to own
  // any of the listed files.
  if (platform::is_blank(pgmNam)) return;

  for (int i = 0; i < inpKey.nDel && i < static_cast<int>(inpKey.delFil.size()); ++i) {
    const std::string& entry = inpKey.delFil[static_cast<std::size_t>(i)];
    // An unresolved variable: the name does not say which file is meant.
    if (entry.find('$') != std::string::npos || platform::is_blank(entry)) continue;

    platform::FileInquiry file;
    platform::inquire_file(platform::trim_right(entry), file);
    if (!file.exists) continue;
    if (file.connected) {
      platform::close_unit(file.unit, true);
    } else {
      delete_through_local_unit(entry);
    }
  }
}

}  // namespace kavril

#include "support/run_state.h"
#include "support/support.h"

#include <fcntl.h>
#include <unistd.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril::test {

void set_key_table(std::string_view inpFilNam, std::vector<KeyLine> keys,
                   std::vector<std::string> delFil) {
  inpKey = t_inpkey{};
  inpKey.inpFilNam = platform::fit(inpFilNam, kKeyValueLength);
  for (auto& line : keys) {
    t_key key;
    key.name = platform::fit(line.name, kKeyNameLength);
    key.value = std::move(line.values);
    key.hasValue = true;
    inpKey.keys.push_back(std::move(key));
  }
  inpKey.nKey = static_cast<int>(inpKey.keys.size());
  inpKey.delFil = std::move(delFil);
  inpKey.nDel = static_cast<int>(inpKey.delFil.size());
  inpKey.runPhase = 2;
}

void reset_run_state() {
  for (int lfn = 10; lfn <= 999; ++lfn) {
    if (platform::unit_connected(lfn)) platform::close_unit(lfn);
  }
  platform::flush_all();
  inpKey = t_inpkey{};
  lfnSysInp = 5;
  lfnPrint = 6;
  lfnError = 6;
  pgmNam = std::string(8, ' ');
  menuAuxFile.clear();
  exitCleanup = nullptr;
  platform::clear_special_names();
}

void messages_to(int unit, const std::string& path) {
  platform::open_unit(unit, path, platform::OpenStatus::Unknown, true, false);
  lfnError = unit;
}

std::string close_and_read(int unit, const std::string& path) {
  platform::close_unit(unit);
  return read_file(path);
}

void redirect_stdout(const std::string& path) {
  platform::flush_all();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
  }
}

}  // namespace kavril::test

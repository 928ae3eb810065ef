// The first lines of a file, read to tell what kind of file it is.
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

bool read_file_head(std::string_view name, std::size_t count, FileHead& head) {
  head = FileHead{};
  // Only a regular file: opening a pipe could wait for a writer, and reading
  // it would take its data from the run.
  struct stat info {};
  const std::string path(trim_right(name));
  if (is_special_name(path)) return false;
  if (::stat(path.c_str(), &info) != 0) {
    head.status = errno;
    return false;
  }
  if (S_ISDIR(info.st_mode)) head.status = EISDIR;
  if (!S_ISREG(info.st_mode)) return false;
  head.empty = info.st_size == 0;
  constexpr int kHeadUnit = kMaxUnit;
  if (const int status = open_unit(kHeadUnit, path, OpenStatus::Old, true, true); status != 0) {
    head.status = status;
    return false;
  }
  std::string line;
  ReadResult result = ReadResult::Ok;
  while (head.lines.size() < count && (result = read_line(kHeadUnit, line)) == ReadResult::Ok)
    head.lines.push_back(line);
  head.compressed = unit_compressed(kHeadUnit);
  head.readError = result == ReadResult::Error;
  if (head.readError) head.status = read_status(kHeadUnit);
  close_unit(kHeadUnit);
  return !head.readError;
}

}  // namespace kavril::platform

// Names that stand for standard input and output, or for a text built into
// the program, in a run from options and broadcast files.
#include "platform/platform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace kavril::platform {

namespace {

struct SpecialNames {
  std::string input;
  std::string output;
  std::string textName;
  std::string_view text;
  std::vector<std::string> namedAtCommit;
};

SpecialNames& names() {
  static SpecialNames special;
  return special;
}

// A read-only view of the text through a descriptor of an anonymous memory
// file, so that the unit reads it like any file.
SpecialOpen open_text(std::string_view text) {
  const int fd = ::memfd_create("kavril-text", MFD_CLOEXEC);
  if (fd < 0) return {true, -1, false, last_error()};
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = last_error();
      ::close(fd);
      return {true, -1, false, error};
    }
    done += static_cast<std::size_t>(n);
  }
  if (::lseek(fd, 0, SEEK_SET) < 0) {
    const int error = last_error();
    ::close(fd);
    return {true, -1, false, error};
  }
  return {true, fd, false, 0};
}

SpecialOpen open_stream(int streamFd) {
  const int fd = ::fcntl(streamFd, F_DUPFD_CLOEXEC, 3);
  if (fd < 0) return {true, -1, true, last_error()};
  return {true, fd, true, 0};
}

}  // namespace

void set_standard_stream_names(std::string_view input, std::string_view output) {
  names().input = trim_right(input);
  names().output = trim_right(output);
}

void set_builtin_text(std::string_view name, std::string_view text) {
  names().textName = trim_right(name);
  names().text = text;
}

void clear_special_names() { names() = SpecialNames{}; }

void name_at_commit(std::string_view name) { names().namedAtCommit.emplace_back(trim_right(name)); }

bool is_named_at_commit(std::string_view name) {
  const std::string_view given = trim_right(name);
  for (const std::string& marked : names().namedAtCommit)
    if (!given.empty() && given == marked) return true;
  return false;
}

bool is_special_name(std::string_view name) {
  const std::string_view given = trim_right(name);
  return !given.empty() && (given == names().input || given == names().output || given == names().textName);
}

int standard_stream_of(std::string_view name) {
  const std::string_view given = trim_right(name);
  if (given.empty()) return -1;
  if (given == names().input) return STDIN_FILENO;
  if (given == names().output) return STDOUT_FILENO;
  return -1;
}

SpecialOpen open_special_name(const std::string& name, OpenStatus status, bool readOnly) {
  if (!is_special_name(name)) return {};
  const bool reading = readOnly || status == OpenStatus::Old;
  const int stream = standard_stream_of(name);
  if (stream == STDOUT_FILENO && !reading && standard_output_closed_at_start()) return {true, -1, false, EBADF};
  if (stream == STDIN_FILENO && reading && standard_input_closed_at_start()) return {true, -1, false, EBADF};
  if (stream == (reading ? STDIN_FILENO : STDOUT_FILENO)) return open_stream(stream);
  // Standard input is not written, standard output and the text are not read
  // (nor written).
  if (stream >= 0 || !reading) return {true, -1, false, stream >= 0 ? EBADF : EROFS};
  return open_text(names().text);
}

}  // namespace kavril::platform

// Logical units: buffered sequential text files on POSIX file descriptors.
//
// A unit behaves like a sequential file: reading goes from the start (or the
// rewind) forward; the first write after an open, a rewind or some reads cuts
// the file at the current position, so the file ends after the last record
// written. Units 5 and 6 are standard input and output until a file is opened
// on them; closing them only flushes (and returns them to the standard
// stream).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

int last_error() { return errno != 0 ? errno : EIO; }

namespace {

// A name that stands for a stream or a text, or for an output named at its
// commit: no file of the file system.
bool is_no_file(std::string_view name) { return is_special_name(name) || is_named_at_commit(name); }

constexpr std::size_t kBufferSize = 1 << 16;

enum class Mode { Idle, Reading, Writing };

struct Unit {
  int fd = -1;
  bool standard = false;   // fd 0, 1 or 2, never closed
  bool readable = false;
  bool writable = false;
  int writeDenied = 0;     // errno remembered when read-write access fell back to read-only
  int firstError = 0;      // first write error, returned by close_unit
  std::string name;        // as given at open (trailing blanks removed)
  bool scratch = false;
  // A regular file: only such a file is ever deleted with its unit (deleting a
  // device such as /dev/null opened under its name would break it for every
  // program of the machine).
  bool regular = false;
  bool special = false;    // opened under a special name: never rewound, cut or deleted
  dev_t dev = 0;
  ino_t ino = 0;
  Mode mode = Mode::Idle;
  long lineNumber = 0;
  bool atEnd = false;
  bool lineEnded = false;  // the line read last had its line end
  // Read buffer: bytes [readPos, readEnd) are read from the file but not yet used.
  std::unique_ptr<char[]> readBuffer;
  std::size_t readPos = 0, readEnd = 0;
  std::string writeBuffer;
  Replacement replacement;  // the temporary file of a Replace unit
  bool headRead = false;    // the first bytes were read: a compressed file is known
  GzipReaderPtr gzip;       // the decompression of a compressed file
  int readStatus = 0;       // why the last read failed
  LineSink sink = nullptr;  // takes the lines written instead of a file
  std::unique_ptr<GzipDeflater> deflater;  // compresses what the unit writes
};

class UnitTable {
 public:
  UnitTable() : units_(kMaxUnit + 1) {
    reset_standard(kStdErr);
    reset_standard(kStdIn);
    reset_standard(kStdOut);
  }
  // Flushes on normal process end (return from main, std::exit).
  ~UnitTable() { flush_every_unit(); }

  Unit* find(int unit) {
    if (unit < 0 || unit > kMaxUnit) return nullptr;
    return units_[static_cast<std::size_t>(unit)].get();
  }
  std::unique_ptr<Unit>& slot(int unit) {
    used_ = std::max(used_, static_cast<std::size_t>(unit) + 1);
    return units_[static_cast<std::size_t>(unit)];
  }

  void reset_standard(int unit) {
    auto u = std::make_unique<Unit>();
    u->standard = true;
    u->fd = unit == kStdIn ? STDIN_FILENO : unit == kStdOut ? STDOUT_FILENO : STDERR_FILENO;
    u->readable = unit == kStdIn;
    u->writable = unit != kStdIn;
    slot(unit) = std::move(u);
  }

  void flush_every_unit();
  // Visits the connected units in the order of their numbers. The empty
  // slots at the top are dropped first: a unit of a high number used once
  // (the file-head probe's) must not make every later visit walk them all.
  template <class F>
  void for_each(F f) {
    while (used_ > 0 && !units_[used_ - 1]) --used_;
    for (std::size_t i = 0; i < used_; ++i)
      if (units_[i]) f(static_cast<int>(i), *units_[i]);
  }

 private:
  std::vector<std::unique_ptr<Unit>> units_;
  std::size_t used_ = 0;  // no unit at or above this number is connected
};

UnitTable& table() {
  static UnitTable units;
  return units;
}

// Writes all of [data, data+size) to fd; returns 0 or errno.
int write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Writes bytes of the unit to its descriptor, through the compression when
// the unit has one.
int emit(Unit& u, const char* data, std::size_t size, bool finish = false) {
  if (!u.deflater) return write_all(u.fd, data, size);
  thread_local std::string compressed;
  compressed.clear();
  if (const int rc = u.deflater->deflate(data, size, finish, compressed); rc != 0) return rc;
  return write_all(u.fd, compressed.data(), compressed.size());
}

int flush_unit(Unit& u) {
  if (u.writeBuffer.empty()) return 0;
  const int rc = emit(u, u.writeBuffer.data(), u.writeBuffer.size());
  u.writeBuffer.clear();
  if (rc != 0 && u.firstError == 0) u.firstError = rc;
  return rc;
}

void UnitTable::flush_every_unit() {
  for (auto& u : units_)
    if (u) flush_unit(*u);
}

// Prepares a unit for writing: the file is cut where reading stopped (at its
// start after an open or a rewind).
int begin_writing(Unit& u) {
  if (!u.writable) return u.writeDenied != 0 ? u.writeDenied : EBADF;
  if (u.standard && u.fd == STDOUT_FILENO && standard_output_closed_at_start()) return EBADF;
  if (u.mode == Mode::Writing) return 0;
  if (u.gzip) return EBADF;  // a compressed file is only read
  if (!u.standard && !u.special) {
    off_t position = 0;
    if (u.mode == Mode::Reading) {
      position = ::lseek(u.fd, 0, SEEK_CUR);
      if (position < 0) return last_error();
      position -= static_cast<off_t>(u.readEnd - u.readPos);
    }
    if (::lseek(u.fd, position, SEEK_SET) < 0) return last_error();
    struct stat info {};
    if (::fstat(u.fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(u.fd, position) != 0)
      return last_error();
  }
  u.readPos = u.readEnd = 0;
  u.mode = Mode::Writing;
  return 0;
}

// Remembers and returns the status of a write. Standard error is written
// through, as in C: the lines that several units write to it keep their
// order, and none waits in a buffer.
int note_write(Unit& u, int rc) {
  if (rc == 0 && u.fd == STDERR_FILENO) rc = flush_unit(u);
  if (rc != 0 && u.firstError == 0) u.firstError = rc;
  return rc != 0 ? rc : u.firstError;
}

int put_bytes(Unit& u, const char* data, std::size_t size) {
  if (u.writeBuffer.capacity() < kBufferSize) u.writeBuffer.reserve(kBufferSize);
  if (u.writeBuffer.size() + size > kBufferSize) {
    if (const int rc = flush_unit(u); rc != 0) return rc;
    if (size >= kBufferSize) return emit(u, data, size);
  }
  u.writeBuffer.append(data, size);
  return 0;
}

ssize_t read_some(int fd, char* data, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

// The first bytes of a file, enough to know whether it is compressed (a pipe
// may hand them over one at a time). Returns their count or -1.
ssize_t read_head(Unit& u) {
  std::size_t size = 0;
  for (;;) {
    const ssize_t n = read_some(u.fd, u.readBuffer.get() + size, kBufferSize - size);
    if (n < 0) return -1;
    size += static_cast<std::size_t>(n);
    if (n == 0 || size >= 2 || u.readBuffer[0] != '\x1f') return static_cast<ssize_t>(size);
  }
}

// Refills the read buffer; returns the number of bytes read, 0 at the end, -1
// on error (readStatus says why).
ssize_t refill(Unit& u) {
  if (!u.readBuffer) u.readBuffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
  ssize_t n = 0;
  if (u.gzip) {
    n = read_gzip(*u.gzip, u.readBuffer.get(), kBufferSize, u.readStatus);
  } else if (!u.headRead) {
    u.headRead = true;
    n = read_head(u);
    if (n > 0 && starts_gzip(u.readBuffer.get(), static_cast<std::size_t>(n))) {
      u.gzip = start_gzip(u.fd, u.readBuffer.get(), static_cast<std::size_t>(n));
      if (!u.gzip) errno = ENOMEM;
      n = u.gzip ? read_gzip(*u.gzip, u.readBuffer.get(), kBufferSize, u.readStatus) : -1;
    }
  } else {
    n = read_some(u.fd, u.readBuffer.get(), kBufferSize);
  }
  if (n < 0 && !u.gzip) u.readStatus = last_error();
  u.readPos = 0;
  u.readEnd = n > 0 ? static_cast<std::size_t>(n) : 0;
  return n;
}

int open_flags(OpenStatus status, bool readWrite) {
  int flags = (readWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (status == OpenStatus::New) flags |= O_CREAT | O_EXCL;
  if (status == OpenStatus::Unknown) flags |= O_CREAT;
  return flags;
}

// Opens a named file; sets `writeDenied` when read-write access had to fall
// back to read-only. Returns the descriptor or -errno.
int open_named(const std::string& name, OpenStatus status, bool readOnly, int& writeDenied) {
  writeDenied = 0;
  if (name.find('\0') != std::string::npos) return -EINVAL;
  // Through a link that is not followed nothing is written or created; an
  // existing file behind it may still be read.
  const int untrusted = readOnly ? 0 : check_link_trust(name);
  if (untrusted != 0 && status != OpenStatus::Old) return -untrusted;
  int fd = untrusted != 0 ? -1 : ::open(name.c_str(), open_flags(status, !readOnly), 0666);
  if (fd >= 0 || readOnly) return fd >= 0 ? fd : -last_error();
  const int denied = untrusted != 0 ? untrusted : last_error();
  if (denied != EACCES && denied != EROFS && denied != kLinkNotFollowed) return -denied;
  // Not writable: an existing file may still be read.
  const OpenStatus existing = status == OpenStatus::New ? OpenStatus::New : OpenStatus::Old;
  fd = ::open(name.c_str(), open_flags(existing, false), 0666);
  if (fd < 0) return -denied;
  writeDenied = denied;
  return fd;
}

// A new version of `name` written whole, or in place where it holds no
// earlier file (a device, a pipe).
int open_replacing(Unit& u, int& fd) {
  if (const int rc = begin_replacement(u.name, u.replacement, fd); rc != 0) return rc;
  if (fd >= 0) return 0;
  fd = open_named(u.name, OpenStatus::Unknown, false, u.writeDenied);
  if (fd < 0) return -fd;
  if (u.writeDenied == 0) return 0;
  ::close(fd);
  fd = -1;
  return u.writeDenied;
}

// The type bits of the existing file `path` (links followed), 0 when there
// is none.
mode_t file_type(const std::string& path) {
  struct stat info {};
  if (path.empty() || path.find('\0') != std::string::npos || ::stat(path.c_str(), &info) != 0) return 0;
  return info.st_mode & S_IFMT;
}

int open_scratch(int& fd) {
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
  pattern += "/kavril-XXXXXX";
  fd = ::mkstemp(pattern.data());
  if (fd < 0) return last_error();
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  ::unlink(pattern.c_str());
  return 0;
}

// Text written to a unit that is not connected goes to standard error, so
// that it is never lost without a trace (a message written before its file
// is open would otherwise vanish). Standard error because standard output
// may be the program output, whose fixed layout it must not break, while
// standard error is seen on a terminal and kept in batch logs alike. The
// program output is written out first, so that both keep their order where
// they meet. The caller still learns that the unit was not connected.
int write_unconnected(std::string_view text, bool lineEnd) {
  if (Unit* out = table().find(kStdOut); out != nullptr) flush_unit(*out);
  constexpr int kStdErrFd = 2;
  write_all(kStdErrFd, text.data(), text.size());
  if (lineEnd) write_all(kStdErrFd, "\n", 1);
  return EBADF;
}

}  // namespace

int open_unit(int unit, std::string_view name, OpenStatus status, bool formatted, bool readOnly) {
  (void)formatted;  // text and unformatted files are opened alike
  if (unit < 0 || unit > kMaxUnit) return EBADF;
  close_unit(unit, false);
  auto u = std::make_unique<Unit>();
  u->name = std::string(trim_right(name));
  int fd = -1;
  if (const SpecialOpen special = open_special_name(u->name, status, readOnly); special.special) {
    if (special.fd < 0) return special.error;
    fd = special.fd;
    u->special = true;
    readOnly = readOnly || !special.stream;  // a built-in text is only read
  } else if (status == OpenStatus::Scratch) {
    if (const int rc = open_scratch(fd); rc != 0) return rc;
    u->scratch = true;
  } else if (status == OpenStatus::Replace) {
    if (const int rc = open_replacing(*u, fd); rc != 0) return rc;
  } else {
    // A pipe or a device is read, never written, as an existing input.
    const mode_t type = status == OpenStatus::Old && !readOnly ? file_type(u->name) : 0;
    if (type != 0 && !S_ISREG(type) && !S_ISDIR(type)) readOnly = true;
    fd = open_named(u->name, status, readOnly, u->writeDenied);
    if (fd < 0) return -fd;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int rc = S_ISDIR(info.st_mode) ? EISDIR : last_error();
    ::close(fd);
    if (status == OpenStatus::New) ::unlink(u->name.c_str());
    discard_replacement(u->replacement);
    return rc;
  }
  u->fd = fd;
  u->regular = S_ISREG(info.st_mode);
  u->dev = info.st_dev;
  u->ino = info.st_ino;
  u->readable = true;
  u->writable = !readOnly && u->writeDenied == 0;
  if (readOnly) u->writeDenied = EBADF;
  table().slot(unit) = std::move(u);
  return 0;
}

ReadResult read_line(int unit, std::string& line) {
  Unit* u = table().find(unit);
  line.clear();
  if (u == nullptr || !u->readable || u->mode == Mode::Writing) {
    if (u != nullptr) u->readStatus = EBADF;
    return ReadResult::Error;
  }
  u->mode = Mode::Reading;
  if (u->atEnd) return ReadResult::End;
  bool any = false;
  u->lineEnded = false;
  for (;;) {
    if (u->readPos == u->readEnd) {
      const ssize_t n = refill(*u);
      if (n < 0) return ReadResult::Error;
      if (n == 0) {
        u->atEnd = true;
        if (!any) return ReadResult::End;
        // Last line without a line end; a "\r" there is the line end of a
        // file cut between "\r" and "\n".
        if (!line.empty() && line.back() == '\r') line.pop_back();
        break;
      }
    }
    const char* start = u->readBuffer.get() + u->readPos;
    const std::size_t available = u->readEnd - u->readPos;
    const void* newline = std::memchr(start, '\n', available);
    any = true;
    if (newline == nullptr) {
      // A file without line ends (a device such as /dev/zero) must not
      // fill the memory: such a line is a read error of its own.
      if (line.size() + available > kMaxLineLength + 1) {
        u->readStatus = kLineTooLong;
        return ReadResult::Error;
      }
      line.append(start, available);
      u->readPos = u->readEnd;
      continue;
    }
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
    line.append(start, length);
    u->readPos += length + 1;
    u->lineEnded = true;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    break;
  }
  if (line.size() > kMaxLineLength) {
    u->readStatus = kLineTooLong;
    return ReadResult::Error;
  }
  ++u->lineNumber;
  return ReadResult::Ok;
}

bool line_ended(int unit) {
  const Unit* u = table().find(unit);
  return u != nullptr && u->lineEnded;
}

long line_number(int unit) {
  const Unit* u = table().find(unit);
  return u != nullptr ? u->lineNumber : 0;
}

bool unit_compressed(int unit) {
  const Unit* u = table().find(unit);
  return u != nullptr && u->gzip != nullptr;
}

int read_status(int unit) {
  const Unit* u = table().find(unit);
  return u != nullptr && u->readStatus != 0 ? u->readStatus : EBADF;
}

int make_rewindable(int unit) {
  Unit* u = table().find(unit);
  if (u == nullptr || !u->readable || u->mode != Mode::Idle) return EBADF;
  if (u->standard || ::lseek(u->fd, 0, SEEK_CUR) >= 0) return 0;
  if (errno != ESPIPE) return last_error();
  int copy = -1;
  if (const int rc = open_scratch(copy); rc != 0) return rc;
  int rc = 0;
  for (ssize_t n = 0; rc == 0 && (n = refill(*u)) != 0;)
    rc = n < 0 ? u->readStatus : write_all(copy, u->readBuffer.get(), static_cast<std::size_t>(n));
  u->readPos = u->readEnd = 0;
  if (rc == 0 && ::lseek(copy, 0, SEEK_SET) < 0) rc = last_error();
  if (rc != 0) {
    ::close(copy);
    return rc;
  }
  ::close(u->fd);
  u->fd = copy;
  // The copy holds the text itself (a compressed stream was read through).
  u->gzip.reset();
  u->headRead = false;
  return 0;
}

int write_line(int unit, std::string_view text) {
  Unit* u = table().find(unit);
  if (u == nullptr) return write_unconnected(text, true);
  if (u->sink != nullptr) {
    u->sink(text);
    return 0;
  }
  if (const int rc = begin_writing(*u); rc != 0) return note_write(*u, rc);
  int rc = put_bytes(*u, text.data(), text.size());
  if (rc == 0) rc = put_bytes(*u, "\n", 1);
  return note_write(*u, rc);
}

int write_text(int unit, std::string_view text) {
  Unit* u = table().find(unit);
  if (u == nullptr) return write_unconnected(text, !text.empty() && text.back() != '\n');
  if (text.empty()) return 0;
  if (u->sink != nullptr) {
    if (text.back() == '\n') text.remove_suffix(1);
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1))
      u->sink(text.substr(0, end));
    u->sink(text);
    return 0;
  }
  if (const int rc = begin_writing(*u); rc != 0) return note_write(*u, rc);
  int rc = put_bytes(*u, text.data(), text.size());
  if (rc == 0 && text.back() != '\n') rc = put_bytes(*u, "\n", 1);
  return note_write(*u, rc);
}

int rewind_unit(int unit) {
  Unit* u = table().find(unit);
  if (u == nullptr) return EBADF;
  int rc = flush_unit(*u);
  if (!u->standard && ::lseek(u->fd, 0, SEEK_SET) < 0 && rc == 0) rc = last_error();
  u->mode = Mode::Idle;
  u->atEnd = false;
  u->readPos = u->readEnd = 0;
  u->lineNumber = 0;
  u->headRead = false;
  u->gzip.reset();
  return rc;
}

int close_unit(int unit, bool deleteFile) {
  Unit* u = table().find(unit);
  if (u == nullptr) return unit < 0 || unit > kMaxUnit ? EBADF : 0;
  flush_unit(*u);
  int rc = u->firstError;
  u->firstError = 0;
  if (u->sink != nullptr) u->sink({});  // an end of its lines, as a blank line is
  if (u->standard) return rc;
  if (!u->replacement.tempPath.empty()) {
    // Only commit_unit puts the file under its name.
    if (u->fd >= 0 && ::close(u->fd) != 0 && rc == 0) rc = last_error();
    discard_replacement(u->replacement);
    table().slot(unit).reset();
    return rc;
  }
  const bool deletable = deleteFile && !u->scratch && !u->special && u->regular;
  if (deleteFile && !u->scratch && !deletable && rc == 0) rc = EPERM;
  if (::close(u->fd) != 0 && rc == 0) rc = last_error();
  if (deletable && ::unlink(u->name.c_str()) != 0 && rc == 0) rc = last_error();
  if (unit == kStdIn || unit == kStdOut || unit == kStdErr)
    table().reset_standard(unit);
  else
    table().slot(unit).reset();
  return rc;
}

bool unit_connected(int unit) { return table().find(unit) != nullptr; }

int commit_unit(int unit) {
  Unit* u = table().find(unit);
  if (u == nullptr || u->standard) return close_unit(unit, false);
  flush_unit(*u);
  if (u->firstError == 0 && u->deflater) {
    u->firstError = emit(*u, nullptr, 0, true);
    u->deflater.reset();
  }
  if (u->firstError != 0) return u->firstError;
  const bool replacing = !u->replacement.tempPath.empty();
  if (replacing && u->replacement.finalPath.empty()) return EINVAL;  // its name is given by commit_unit_as
  int rc = replacing && ::fsync(u->fd) != 0 ? last_error() : 0;
  if (rc == 0) {
    if (::close(u->fd) != 0) rc = last_error();
    u->fd = -1;
  }
  if (rc == 0 && replacing) {
    rc = rename_replacement(u->replacement);
    // Under its name, durable or not: nothing of the unit is left to abandon.
    if (u->replacement.tempPath.empty()) {
      table().slot(unit).reset();
      return rc;
    }
  }
  if (rc != 0) {
    u->firstError = rc;
    return rc;
  }
  table().slot(unit).reset();
  return 0;
}

int commit_unit_as(int unit, std::string_view name) {
  Unit* u = table().find(unit);
  if (u == nullptr || u->replacement.tempPath.empty()) return EINVAL;
  if (const int rc = retarget_replacement(u->replacement, u->fd, name); rc != 0) return rc;
  u->name = std::string(trim_right(name));
  return commit_unit(unit);
}

void compress_unit_output(int unit) {
  if (Unit* u = table().find(unit); u != nullptr && !u->standard) u->deflater = std::make_unique<GzipDeflater>();
}

void abandon_replacing_units() {
  table().for_each([](int unit, const Unit& u) {
    if (!u.replacement.tempPath.empty()) abandon_unit(unit);
  });
}

bool abandon_unit(int unit) {
  Unit* u = table().find(unit);
  if (u == nullptr || u->standard) return false;
  if (u->fd >= 0) ::close(u->fd);
  const bool deleted = !u->replacement.tempPath.empty()
                           ? discard_replacement(u->replacement)
                           : u->regular && !u->scratch && !u->special && delete_regular_file(u->name) == 0;
  table().slot(unit).reset();
  return deleted;
}

std::string status_text(int status) {
  if (status == kCompressedDataDamaged) return "compressed data damaged";
  if (status == kCompressedDataCut) return "compressed data cut short";
  if (status == kLinkNotFollowed) return "a symbolic link of another user in a sticky folder open to all, not followed";
  if (status == kLineTooLong) return "Line longer than " + std::to_string(kMaxLineLength) + " characters";
  return std::strerror(status);
}

std::string unit_file_name(int unit) {
  const Unit* u = table().find(unit);
  return u != nullptr && !u->standard ? u->name : std::string();
}

int inquire_file(std::string_view name, FileInquiry& answer) {
  answer = FileInquiry{};
  const std::string path(trim_right(name));
  if (path.empty() || is_no_file(path)) return 0;
  if (path.find('\0') != std::string::npos) return EINVAL;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    const int rc = last_error();
    return rc == ENOENT || rc == ENOTDIR ? 0 : rc;
  }
  answer.exists = true;
  table().for_each([&](int unit, const Unit& u) {
    if (!answer.connected && !u.standard && !u.scratch && u.dev == info.st_dev && u.ino == info.st_ino) {
      answer.connected = true;
      answer.unit = unit;
    }
  });
  return 0;
}

int write_out(int unit) {
  Unit* u = table().find(unit);
  if (u == nullptr) return EBADF;
  flush_unit(*u);
  return u->firstError;
}

bool existing_file_id(std::string_view name, FileId& id) {
  const std::string path(trim_right(name));
  struct stat info {};
  if (const int stream = standard_stream_of(path); stream >= 0) {
    if (::fstat(stream, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  } else if (path.empty() || is_no_file(path) || path.find('\0') != std::string::npos ||
             ::stat(path.c_str(), &info) != 0) {
    return false;
  }
  id = FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return true;
}

bool is_regular_file(std::string_view name) {
  const std::string path(trim_right(name));
  return !is_no_file(path) && S_ISREG(file_type(path));
}

bool unit_file_id(int unit, FileId& id) {
  const Unit* u = table().find(unit);
  if (u == nullptr || u->standard || u->scratch) return false;
  id = FileId{static_cast<std::uint64_t>(u->dev), static_cast<std::uint64_t>(u->ino)};
  return true;
}

bool standard_stream_file_id(int unit, FileId& id) {
  const int fd = unit == kStdIn ? STDIN_FILENO : unit == kStdOut ? STDOUT_FILENO : unit == kStdErr ? STDERR_FILENO : -1;
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  id = FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return true;
}

int delete_regular_file(std::string_view name) {
  const std::string path(trim_right(name));
  if (path.find('\0') != std::string::npos) return EINVAL;
  if (is_no_file(path)) return EPERM;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return ENOENT;
  if (!S_ISREG(info.st_mode)) return EPERM;
  // Through a symbolic link the file itself goes: it holds the contents.
  const std::unique_ptr<char, void (*)(void*)> real(::realpath(path.c_str(), nullptr), std::free);
  if (!real) return last_error();
  return ::unlink(real.get()) == 0 ? 0 : last_error();
}

void flush_all() { table().flush_every_unit(); }

namespace {
// Connects `unit` for writing to `fd` as to a standard stream.
void connect_as_standard(int unit, int fd) {
  close_unit(unit, false);
  auto u = std::make_unique<Unit>();
  u->standard = true;
  u->fd = fd;
  u->writable = true;
  table().slot(unit) = std::move(u);
}
}  // namespace

namespace {
// Standard output was closed when the program started: what is written to it
// is lost, so every write to it fails (EBADF), as it would have without the
// /dev/null that now holds its number. Standard input likewise: a closed
// one is no empty input.
bool standardOutputClosed = false;
bool standardInputClosed = false;
}  // namespace

bool standard_output_closed_at_start() { return standardOutputClosed; }
bool standard_input_closed_at_start() { return standardInputClosed; }

void open_standard_streams() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == STDOUT_FILENO) standardOutputClosed = true;
    if (fd == STDIN_FILENO) standardInputClosed = true;
    // Takes the lowest free descriptor, which is `fd`.
    if (::open("/dev/null", O_RDWR) != fd) return;
  }
}

void send_unit_to_standard_error(int unit) { connect_as_standard(unit, STDERR_FILENO); }

void send_unit_to_sink(int unit, LineSink sink) {
  connect_as_standard(unit, STDERR_FILENO);
  table().find(unit)->sink = sink;
}

void discard_unit_output(int unit) {
  // Opened once and kept, as a standard stream is.
  static const int nullFd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  connect_as_standard(unit, nullFd >= 0 ? nullFd : STDERR_FILENO);
}

namespace {
ExitHandler exitHandler = nullptr;
int statusOfSuccess = 0;
}  // namespace

void set_exit_handler(ExitHandler handler) { exitHandler = handler; }

void set_status_of_success(int status) { statusOfSuccess = status; }

namespace {

// The first failure of a write to standard output and to standard error
// (of any unit writing to them), 0 where all went well.
struct StreamFailures {
  int output = 0;
  int error = 0;
};

// Closes every unit; returns how its writes to the standard streams went.
StreamFailures close_every_unit() {
  StreamFailures failures;
  table().for_each([&failures](int unit, Unit& u) {
    const int fd = u.standard ? u.fd : -1;
    const int rc = close_unit(unit, false);
    if (rc == 0) return;
    if (fd == STDOUT_FILENO && failures.output == 0) failures.output = rc;
    if (fd == STDERR_FILENO && failures.error == 0) failures.error = rc;
  });
  return failures;
}

}  // namespace

void exit_process(int status) {
  // Standard output holds the program output, the messages or the answer to
  // --help: when it could not be written, all of it may be lost, and a run
  // that succeeded otherwise is no success. Standard error holds the report
  // of a direct run and the lines meant for the terminal: when they are
  // lost, there is nowhere left to say so, and the exit status alone tells.
  StreamFailures failures = close_every_unit();
  if (failures.output != 0) {
    write_line(kStdErr, "*** Cannot write standard output: " + status_text(failures.output));
    if (const int rc = close_unit(kStdErr, false); rc != 0 && failures.error == 0) failures.error = rc;
  }
  if ((failures.output != 0 || failures.error != 0) && status == 0) status = 1;
  if (status == 0) status = statusOfSuccess;
  if (exitHandler != nullptr) exitHandler(status);
  std::exit(status);
}

}  // namespace kavril::platform

// Files written whole: a new version of a file is written under a hidden
// temporary name in the folder of its final name and renamed onto that name
// only when it is complete, so that the final name holds either its earlier
// file or the complete new one, whatever happens to the process or the
// machine in between.
//
// A process stopped by SIGINT, SIGTERM or SIGHUP removes its temporary files
// in the signal handler, which therefore finds their names ready in plain
// character arrays (no allocation, no locks, no C++ objects): the list is
// changed only while these signals are blocked.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

// --- The names the signal handler removes -------------------------------------

constexpr int kTemporarySlots = 16;
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct TemporaryName {
  volatile sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
};
TemporaryName temporaryNames[kTemporarySlots];

// Blocks the interrupt signals for the lifetime of the object, so that the
// handler never sees a name half written or a file created but not listed.
class InterruptsBlocked {
 public:
  InterruptsBlocked() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int sig : kInterruptSignals) sigaddset(&blocked, sig);
    sigprocmask(SIG_BLOCK, &blocked, &previous_);
  }
  ~InterruptsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  InterruptsBlocked(const InterruptsBlocked&) = delete;
  InterruptsBlocked& operator=(const InterruptsBlocked&) = delete;

 private:
  sigset_t previous_;
};

// Lists `path`; returns the slot or -1 when the list is full.
int list_temporary(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int slot = 0; slot < kTemporarySlots; ++slot) {
    TemporaryName& entry = temporaryNames[slot];
    if (entry.used != 0) continue;
    std::memcpy(entry.path, path.c_str(), path.size() + 1);
    entry.used = 1;
    return slot;
  }
  return -1;
}

void unlist_temporary(int slot) {
  if (slot >= 0 && slot < kTemporarySlots) temporaryNames[slot].used = 0;
}

void write_to_stderr(const char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0) {
    const ssize_t n = ::write(STDERR_FILENO, text, length);
    if (n <= 0) return;
    text += n;
    length -= static_cast<std::size_t>(n);
  }
}

const char* signal_name(int sig) {
  switch (sig) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "?";
  }
}

const char* interruptLineHead = " *** Run interrupted by signal ";

// Only async-signal-safe calls: unlink, write, signal, sigprocmask, raise.
extern "C" void on_interrupt(int sig) {
  const int savedErrno = errno;
  for (TemporaryName& entry : temporaryNames) {
    if (entry.used != 0) ::unlink(entry.path);
    entry.used = 0;
  }
  write_to_stderr(interruptLineHead);
  write_to_stderr(signal_name(sig));
  write_to_stderr(": no RINEX file of the unfinished row was written\n");
  // Ends by the same signal with its default action, so that the caller
  // sees the usual status (128 + the signal's number).
  ::signal(sig, SIG_DFL);
  sigset_t unblocked;
  sigemptyset(&unblocked);
  sigaddset(&unblocked, sig);
  sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
  ::raise(sig);
  errno = savedErrno;
  ::_exit(128 + sig);
}

// --- Final names and temporary names ------------------------------------------

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a name stands for: symbolic links followed, also a link whose
// target does not exist yet (the new file then becomes that target).
std::string final_path(const std::string& name) {
  constexpr int kMaxLinks = 40;
  std::string path = name;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return path;
    const std::string link(target, static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : folder_of(path) + "/" + link;
  }
  return path;
}

// Creates the temporary file of `finalPath` exclusively (an existing name,
// also a link, is never opened): ".NAME.kavril-PID" in the same folder, with
// a counter appended should that name be taken. Returns the descriptor or
// -errno. Called with the interrupt signals blocked.
int create_temporary(const std::string& finalPath, std::string& tempPath) {
  constexpr int kMaxTries = 100;
  const std::string stem =
      folder_of(finalPath) + "/." + base_of(finalPath) + ".kavril-" + std::to_string(::getpid());
  for (int attempt = 0; attempt < kMaxTries; ++attempt) {
    tempPath = attempt == 0 ? stem : stem + "." + std::to_string(attempt);
    const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -last_error();
    }
    return fd;
  }
  return -EEXIST;
}

// An existing file that this user may not write is refused, before anything
// of it is replaced (root passes, as for every write of root).
int check_writable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return last_error();
  ::close(fd);
  return 0;
}

// In a folder with the sticky bit (such as /tmp) only the owner of a file, or
// of the folder, may replace it; anyone else who may write it writes it in
// place.
bool may_replace(const std::string& path, const struct stat& old) {
  struct stat folder {};
  if (::stat(folder_of(path).c_str(), &folder) != 0 || (folder.st_mode & S_ISVTX) == 0) return true;
  const uid_t me = ::geteuid();
  return me == 0 || old.st_uid == me || folder.st_uid == me;
}

// The new file takes over the permission bits (and, where the process may,
// the owner) of the file it replaces.
void copy_attributes(int fd, const struct stat& old) {
  ::fchmod(fd, old.st_mode & 07777);
  if (::geteuid() == 0) (void)::fchown(fd, old.st_uid, old.st_gid);
}

void sync_folder(const std::string& path) {
  const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // Some file systems cannot sync a folder; the rename has happened then all
  // the same, and there is nothing better to do.
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void set_interrupt_line_head(const char* head) { interruptLineHead = head; }

void catch_interrupts() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  for (const int sig : kInterruptSignals) sigaddset(&action.sa_mask, sig);
  for (const int sig : kInterruptSignals) {
    struct sigaction previous {};
    // A signal that the caller ignores (nohup) stays ignored.
    if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(sig, &action, nullptr);
  }
}

std::string output_identity(std::string_view name) {
  const std::string path = final_path(std::string(trim_right(name)));
  const std::unique_ptr<char, void (*)(void*)> folder(::realpath(folder_of(path).c_str(), nullptr), std::free);
  if (!folder) return path;
  const std::string resolved(folder.get());
  return (resolved == "/" ? "" : resolved) + "/" + base_of(path);
}

int begin_replacement(std::string_view name, Replacement& replacement, int& fd) {
  replacement = Replacement{};
  fd = -1;
  const std::string given(trim_right(name));
  if (given.empty()) return ENOENT;
  if (given.find('\0') != std::string::npos) return EINVAL;
  const std::string path = final_path(given);
  struct stat old {};
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;
  // Devices and pipes are written where they are.
  if (exists && !S_ISREG(old.st_mode)) return 0;
  if (exists) {
    if (const int rc = check_writable(path); rc != 0) return rc;
  }
  if (exists && !may_replace(path, old)) return 0;
  std::string tempPath;
  {
    InterruptsBlocked blocked;
    fd = create_temporary(path, tempPath);
    // A folder where no file can be made: the file is written in place.
    if (fd < 0) {
      fd = -1;
      return 0;
    }
    replacement.slot = list_temporary(tempPath);
    if (replacement.slot < 0) {
      ::close(fd);
      ::unlink(tempPath.c_str());
      fd = -1;
      return EMFILE;
    }
  }
  if (exists) copy_attributes(fd, old);
  replacement.finalPath = path;
  replacement.tempPath = tempPath;
  return 0;
}

int retarget_replacement(Replacement& replacement, std::string_view name) {
  const std::string path = final_path(std::string(trim_right(name)));
  if (folder_of(path) != folder_of(replacement.tempPath)) return EXDEV;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return EISDIR;
    if (!S_ISREG(old.st_mode)) return EEXIST;
    if (const int rc = check_writable(path); rc != 0) return rc;
  }
  replacement.finalPath = path;
  return 0;
}

int rename_replacement(Replacement& replacement) {
  {
    InterruptsBlocked blocked;
    if (::rename(replacement.tempPath.c_str(), replacement.finalPath.c_str()) != 0) return last_error();
    unlist_temporary(replacement.slot);
  }
  sync_folder(replacement.finalPath);
  replacement = Replacement{};
  return 0;
}

bool discard_replacement(Replacement& replacement) {
  if (replacement.tempPath.empty()) return false;
  bool deleted = false;
  {
    InterruptsBlocked blocked;
    deleted = ::unlink(replacement.tempPath.c_str()) == 0;
    unlist_temporary(replacement.slot);
  }
  replacement = Replacement{};
  return deleted;
}

}  // namespace kavril::platform

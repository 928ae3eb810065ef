// Files written whole: a new version of a file is written under a hidden
// temporary name in the folder of its final name and renamed onto that name
// only when it is complete, so that the final name holds either its earlier
// file or the complete new one, whatever happens to the process or the
// machine in between.
//
// A process stopped by SIGINT, SIGTERM, SIGHUP or SIGPIPE removes its
// temporary files in the signal handler, which therefore finds their names
// ready in plain character arrays (no allocation, no locks, no C++ objects):
// the list is changed only while these signals are blocked.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

// --- The names the signal handler removes -------------------------------------

constexpr int kTemporarySlots = 16;
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

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
    case SIGPIPE: return "SIGPIPE";
    default: return "?";
  }
}

const char* interruptLineHead = " *** Run interrupted by signal ";
volatile sig_atomic_t quietOnBrokenPipe = 0;
// The system's texts of the failures of unlink, copied before any signal
// can come: the handler may not call strerror.
struct ErrorText {
  int error = 0;
  char text[64] = {};
};
constexpr int kUnlinkErrors[] = {EACCES, EBUSY, EIO, EISDIR, ELOOP, ENAMETOOLONG, ENOMEM, ENOTDIR, EPERM, EROFS};
ErrorText unlinkErrorTexts[std::size(kUnlinkErrors)];

void prepare_error_texts() {
  for (std::size_t i = 0; i < std::size(kUnlinkErrors); ++i) {
    unlinkErrorTexts[i].error = kUnlinkErrors[i];
    std::strncpy(unlinkErrorTexts[i].text, std::strerror(kUnlinkErrors[i]), sizeof unlinkErrorTexts[i].text - 1);
  }
}

const char* unlink_error_text(int error) {
  for (const ErrorText& entry : unlinkErrorTexts)
    if (entry.error == error && entry.text[0] != '\0') return entry.text;
  return "Unknown error";
}

// Only async-signal-safe calls: unlink, write, signal, sigprocmask, raise.
// The line says what is on disk: with a temporary file removed, the output
// being written keeps its earlier file; with none, every RINEX file put
// under its name is complete.
extern "C" void on_interrupt(int sig) {
  const int savedErrno = errno;
  bool removed = false;
  int failedSlot[kTemporarySlots];
  int failedError[kTemporarySlots];
  int nFailed = 0;
  for (int slot = 0; slot < kTemporarySlots; ++slot) {
    if (temporaryNames[slot].used == 0) continue;
    removed = true;
    if (::unlink(temporaryNames[slot].path) == 0 || errno == ENOENT) continue;
    failedSlot[nFailed] = slot;
    failedError[nFailed++] = errno;
  }
  if (sig != SIGPIPE || quietOnBrokenPipe == 0) {
    write_to_stderr(interruptLineHead);
    write_to_stderr(signal_name(sig));
    write_to_stderr(removed ? ": no RINEX file of the unfinished row was written\n"
                            : ": every RINEX file of the finished rows is complete\n");
  }
  for (int k = 0; k < nFailed; ++k) {
    write_to_stderr(" *** Temporary file not deleted: ");
    write_to_stderr(temporaryNames[failedSlot[k]].path);
    write_to_stderr(": ");
    write_to_stderr(unlink_error_text(failedError[k]));
    write_to_stderr("\n");
  }
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

// --- Temporary names ----------------------------------------------------------
// ".NAME.kavril-HOST-PID" beside NAME (".N" appended when that is taken);
// when that would not fit the file system's limit for a name,
// ".kavril-HOST-PID-N". The host and the process tell a later run on this
// host whether the process that wrote the file still runs.

constexpr std::size_t kNameMax = NAME_MAX;
constexpr std::time_t kLeftoverAgeSeconds = 60;

const std::string& host_name() {
  static const std::string host = [] {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return std::string("localhost");
    return std::string(buffer);
  }();
  return host;
}

// The part before the process number, for a final file name `base`.
std::string long_form_prefix(const std::string& base) { return "." + base + ".kavril-" + host_name() + "-"; }
std::string short_form_prefix() { return ".kavril-" + host_name() + "-"; }

std::string temporary_name(const std::string& base, bool shortForm, int attempt) {
  std::string name = shortForm ? short_form_prefix() : long_form_prefix(base);
  name += std::to_string(::getpid());
  if (shortForm || attempt != 0) name.append(1, shortForm ? '-' : '.').append(std::to_string(attempt));
  return name;
}

bool uses_short_form(const std::string& base) {
  return temporary_name(base, false, 0).size() + 4 > kNameMax;  // room for a counter
}

// `name` in the folder of `finalPath`.
std::string beside(const std::string& finalPath, const std::string& name) {
  const std::size_t slash = finalPath.find_last_of('/');
  return slash == std::string::npos ? name : finalPath.substr(0, slash + 1) + name;
}

// Creates the temporary file of `finalPath` exclusively (an existing name,
// also a link, is never opened). Returns the descriptor or -errno. Called
// with the interrupt signals blocked.
int create_temporary(const std::string& finalPath, std::string& tempPath) {
  constexpr int kMaxTries = 100;
  const std::string base = base_of(finalPath);
  bool shortForm = uses_short_form(base);
  for (int attempt = 0; attempt < kMaxTries; ++attempt) {
    tempPath = beside(finalPath, temporary_name(base, shortForm, attempt));
    const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno == ENAMETOOLONG && !shortForm) {  // a file system with shorter names
      shortForm = true;
      attempt = -1;
    } else if (errno != EEXIST) {
      return -last_error();
    }
  }
  return -EEXIST;
}

// --- Leftovers of killed runs ---------------------------------------------------

struct TemporaryNotes {
  std::vector<TemporaryFileNote> notes;
  // Per folder (as spelt in the final paths), the names in it that may be
  // temporary files of this host: the folder is read once per run.
  std::map<std::string, std::vector<std::string>, std::less<>> candidates;
};
TemporaryNotes& temporaryNotes() {
  static TemporaryNotes state;
  return state;
}

// The process number of `entry` when it is a temporary name of this host
// made for `base` (long form) or, where `base` needs it, of the short form.
bool leftover_process(std::string_view entry, const std::string& base, pid_t& pid) {
  const bool shortForm = uses_short_form(base);
  const std::string prefix = shortForm ? short_form_prefix() : long_form_prefix(base);
  if (entry.substr(0, prefix.size()) != prefix) return false;
  std::string_view rest = entry.substr(prefix.size());
  const std::string_view number = rest.substr(0, rest.find_first_not_of("0123456789"));
  if (number.empty() || number.size() > 9) return false;
  rest.remove_prefix(number.size());
  const char separator = shortForm ? '-' : '.';
  if (!rest.empty() && (rest.front() != separator || rest.size() == 1 ||
                        rest.find_first_not_of("0123456789", 1) != std::string_view::npos))
    return false;
  if (shortForm && rest.empty()) return false;
  pid = static_cast<pid_t>(std::stol(std::string(number)));
  return pid > 0;
}

// The names in `folder` that hold ".kavril-HOST-".
std::vector<std::string> candidates_in(const std::string& folder) {
  std::vector<std::string> found;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return found;
  const std::string mark = ".kavril-" + host_name() + "-";
  while (const dirent* entry = ::readdir(dir))
    if (std::strstr(entry->d_name, mark.c_str()) != nullptr) found.emplace_back(entry->d_name);
  ::closedir(dir);
  return found;
}

// Deletes the temporary files that runs of this host left beside
// `finalPath` when they were killed: their process no longer runs and they
// are older than a minute.
void remove_leftovers(const std::string& finalPath) {
  TemporaryNotes& state = temporaryNotes();
  const std::string folder = folder_of(finalPath);
  auto [known, added] = state.candidates.try_emplace(folder);
  if (added) known->second = candidates_in(folder);
  const std::string base = base_of(finalPath);
  const std::time_t now = std::time(nullptr);
  std::erase_if(known->second, [&](const std::string& name) {
    pid_t pid = 0;
    struct stat info {};
    const std::string path = beside(finalPath, name);
    if (!leftover_process(name, base, pid) || pid == ::getpid() || ::lstat(path.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode) || now - info.st_mtime < kLeftoverAgeSeconds)
      return false;
    if (::kill(pid, 0) == 0 || errno != ESRCH) return false;  // still running, or not ours to judge
    if (::unlink(path.c_str()) != 0) return false;
    state.notes.push_back({path, 0});
    return true;
  });
}

// --- Replacing -------------------------------------------------------------------

// An existing file that this user may not write is refused, before anything
// of it is replaced (root passes, as for every write of root).
int check_writable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return last_error();
  ::close(fd);
  return 0;
}

// In a folder with the sticky bit (such as /tmp) only the owner of a file, or
// of the folder, may replace it (the rename would fail with EPERM).
bool may_replace(const std::string& path, const struct stat& old) {
  struct stat folder {};
  if (::stat(folder_of(path).c_str(), &folder) != 0 || (folder.st_mode & S_ISVTX) == 0) return true;
  const uid_t me = ::geteuid();
  return me == 0 || old.st_uid == me || folder.st_uid == me;
}

// The new file takes over the permission bits (and, for root, the owner) of
// the file it replaces. A failure is an error: the new file must never
// widen what others may read.
int copy_attributes(int fd, const struct stat& old) {
  if (::fchmod(fd, old.st_mode & 07777) != 0) return last_error();
  if (::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0) return last_error();
  return 0;
}

// Makes the rename durable. A folder that cannot be opened for reading or a
// file system that cannot sync a folder (EINVAL) leaves nothing better to
// do; any other failure means that the new name may not survive a power cut.
int sync_folder(const std::string& path) {
  const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == EACCES ? 0 : last_error();
  const int rc = ::fsync(fd) == 0 || errno == EINVAL ? 0 : last_error();
  ::close(fd);
  return rc;
}

}  // namespace

void set_interrupt_line_head(const char* head) { interruptLineHead = head; }

void end_quietly_on_broken_pipe() { quietOnBrokenPipe = 1; }

void catch_interrupts() {
  prepare_error_texts();
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
  // Devices and pipes are written where they are: they hold no earlier file.
  if (exists && !S_ISREG(old.st_mode)) return 0;
  if (exists) {
    if (const int rc = check_writable(path); rc != 0) return rc;
    if (!may_replace(path, old)) return EPERM;
  }
  remove_leftovers(path);
  std::string tempPath;
  {
    InterruptsBlocked blocked;
    fd = create_temporary(path, tempPath);
    // No space, no inodes, no permission: a regular file is never written
    // in place, so its earlier file stays as it is.
    if (fd < 0) {
      const int rc = -fd;
      fd = -1;
      return rc;
    }
    replacement.slot = list_temporary(tempPath);
    if (replacement.slot < 0) {
      ::close(fd);
      ::unlink(tempPath.c_str());
      fd = -1;
      return EMFILE;
    }
  }
  replacement.finalPath = path;
  replacement.tempPath = tempPath;
  if (exists) {
    if (const int rc = copy_attributes(fd, old); rc != 0) {
      ::close(fd);
      fd = -1;
      discard_replacement(replacement);
      return rc;
    }
  }
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
  const std::string finalPath = replacement.finalPath;
  replacement = Replacement{};
  return sync_folder(finalPath);
}

bool discard_replacement(Replacement& replacement) {
  if (replacement.tempPath.empty()) return false;
  int rc = 0;
  {
    InterruptsBlocked blocked;
    rc = ::unlink(replacement.tempPath.c_str()) == 0 ? 0 : last_error();
    unlist_temporary(replacement.slot);
  }
  if (rc != 0 && rc != ENOENT) temporaryNotes().notes.push_back({replacement.tempPath, rc});
  replacement = Replacement{};
  return rc == 0;
}

std::vector<TemporaryFileNote> take_temporary_file_notes() { return std::exchange(temporaryNotes().notes, {}); }

}  // namespace kavril::platform

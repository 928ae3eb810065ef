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
#include <sys/file.h>
#include <sys/random.h>
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

// True when the link `path` (`link` its lstat) lies in a sticky folder that
// everyone may write and belongs neither to this user nor to the folder's
// owner: such a link is not followed.
bool foreign_link_in_shared_folder(const std::string& path, const struct stat& link) {
  struct stat folder {};
  if (::stat(folder_of(path).c_str(), &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

// True when a folder on the way to `path` is reached through such a link:
// "/tmp/st/dl/x.rnx" where dl, in the sticky folder /tmp/st, is another
// user's link to a folder of their choosing.
bool foreign_link_on_the_way(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && foreign_link_in_shared_folder(folder, info))
      return true;
  }
  return false;
}

// The file a name stands for, into `path`: symbolic links followed, also a
// link whose target does not exist yet (the new file then becomes that
// target). Returns 0, kLinkNotFollowed for a link that is not followed, or
// the errno value of a lookup that failed for another reason than a missing
// name: what the name holds is then unknown.
int final_path(const std::string& name, std::string& path) {
  constexpr int kMaxLinks = 40;
  path = name;
  for (int i = 0; i < kMaxLinks; ++i) {
    if (foreign_link_on_the_way(path)) return kLinkNotFollowed;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? 0 : last_error();
    if (!S_ISLNK(info.st_mode)) return 0;
    if (foreign_link_in_shared_folder(path, info)) return kLinkNotFollowed;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return n == 0 ? EINVAL : last_error();
    const std::string link(target, static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : folder_of(path) + "/" + link;
  }
  return ELOOP;
}

// What the final name holds now: `exists` and its `info`, or the errno value
// of a lookup that failed otherwise than with "no such file".
int look_up(const std::string& path, bool& exists, struct stat& info) {
  exists = ::stat(path.c_str(), &info) == 0;
  return exists || errno == ENOENT ? 0 : last_error();
}

// --- Temporary names ----------------------------------------------------------
// ".NAME.kavril-XXXXXX" beside NAME, the six characters drawn at random;
// when that would not fit the file system's limit for a name,
// ".kavril-XXXXXX". Nothing in the name says who made it: the lock that a
// run holds on its temporary file says whether the file is still in use.

constexpr std::size_t kNameMax = NAME_MAX;
constexpr std::size_t kRandomLength = 6;
constexpr std::time_t kLeftoverAgeSeconds = 60;
constexpr std::string_view kRandomCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string long_form_prefix(const std::string& base) { return "." + base + ".kavril-"; }
constexpr std::string_view kShortFormPrefix = ".kavril-";

bool uses_short_form(const std::string& base) { return long_form_prefix(base).size() + kRandomLength > kNameMax; }

std::string random_part() {
  unsigned char bytes[kRandomLength] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // No entropy to be had: the clock and the process still vary, and a
    // taken name only costs another try.
    static unsigned long long mix = 0;
    mix = mix * 6364136223846793005ULL + static_cast<unsigned long long>(std::time(nullptr)) +
          static_cast<unsigned long long>(::getpid()) + 1442695040888963407ULL;
    for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(mix >> (8 * i + 8));
  }
  std::string part(kRandomLength, ' ');
  for (std::size_t i = 0; i < kRandomLength; ++i) part[i] = kRandomCharacters[bytes[i] % kRandomCharacters.size()];
  return part;
}

// True when `entry` has the form of a temporary name made for `base`.
bool is_temporary_name(std::string_view entry, const std::string& base) {
  const std::string prefix = uses_short_form(base) ? std::string(kShortFormPrefix) : long_form_prefix(base);
  if (entry.size() != prefix.size() + kRandomLength || !entry.starts_with(prefix)) return false;
  return entry.substr(prefix.size()).find_first_not_of(kRandomCharacters) == std::string_view::npos;
}

// `name` in the folder of `finalPath`.
std::string beside(const std::string& finalPath, const std::string& name) {
  const std::size_t slash = finalPath.find_last_of('/');
  return slash == std::string::npos ? name : finalPath.substr(0, slash + 1) + name;
}

// Creates the temporary file of `finalPath` exclusively, readable and
// writable by its owner only (an existing name, also a link, is never
// opened). Returns the descriptor or -errno. Called with the interrupt
// signals blocked.
int create_temporary(const std::string& finalPath, std::string& tempPath) {
  constexpr int kMaxTries = 100;
  const std::string base = base_of(finalPath);
  bool shortForm = uses_short_form(base);
  for (int attempt = 0; attempt < kMaxTries; ++attempt) {
    tempPath = beside(finalPath, (shortForm ? std::string(kShortFormPrefix) : long_form_prefix(base)) + random_part());
    const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
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

// Holds the lock that marks the temporary file as in use until it is
// renamed or deleted; a second descriptor of the same open file keeps it
// when the unit closes its own. Returns that descriptor or -errno. A file
// system without locks leaves none to hold: no cleanup can take it either.
int lock_temporary(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno != ENOLCK && errno != EOPNOTSUPP) return -last_error();
  const int lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  return lockFd >= 0 ? lockFd : -last_error();
}

// --- Leftovers of killed runs ---------------------------------------------------

struct TemporaryNotes {
  std::vector<TemporaryFileNote> notes;
  // Per folder (as spelt in the final paths), the names in it that may be
  // temporary files: the folder is read once per run.
  std::map<std::string, std::vector<std::string>, std::less<>> candidates;
};
TemporaryNotes& temporaryNotes() {
  static TemporaryNotes state;
  return state;
}

// The names in `folder` that hold ".kavril-".
std::vector<std::string> candidates_in(const std::string& folder) {
  std::vector<std::string> found;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return found;
  while (const dirent* entry = ::readdir(dir))
    if (std::strstr(entry->d_name, kShortFormPrefix.data()) != nullptr) found.emplace_back(entry->d_name);
  ::closedir(dir);
  return found;
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Deletes `path` when it is a leftover: a regular file of this user, older
// than a minute, whose lock no process holds (a run holds it while its
// temporary file exists, in whatever namespace or on whatever host it runs).
bool delete_if_leftover(const std::string& path) {
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid() ||
      std::time(nullptr) - named.st_mtime < kLeftoverAgeSeconds)
    return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat opened {};
  bool deleted = false;
  if (::fstat(fd, &opened) == 0 && same_file(opened, named) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::lstat(path.c_str(), &named) == 0 && same_file(opened, named))
    deleted = ::unlink(path.c_str()) == 0;
  ::close(fd);
  return deleted;
}

// Deletes the temporary files that killed runs left beside `finalPath`.
void remove_leftovers(const std::string& finalPath) {
  TemporaryNotes& state = temporaryNotes();
  const std::string folder = folder_of(finalPath);
  auto [known, added] = state.candidates.try_emplace(folder);
  if (added) known->second = candidates_in(folder);
  const std::string base = base_of(finalPath);
  std::erase_if(known->second, [&](const std::string& name) {
    const std::string path = beside(finalPath, name);
    if (!is_temporary_name(name, base) || !delete_if_leftover(path)) return false;
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
int check_replaceable(const std::string& path, const struct stat& old) {
  struct stat folder {};
  if (::stat(folder_of(path).c_str(), &folder) != 0) return last_error();
  if ((folder.st_mode & S_ISVTX) == 0) return 0;
  const uid_t me = ::geteuid();
  return me == 0 || old.st_uid == me || folder.st_uid == me ? 0 : EPERM;
}

// The earlier regular file `path` (`old`) may be replaced by this user.
int check_earlier_file(const std::string& path, const struct stat& old) {
  if (const int rc = check_writable(path); rc != 0) return rc;
  return check_replaceable(path, old);
}

// The permission bits of a new file under the process's umask.
mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The temporary file takes over the permission bits (and, for root, the
// owner) of the file it replaces, or those of a new file, before it holds
// any data. A failure is an error: the new file must never widen what others
// may read.
int copy_attributes(int fd, bool exists, const struct stat& old) {
  const mode_t mode = exists ? old.st_mode & 07777 : new_file_mode();
  if (::fchmod(fd, mode) != 0) return last_error();
  if (exists && ::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0) return last_error();
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

void release_lock(Replacement& replacement) {
  if (replacement.lockFd >= 0) ::close(replacement.lockFd);
  replacement.lockFd = -1;
}

// Creates, locks and lists the temporary file of `path`; `fd` is open on it
// or -1 with an errno value returned.
int start_temporary(const std::string& path, Replacement& replacement, int& fd) {
  remove_leftovers(path);
  std::string tempPath;
  InterruptsBlocked blocked;
  fd = create_temporary(path, tempPath);
  // No space, no inodes, no permission: a regular file is never written
  // in place, so its earlier file stays as it is.
  if (fd < 0) {
    const int rc = -fd;
    fd = -1;
    return rc;
  }
  replacement.tempPath = tempPath;
  replacement.slot = list_temporary(tempPath);
  const int lockFd = replacement.slot < 0 ? -EMFILE : lock_temporary(fd);
  if (lockFd < 0) {
    ::close(fd);
    fd = -1;
    ::unlink(tempPath.c_str());
    unlist_temporary(replacement.slot);
    replacement = Replacement{};
    return -lockFd;
  }
  replacement.lockFd = lockFd;
  return 0;
}

}  // namespace

int check_link_trust(std::string_view name) {
  const std::string path(trim_right(name));
  if (foreign_link_on_the_way(path)) return kLinkNotFollowed;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
  return foreign_link_in_shared_folder(path, info) ? kLinkNotFollowed : 0;
}

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

void ignore_file_size_signal() { ::signal(SIGXFSZ, SIG_IGN); }

std::string output_identity(std::string_view name) {
  const std::string given(trim_right(name));
  std::string path = given;
  // A name chosen at commit is no file: only its folder is looked at.
  if (!is_named_at_commit(given) && final_path(given, path) != 0) path = given;
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
  if (is_named_at_commit(given)) {
    // Nothing under the name is looked at: the file gets its attributes
    // from its final name at the commit.
    replacement.namedAtCommit = true;
    return start_temporary(given, replacement, fd);
  }
  std::string path;
  if (const int rc = final_path(given, path); rc != 0) return rc;
  bool exists = false;
  struct stat old {};
  if (const int rc = look_up(path, exists, old); rc != 0) return rc;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;
  // Devices and pipes are written where they are: they hold no earlier file.
  if (exists && !S_ISREG(old.st_mode)) return 0;
  if (exists) {
    if (const int rc = check_earlier_file(path, old); rc != 0) return rc;
  }
  if (const int rc = start_temporary(path, replacement, fd); rc != 0) return rc;
  replacement.finalPath = path;
  if (const int rc = copy_attributes(fd, exists, old); rc != 0) {
    ::close(fd);
    fd = -1;
    discard_replacement(replacement);
    return rc;
  }
  return 0;
}

int retarget_replacement(Replacement& replacement, int fd, std::string_view name) {
  std::string path;
  if (const int rc = final_path(std::string(trim_right(name)), path); rc != 0) return rc;
  bool exists = false;
  struct stat old {};
  if (const int rc = look_up(path, exists, old); rc != 0) return rc;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;
  // A device, a pipe or a socket under the name is not replaced by a file.
  if (exists && !S_ISREG(old.st_mode)) return EEXIST;
  if (folder_of(path) != folder_of(replacement.tempPath)) return EXDEV;
  if (exists) {
    if (const int rc = check_earlier_file(path, old); rc != 0) return rc;
  }
  // Before the rename, as at the open of a file named from the start.
  if (const int rc = copy_attributes(fd, exists, old); rc != 0) return rc;
  replacement.finalPath = path;
  return 0;
}

int rename_replacement(Replacement& replacement) {
  if (replacement.finalPath.empty()) return EINVAL;  // named at commit, not named yet
  {
    InterruptsBlocked blocked;
    if (::rename(replacement.tempPath.c_str(), replacement.finalPath.c_str()) != 0) return last_error();
    unlist_temporary(replacement.slot);
  }
  release_lock(replacement);
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
  release_lock(replacement);
  if (rc != 0 && rc != ENOENT) temporaryNotes().notes.push_back({replacement.tempPath, rc});
  replacement = Replacement{};
  return rc == 0;
}

std::vector<TemporaryFileNote> take_temporary_file_notes() { return std::exchange(temporaryNotes().notes, {}); }

}  // namespace kavril::platform

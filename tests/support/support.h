// Shared test helpers: a scratch folder per test and whole-file reading and
// writing (test code may use the C++ file APIs directly).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kavril::test {

// A fresh empty folder under the system's temporary folder, removed again
// when the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path() / name as a string.
  std::string file(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view contents);
// The text a gzip file holds (gzip -dc); any other file as it is.
std::string read_decompressed(const std::filesystem::path& path);

// Run dates, times and timing figures masked: "07-DEC-26 14:05" becomes
// "DD-MMM-YY HH:MM", "20261207 130509 UTC" becomes "YYYYMMDD HHMMSS UTC",
// "07-Dec-2026 14:05:09" becomes "DD-Mmm-YYYY HH:MM:SS",
// and a duration such as "0:00:01.250" becomes "H:MM:SS.mmm".
std::string mask_volatile(std::string_view text);

// Folder of the checked-in test data (tests/data).
std::filesystem::path data_dir();

// Runs `command` with the shell. Returns the exit status, or 128 + the signal
// number when a signal ended it.
int run_command(const std::string& command);

// Runs the built program in the folder `dir` with the command line `args`
// (split by the shell), standard input empty, standard output into the file
// `output` and standard error into `errors` (into `output` as well when
// `errors` is empty). Returns the exit status, or 128 + the signal number
// when a signal ended the program.
int run_kavril(const std::filesystem::path& dir, std::string_view args, const std::filesystem::path& output,
               const std::filesystem::path& errors = {});

// What to put before a command so that it runs as an ordinary user, whom
// permissions bind: nothing when the tests do not run as root, else setpriv to
// the user nobody. Empty optional when root cannot drop its rights here.
std::optional<std::string> as_ordinary_user();

}  // namespace kavril::test

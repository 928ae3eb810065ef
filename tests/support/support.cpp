#include "support/support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kavril::test {

ScratchDir::ScratchDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("kavril-test-" + std::to_string(rd()) + std::to_string(attempt));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::file(std::string_view name) const { return (path_ / name).string(); }

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

void write_file(const std::filesystem::path& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

namespace {

// Matches `pattern` at `text[pos]`: 'd' a digit, 'A' a capital, 'a' a small
// letter, '+' one or more digits, anything else itself. Returns the length
// matched, 0 for no match.
std::size_t match_at(std::string_view text, std::size_t pos, std::string_view pattern) {
  const auto is = [](char c, char lo, char hi) { return c >= lo && c <= hi; };
  std::size_t i = pos;
  for (char p : pattern) {
    if (p == '+') {
      const std::size_t start = i;
      while (i < text.size() && is(text[i], '0', '9')) ++i;
      if (i == start) return 0;
      continue;
    }
    if (i >= text.size()) return 0;
    const char c = text[i];
    const bool ok = p == 'd' ? is(c, '0', '9') : p == 'A' ? is(c, 'A', 'Z') : p == 'a' ? is(c, 'a', 'z') : c == p;
    if (!ok) return 0;
    ++i;
  }
  return i - pos;
}

}  // namespace

std::string mask_volatile(std::string_view text) {
  static constexpr std::pair<std::string_view, std::string_view> kMasks[] = {
      {"dd-Aaa-dddd dd:dd:dd", "DD-Mmm-YYYY HH:MM:SS"},
      {"dd-AAA-dd dd:dd", "DD-MMM-YY HH:MM"},
      {"dddddddd dddddd UTC", "YYYYMMDD HHMMSS UTC"},
      {"+:dd:dd.ddd", "H:MM:SS.mmm"},
  };
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    bool masked = false;
    // A figure starts where no digit stands right before it.
    if (pos == 0 || !(text[pos - 1] >= '0' && text[pos - 1] <= '9')) {
      for (const auto& [pattern, mask] : kMasks) {
        if (const std::size_t length = match_at(text, pos, pattern)) {
          out += mask;
          pos += length;
          masked = true;
          break;
        }
      }
    }
    if (!masked) out += text[pos++];
  }
  return out;
}

std::string read_decompressed(const std::filesystem::path& path) {
  if (!read_file(path).starts_with("\x1f\x8b")) return read_file(path);
  const std::filesystem::path plain = path.string() + ".plain";
  run_command("gzip -dc '" + path.string() + "' > '" + plain.string() + "'");
  std::string text = read_file(plain);
  std::filesystem::remove(plain);
  return text;
}

std::filesystem::path data_dir() { return KAVRIL_TEST_DATA; }

int run_command(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int run_kavril(const std::filesystem::path& dir, std::string_view args, const std::filesystem::path& output,
               const std::filesystem::path& errors) {
  const std::string errorRedirect = errors.empty() ? std::string("2>&1") : "2> '" + errors.string() + "'";
  return run_command("cd '" + dir.string() + "' && '" KAVRIL_BINARY "' " + std::string(args) + " > '" +
                     output.string() + "' " + errorRedirect + " < /dev/null");
}

std::optional<std::string> as_ordinary_user() {
  if (::geteuid() != 0) return std::string();
  const std::string prefix = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
  if (run_command(prefix + "true 2>/dev/null") != 0) return std::nullopt;
  return prefix;
}

}  // namespace kavril::test

// The program as it is installed: its manual page keeps in step with --help,
// and the Debian package made by cpack installs a working program and the page.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "support/support.h"

namespace fs = std::filesystem;

namespace kavril::test {
namespace {

std::string output_of(const std::string& command, const ScratchDir& scratch) {
  const fs::path output = scratch.path() / "output";
  EXPECT_EQ(run_command(command + " > '" + output.string() + "' 2>&1"), 0) << command << "\n" << read_file(output);
  return read_file(output);
}

// `name` as troff source writes it: a hyphen as "\-".
std::string in_troff(const std::string& name) {
  std::string text;
  for (char c : name) text += c == '-' ? std::string("\\-") : std::string(1, c);
  return text;
}

// A name of the help text: an option ("-h", "--help") or a keyword in
// capitals ("BRDFIL", "DESCR_" of "DESCR_<keyword>").
bool is_name(const std::string& token) {
  if (token.size() < 2) return false;
  if (token[0] == '-') return std::isalpha(static_cast<unsigned char>(token.back())) != 0;
  for (char c : token)
    if (!std::isupper(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// The options of the usage lines, the options and keywords in the first
// column of the help text.
std::set<std::string> names_in_help(const std::string& help) {
  std::set<std::string> names;
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    const bool keywords = line.size() > 2 && line.rfind("  ", 0) == 0 && std::isupper(line[2]);
    const bool options = line.rfind("  -", 0) == 0;
    if (!keywords && !options && line.find("kavril -") == std::string::npos) continue;
    std::string part = keywords || options ? line.substr(0, line.find("  ", 2)) : line;
    for (char& c : part)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') c = ' ';
    std::istringstream tokens(part);
    for (std::string token; tokens >> token;)
      if (is_name(token)) names.insert(token);
  }
  return names;
}

TEST(ManualPage, NamesEveryOptionAndKeywordOfTheHelp) {
  ScratchDir scratch;
  const std::string help = output_of("'" KAVRIL_BINARY "' --help", scratch);
  const std::set<std::string> names = names_in_help(help);
  ASSERT_GT(names.size(), 20u) << help;
  const std::string page = read_file(KAVRIL_MAN_PAGE);
  for (const auto& name : names)
    EXPECT_NE(page.find(in_troff(name)), std::string::npos) << name << " is missing in kavril.1";
}

TEST(DebianPackage, InstallsTheProgramItsManualPageAndTheConstants) {
  if (run_command("command -v dpkg-deb > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "dpkg-deb not found: the Debian package is not built and checked (apt-get install dpkg)";
  }
  ScratchDir scratch;
  output_of("'" KAVRIL_CPACK "' -G DEB --config '" KAVRIL_BUILD_DIR "/CPackConfig.cmake' -B '" +
                scratch.path().string() + "'",
            scratch);
  fs::path deb;
  for (const auto& entry : fs::directory_iterator(scratch.path()))
    if (entry.path().extension() == ".deb") deb = entry.path();
  ASSERT_FALSE(deb.empty()) << "cpack wrote no .deb";

  const std::string contents = output_of("dpkg-deb -c '" + deb.string() + "'", scratch);
  EXPECT_NE(contents.find("./usr/bin/kavril\n"), std::string::npos) << contents;
  EXPECT_NE(contents.find("./usr/share/man/man1/kavril.1\n"), std::string::npos) << contents;
  EXPECT_NE(contents.find("./usr/share/kavril/CONST\n"), std::string::npos) << contents;

  const fs::path root = scratch.path() / "root";
  output_of("dpkg-deb -x '" + deb.string() + "' '" + root.string() + "'", scratch);
  EXPECT_EQ(read_file(root / "usr/share/man/man1/kavril.1"), read_file(KAVRIL_MAN_PAGE));
  EXPECT_EQ(read_file(root / "usr/share/kavril/CONST"), read_file(fs::path(KAVRIL_E2E_ROOT) / "../../examples/CONST"));
  const std::string installed = (root / "usr/bin/kavril").string();
  EXPECT_EQ(output_of("'" + installed + "' --version", scratch),
            output_of("'" KAVRIL_BINARY "' --version", scratch));
}

}  // namespace
}  // namespace kavril::test

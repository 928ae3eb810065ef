// The program as it is installed: its manual page keeps in step with --help,
// and the Debian package made by cpack installs a working program and the page.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
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

// The manual page as text: troff font changes dropped, "\-" read as "-".
std::string manual_page_text() {
  std::string page = std::regex_replace(read_file(KAVRIL_MAN_PAGE), std::regex(R"(\\f[BIRP])"), "");
  return std::regex_replace(page, std::regex(R"(\\-)"), "-");
}

// The options of the usage lines and the keywords (without "<keyword>")
// listed in the first column of the help text.
std::set<std::string> names_in_help(const std::string& help) {
  std::set<std::string> names;
  std::istringstream lines(help);
  const std::regex option(R"(--?[A-Za-z]+)");
  const std::regex keyword(R"(^  ([A-Z][A-Z0-9_]*)(<keyword>)?(, ([A-Z][A-Z0-9_]*))*)");
  const std::regex listed(R"([A-Z][A-Z0-9_]*)");
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Usage:", 0) == 0 || line.rfind("       kavril", 0) == 0) {
      for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it) names.insert(it->str());
    }
    std::smatch column;
    if (!std::regex_search(line, column, keyword)) continue;
    const std::string first = column.str(0);
    for (std::sregex_iterator it(first.begin(), first.end(), listed), end; it != end; ++it) names.insert(it->str());
  }
  return names;
}

TEST(ManualPage, NamesEveryOptionAndKeywordOfTheHelp) {
  ScratchDir scratch;
  const std::string help = output_of("'" KAVRIL_BINARY "' --help", scratch);
  const std::set<std::string> names = names_in_help(help);
  ASSERT_GT(names.size(), 20u) << help;
  const std::string page = manual_page_text();
  for (const auto& name : names) EXPECT_NE(page.find(name), std::string::npos) << name << " is missing in kavril.1";
}

TEST(DebianPackage, InstallsTheProgramAndItsManualPage) {
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

  const fs::path root = scratch.path() / "root";
  output_of("dpkg-deb -x '" + deb.string() + "' '" + root.string() + "'", scratch);
  EXPECT_EQ(read_file(root / "usr/share/man/man1/kavril.1"), read_file(KAVRIL_MAN_PAGE));
  const std::string installed = (root / "usr/bin/kavril").string();
  EXPECT_EQ(output_of("'" + installed + "' --version", scratch),
            output_of("'" KAVRIL_BINARY "' --version", scratch));
}

}  // namespace
}  // namespace kavril::test

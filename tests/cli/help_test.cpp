#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

// The names --help lists under "Keywords read:" (DESCR_<keyword> and
// MSG_<keyword> aside) are the keywords the program reads.
TEST(Help, HelpListsTheKeywordsRead) {
  test::ScratchDir dir;
  ASSERT_EQ(test::run_kavril(dir.path(), "--help", dir.path() / "help"), 0);
  const std::string help = test::read_file(dir.path() / "help");
  std::istringstream section(help.substr(help.find("Keywords read:\n\n") + 16));
  std::set<std::string> listed;
  for (std::string line; std::getline(section, line) && !line.empty();) {
    if (line[2] == ' ' || line.find('<') != std::string::npos) continue;  // continued text
    std::istringstream names(line.substr(2, line.find("  ", 2) - 2));
    for (std::string name; std::getline(names >> std::ws, name, ',');) listed.insert(name);
  }
  EXPECT_EQ(listed, std::set<std::string>(kKeywordsRead.begin(), kKeywordsRead.end()));
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

// The keywords that --help lists under "Keywords read:" (the DESCR_<keyword>
// and MSG_<keyword> entries aside) are the keywords the program reads.
TEST(CMDOPT, HelpListsTheKeywordsRead) {
  test::ScratchDir dir;
  ASSERT_EQ(test::run_kavril(dir.path(), "--help", dir.path() / "help"), 0);
  std::istringstream help(test::read_file(dir.path() / "help"));
  std::vector<std::string> listed;
  std::string line;
  while (std::getline(help, line) && line != "Keywords read:") {
  }
  while (std::getline(help, line) && line.empty()) {
  }
  for (; !line.empty(); std::getline(help, line)) {
    if (line.size() < 3 || line[2] == ' ' || line.find('<') != std::string::npos) continue;
    std::istringstream names(line.substr(0, line.find("  ", 2)));
    for (std::string name; names >> name;) listed.push_back(name.substr(0, name.find(',')));
  }
  std::vector<std::string> read(kKeywordsRead.begin(), kKeywordsRead.end());
  std::sort(listed.begin(), listed.end());
  std::sort(read.begin(), read.end());
  EXPECT_EQ(listed, read);
}

}  // namespace
}  // namespace kavril

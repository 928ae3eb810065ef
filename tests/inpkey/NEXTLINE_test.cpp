#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kUnit = 43;

std::string blank_lines(int n) {
  std::string lines;
  for (int i = 0; i < n; ++i) lines += i % 2 ? "\n" : "   \n";
  return lines;
}

TEST(NEXTLINE, CommentsBlankLinesLongLinesAndTheBlankLineLimit) {
  test::ScratchDir dir;
  const std::string longLine = "K" + std::string(99999, 'v');
  test::write_file(dir.file("keys"), "\n   \n# c\n   ! indented\n*\n  KEY 1 \"x\"  \n" + longLine +
                                         "\n" + std::string(255, ' ') + "HIDDEN\n" +
                                         blank_lines(999) + "AFTER_1000\n" + blank_lines(1001) +
                                         "AFTER_1001\n   ! not a comment unshifted\n");
  ASSERT_EQ(platform::open_unit(kUnit, dir.file("keys"), platform::OpenStatus::Old, true, true), 0);
  EXPECT_EQ(NEXTLINE(kUnit, 1), "KEY 1 \"x\"");
  EXPECT_EQ(NEXTLINE(kUnit, 1), longLine.substr(0, 255));
  EXPECT_EQ(NEXTLINE(kUnit, 1), "AFTER_1000");  // HIDDEN was cut away: 1000 blank lines
  EXPECT_EQ(NEXTLINE(kUnit, 1), "");            // the line after the limit is dropped
  EXPECT_EQ(NEXTLINE(kUnit, 0), "   ! not a comment unshifted");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "");
  platform::close_unit(kUnit);
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kUnit = 43;

class NextLine : public testing::Test {
 protected:
  void open(const std::string& contents) {
    test::write_file(dir_.file("keys"), contents);
    ASSERT_EQ(platform::open_unit(kUnit, dir_.file("keys"), platform::OpenStatus::Old, true, true),
              0);
  }
  void TearDown() override { platform::close_unit(kUnit); }

 private:
  test::ScratchDir dir_;
};

std::string blank_lines(int n) {
  std::string lines;
  for (int i = 0; i < n; ++i) lines += i % 2 ? "\n" : "   \n";
  return lines;
}

TEST_F(NextLine, SkipsBlankAndCommentLinesAndShiftsLeft) {
  open("\n   \n# comment\n   ! indented comment\n*\n  KEY 1 \"x\"  \nNEXT\n");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "KEY 1 \"x\"");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "NEXT");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "");
}

TEST_F(NextLine, WithoutAdjustIndentedLinesAreNoComments) {
  open("   ! not a comment here\n");
  EXPECT_EQ(NEXTLINE(kUnit, 0), "   ! not a comment here");
}

TEST_F(NextLine, MoreThan1000BlankLinesEndTheInput) {
  open(blank_lines(1000) + "AFTER_1000\n" + blank_lines(1001) + "AFTER_1001\nLAST\n");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "AFTER_1000");
  EXPECT_EQ(NEXTLINE(kUnit, 1), "");  // the line after the limit is dropped
  EXPECT_EQ(NEXTLINE(kUnit, 1), "LAST");
}

TEST_F(NextLine, LinesAreCutTo255CharactersBeforeTheShift) {
  const std::string longLine = "K" + std::string(99999, 'v');
  open(longLine + "\n" + std::string(255, ' ') + "HIDDEN\nEND\n");
  EXPECT_EQ(NEXTLINE(kUnit, 1), longLine.substr(0, 255));
  EXPECT_EQ(NEXTLINE(kUnit, 1), "END");
}

}  // namespace
}  // namespace kavril

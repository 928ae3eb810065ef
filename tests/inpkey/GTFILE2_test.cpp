#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

struct Files {
  int nFil = -1;
  FileNameMatrix filnam;
};

Files files(std::string_view keyWord, int nCol, std::size_t elementLength = 255) {
  Files f;
  GTFILE2(keyWord, nCol, f.nFil, f.filnam, elementLength);
  return f;
}

class GTFILE2Test : public test::KeywordTest {};
using GTFILE2DeathTest = GTFILE2Test;

TEST_F(GTFILE2Test, ColumnPathAndExtensionMakeTheDerivedNames) {
  load(
      "BRDFIL 3\n"
      "  \"C:\\GPS\\ORB\\BRDC1820.10N\"\n"
      "  \"  /data/brdc1830.10n\"\n"
      "  \"plain\"\n"
      "BRDFIL_PTH_COL_2 1 \"D:\\RINEX\"\n"
      "BRDFIL_EXT_COL_2 1 \"RNXX\"\n"
      "BRDFIL_PTH_COL_3 1 \"/out/\"\n"
      "BRDFIL_EXT_COL_4 1 \"N\"\n"
      "BRDFIL_PTH_COL_4 1 \".\"\n"
      "BRDFIL_EXT_COL_3 0\n");
  const Files f = files("BRDFIL", 4);
  ASSERT_EQ(f.nFil, 3);
  EXPECT_EQ(f.filnam.at(1, 1), "C:\\GPS\\ORB\\BRDC1820.10N");
  EXPECT_EQ(f.filnam.at(2, 1), "D:\\RINEX\\BRDC1820.RNX");
  EXPECT_EQ(f.filnam.at(3, 1), "/out/BRDC1820");
  EXPECT_EQ(f.filnam.at(4, 1), "BRDC1820.N");
  EXPECT_EQ(f.filnam.at(1, 2), "/data/brdc1830.10n");
  EXPECT_EQ(f.filnam.at(2, 2), "D:\\RINEX\\brdc1830.RNX");
  EXPECT_EQ(f.filnam.at(3, 3), "/out/plain");
  EXPECT_EQ(messages(), "");
}

TEST_F(GTFILE2Test, MissingColumnKeywordsLeaveTheBaseNameAndAreReported) {
  const std::string name = load("BRDFIL 1 \"/data/brdc1820.10n\"\n");
  const Files f = files("BRDFIL", 2);
  ASSERT_EQ(f.nFil, 1);
  EXPECT_EQ(f.filnam.at(2, 1), "brdc1820");
  const std::string tail = "\n                  Input file name:  " + name + "\n\n";
  EXPECT_EQ(messages(), "\n *** SR READKEYS: Keyword \"BRDFIL_EXT_COL_2\" not found." + tail +
                            "\n *** SR READKEYS: Keyword \"BRDFIL_PTH_COL_2\" not found." + tail);
}

TEST_F(GTFILE2Test, LongPathsKeepTheirSeparatorAndResultsAreCut) {
  const std::string path = "/a/path/of/more/than/thirty/two/characters";
  load("BRDFIL 1 \"brdc1820.10n\"\nBRDFIL_PTH_COL_2 1 \"" + path + "\"\nBRDFIL_EXT_COL_2 1 RNX\n");
  EXPECT_EQ(files("BRDFIL", 2).filnam.at(2, 1), path + "/brdc1820.RNX");
  const Files cut = files("BRDFIL", 2, 10);
  EXPECT_EQ(cut.filnam.at(1, 1), "brdc1820.1");
  EXPECT_EQ(cut.filnam.at(2, 1), "/a/path/of");
}

TEST_F(GTFILE2Test, BlankMissingOrEmptyKeywordsGiveNoFiles) {
  load(
      "BLANK 0\nNONE -1\nBLANK_PTH_COL_2 1 x\nBLANK_EXT_COL_2 1 y\n"
      "NONE_PTH_COL_2 1 x\nNONE_EXT_COL_2 1 y\n");
  EXPECT_EQ(files("BLANK", 2).nFil, 0);
  EXPECT_EQ(files("NONE", 2).nFil, 0);
  EXPECT_EQ(files("MISSING", 1).nFil, 0);
  EXPECT_NE(messages().find("\"MISSING\" not found."), std::string::npos);
}

TEST_F(GTFILE2DeathTest, MoreThanNineColumnsStopTheRun) {
  load("BRDFIL 1 x\n");
  int nFil = 0;
  FileNameMatrix filnam;
  EXPECT_EXIT(GTFILE2("BRDFIL", 10, nFil, filnam), testing::ExitedWithCode(1), "");
  const std::string expected = "  *** gtfile: too many columns:  10\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace kavril

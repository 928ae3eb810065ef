#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"

namespace kavril {
namespace {

class GTFILE2Test : public test::KeywordTest {
 protected:
  // Row `fil` of the matrix, its columns separated by "|".
  std::string row(int fil) const {
    std::string text = filnam.at(1, fil);
    for (int col = 2; col <= filnam.columns(); ++col) text += "|" + filnam.at(col, fil);
    return text;
  }
  int files(std::string_view keyWord, int nCol, std::size_t elementLength = 255) {
    int nFil = -1;
    GTFILE2(keyWord, nCol, nFil, filnam, elementLength);
    return nFil;
  }
  FileNameMatrix filnam;
};
using GTFILE2DeathTest = GTFILE2Test;

TEST_F(GTFILE2Test, ColumnPathsAndExtensionsMakeTheDerivedNames) {
  load(
      "BRDFIL 3\n  \"C:\\GPS\\ORB\\BRDC1820.10N\"\n  \"  /data/brdc1830.10n\"\n  \"plain\"\n"
      "BRDFIL_PTH_COL_2 1 \"D:\\RINEX\"\nBRDFIL_EXT_COL_2 1 \"RNXX\"\n"
      "BRDFIL_PTH_COL_3 1 \"/a/path/of/more/than/thirty/two/characters\"\nBRDFIL_EXT_COL_3 0\n"
      "BRDFIL_PTH_COL_4 1 \".\"\nBRDFIL_EXT_COL_4 1 \"N\"\n");
  ASSERT_EQ(files("BRDFIL", 4), 3);
  EXPECT_EQ(row(1),
            "C:\\GPS\\ORB\\BRDC1820.10N|D:\\RINEX\\BRDC1820.RNX|"
            "/a/path/of/more/than/thirty/two/characters/BRDC1820|BRDC1820.N");
  EXPECT_EQ(row(2),
            "/data/brdc1830.10n|D:\\RINEX\\brdc1830.RNX|"
            "/a/path/of/more/than/thirty/two/characters/brdc1830|brdc1830.N");
  EXPECT_EQ(messages(), "");
  ASSERT_EQ(files("BRDFIL", 2, 10), 3);
  EXPECT_EQ(row(1), "C:\\GPS\\ORB|D:\\RINEX\\B");
}

TEST_F(GTFILE2Test, MissingColumnKeywordsLeaveTheBaseNameAndAreReported) {
  const std::string name = load("BRDFIL 1 \"/data/brdc1820.10n\"\nBLANK 0\nNONE -1\n");
  ASSERT_EQ(files("BRDFIL", 2), 1);
  EXPECT_EQ(row(1), "/data/brdc1820.10n|brdc1820");
  const std::string tail = "\n                  Input file name:  " + name + "\n\n";
  EXPECT_EQ(messages(), "\n *** SR READKEYS: Keyword \"BRDFIL_EXT_COL_2\" not found." + tail +
                            "\n *** SR READKEYS: Keyword \"BRDFIL_PTH_COL_2\" not found." + tail);
  EXPECT_EQ(files("BLANK", 1), 0);
  EXPECT_EQ(files("NONE", 1), 0);
  EXPECT_EQ(files("MISSING", 1), 0);
}

TEST_F(GTFILE2DeathTest, MoreThanNineColumnsStopTheRun) {
  load("BRDFIL 1 x\n");
  EXPECT_EXIT(files("BRDFIL", 10), testing::ExitedWithCode(1), "");
  const std::string expected = "  *** gtfile: too many columns:  10\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace kavril

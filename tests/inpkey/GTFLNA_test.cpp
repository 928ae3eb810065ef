#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

const char* const kPanel =
    "CONST 1 \"/gps/CONST.\"\n"
    "SYSOUT 0\n"
    "NOLIST -1\n"
    "CONST_BLANK 1 \" \"\n"
    "DESCR_CONST_BLANK 1 \"General constants\"\n";

class GTFLNATest : public test::KeywordTest {
 protected:
  void SetUp() override {
    KeywordTest::SetUp();
    load(kPanel);
  }
};
using GTFLNADeathTest = GTFLNATest;

TEST_F(GTFLNATest, NamesOfPresentAndMissingKeywords) {
  std::string name = "previous";
  int irCode = -1;
  GTFLNA(1, "CONST", name, irCode);
  EXPECT_EQ(name, "/gps/CONST.");
  EXPECT_EQ(irCode, 0);
  GTFLNA(0, "SYSERR", name, irCode);
  EXPECT_EQ(name, "");
  EXPECT_EQ(irCode, 1);
  GTFLNA(0, "SYSOUT", name, irCode);
  EXPECT_EQ(irCode, 1);
  GTFLNA(0, "NOLIST", name, irCode);
  EXPECT_EQ(name, "");
  EXPECT_EQ(irCode, 1);
  EXPECT_EQ(messages(), "");

  name = "kept";
  irCode = 7;
  GTFLNA(1, "DEFNAM", name, irCode);
  EXPECT_EQ(name, "kept");
  EXPECT_EQ(irCode, 7);
}

TEST_F(GTFLNADeathTest, ObligatoryBlankNameStopsTheRun) {
  std::string name;
  int irCode = 0;
  EXPECT_EXIT(GTFLNA(1, "SYSOUT", name, irCode), testing::ExitedWithCode(1), "");
  const std::string expected =
      "\n *** SR GTFLNA: File name not found or blank\n"
      "                Keyword:  SYSOUT\n\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

TEST_F(GTFLNADeathTest, ObligatoryNameShowsTheOptionDescription) {
  std::string name;
  int irCode = 0;
  EXPECT_EXIT(GTFLNA(1, "CONST_BLANK", name, irCode), testing::ExitedWithCode(1), "");
  const std::string expected =
      "\n *** SR GTFLNA: File name not found or blank\n"
      "                Keyword:  CONST_BLANK\n"
      "                Option:   General constants\n\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

TEST_F(GTFLNADeathTest, ObligatoryMissingKeywordIsReportedTwice) {
  std::string name;
  int irCode = 0;
  EXPECT_EXIT(GTFLNA(1, "SYSERR", name, irCode), testing::ExitedWithCode(1), "");
  const std::string text = messages();
  const std::size_t notFound = text.find("Keyword \"SYSERR\" not found.");
  EXPECT_NE(notFound, std::string::npos);
  EXPECT_GT(text.find("File name not found or blank"), notFound);
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"

namespace kavril {
namespace {

class GTFLNATest : public test::KeywordTest {
 protected:
  void SetUp() override {
    KeywordTest::SetUp();
    load(
        "CONST 1 \"/gps/CONST.\"\nSYSOUT 0\nNOLIST -1\n"
        "CONST_BLANK 1 \" \"\nDESCR_CONST_BLANK 1 \"General constants\"\n");
  }
  // Expects GTFLNA to stop the run with a message that ends in `block`.
  void expect_stop(std::string_view keyWord, const std::string& block) {
    std::string name;
    int irCode = 0;
    EXPECT_EXIT(GTFLNA(1, keyWord, name, irCode), testing::ExitedWithCode(1), "");
    const std::string text = messages();
    const std::size_t start = text.find("\n *** SR GTFLNA");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(text.substr(start, block.size()), block);
  }
  const std::string title = "\n *** SR GTFLNA: File name not found or blank\n";
};
using GTFLNADeathTest = GTFLNATest;

TEST_F(GTFLNATest, NamesOfPresentAndMissingKeywords) {
  std::string name = "previous";
  int irCode = -1;
  GTFLNA(1, "CONST", name, irCode);
  EXPECT_EQ(name + std::to_string(irCode), "/gps/CONST.0");
  for (const char* optional : {"SYSERR", "SYSOUT", "NOLIST"}) {
    GTFLNA(0, optional, name, irCode);
    EXPECT_EQ(name + std::to_string(irCode), "1") << optional;
  }
  EXPECT_EQ(messages(), "");
  name = "kept";
  GTFLNA(1, "DEFNAM", name, irCode);
  EXPECT_EQ(name + std::to_string(irCode), "kept1");
}

TEST_F(GTFLNADeathTest, ObligatoryBlankOrMissingNamesStopTheRun) {
  expect_stop("SYSOUT", title + "                Keyword:  SYSOUT\n\n");
  EXPECT_EQ(messages().find("READKEYS"), std::string::npos);
  clear_messages();
  expect_stop("CONST_BLANK", title + "                Keyword:  CONST_BLANK\n" +
                                 "                Option:   General constants\n\n");
  clear_messages();
  expect_stop("SYSERR", title);
  EXPECT_EQ(messages().find("\n *** SR READKEYS: Keyword \"SYSERR\" not found."), 0u);
}

}  // namespace
}  // namespace kavril

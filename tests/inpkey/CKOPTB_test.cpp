// Check boxes and radio-button sets: selection results by severity and the
// selection report.
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

class CkoptbTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {{"OFF", {"0"}},
                                      {"ON", {"1"}},
                                      {"ON2", {"1"}},
                                      {"TWO", {"2"}},
                                      {"PAIR", {"1", "0"}},
                                      {"MSG_OFF", {"Off box"}}});
    messages = dir.file("messages");
    test::messages_to(50, messages);
  }
  void TearDown() override { test::reset_run_state(); }
  std::string report() { return test::close_and_read(50, messages); }

  // Runs CKOPTB with both selection results and the error value -1.
  void check(int severity, std::vector<std::string> keys, std::optional<int> initVal = {}) {
    CkoptbOptional opt;
    opt.selIndex = &selIndex;
    opt.selFlag = &selFlag;
    opt.initVal = initVal;
    opt.errorVal = -1;
    CKOPTB(severity, keys, "CALLER", "Set description", errCount, opt);
  }

  test::ScratchDir dir;
  std::string messages;
  int errCount = 0;
  int selIndex = -5;
  bool selFlag = true;
};

TEST_F(CkoptbTest, SingleCheckBox) {
  check(1, {"OFF"});
  EXPECT_FALSE(selFlag);
  EXPECT_EQ(selIndex, 0);
  check(1, {"OFF"}, 4);
  EXPECT_EQ(selIndex, 4);
  check(1, {"ON"});
  EXPECT_TRUE(selFlag);
  EXPECT_EQ(selIndex, 1);
  EXPECT_EQ(errCount, 0);
  EXPECT_EQ(report(), "");
}

TEST_F(CkoptbTest, BadCheckBoxIsReportedOnlyByTheIntegerCheck) {
  check(1, {"TWO"});
  EXPECT_EQ(errCount, 1);
  EXPECT_FALSE(selFlag);
  EXPECT_EQ(selIndex, -1);
  std::string text = report();
  EXPECT_NE(text.find(" *** SR CKOPTI: The value for keyword \"TWO\" exceeds the range.\n"
                      "                Input file:  input.inp\n"
                      "                Called by:   CALLER\n"
                      "                Option:      Set description\n"
                      "                Bad value:    2\n"
                      "                Valid range: ( 0 <= value <= 1 )\n\n"),
            std::string::npos);
  EXPECT_EQ(text.find("CKOPTB"), std::string::npos);

  // As a warning, the value counts as ticked.
  test::messages_to(50, messages);
  check(0, {"TWO"});
  EXPECT_EQ(errCount, 1);
  EXPECT_TRUE(selFlag);
  EXPECT_EQ(selIndex, 1);
  EXPECT_NE(report().find(" ### SR CKOPTI: The value for keyword \"TWO\" exceeds the range.\n"),
            std::string::npos);

  // Two values are an error even for a warning check.
  test::messages_to(50, messages);
  check(0, {"PAIR"});
  EXPECT_EQ(errCount, 2);
  EXPECT_FALSE(selFlag);
  EXPECT_NE(report().find(" *** SR CKOPTN: Too many items found for keyword \"PAIR\".\n"),
            std::string::npos);
}

TEST_F(CkoptbTest, RadioButtonsNeedExactlyOneTicked) {
  check(1, {"OFF", "ON", "OFF"});
  EXPECT_EQ(selIndex, 2);
  EXPECT_TRUE(selFlag);
  check(1, {"OFF", "OFF", "OFF"});
  EXPECT_EQ(errCount, 1);
  EXPECT_EQ(selIndex, -1);
  EXPECT_FALSE(selFlag);
  EXPECT_EQ(report(),
            "\n"
            " *** SR CKOPTB: No item was selected for a set of radiobottons.\n"
            "                Input file:  input.inp\n"
            "                Called by:   CALLER\n"
            "                Option:      Off box\n"
            "                Item 1:      OFF = 0\n"
            "                Item 2:      OFF = 0\n"
            "                Item 3:      OFF = 0\n"
            "\n");

  test::messages_to(50, messages);
  check(1, {"ON", "OFF", "ON2"});
  EXPECT_EQ(errCount, 2);
  EXPECT_FALSE(selFlag);
  EXPECT_NE(report().find(" *** SR CKOPTB: More than one item was selected for a set of radiobottons.\n"),
            std::string::npos);

  // As a warning, the later selection stands.
  test::messages_to(50, messages);
  check(0, {"ON", "OFF", "ON2"});
  EXPECT_EQ(errCount, 2);
  EXPECT_TRUE(selFlag);
  EXPECT_EQ(selIndex, 3);
  EXPECT_NE(report().find(" ### SR CKOPTB: More than one item"), std::string::npos);
}

TEST_F(CkoptbTest, ItemLabelsAlignToTheWidestPosition) {
  CkoptbOptional opt;
  opt.colTitle = "Column";
  opt.entryTitle = "Entry";
  opt.lineNum = 3;
  const std::vector<std::string> keys(12, "OFF");
  CKOPTB(1, keys, "CALLER", "Set description", errCount, opt);
  const std::string text = report();
  EXPECT_NE(text.find("                Column:      Column\n"
                      "                Entry for:   Entry\n"
                      "                Line number:     3\n"
                      "                Item  1:     OFF = 0\n"),
            std::string::npos);
  EXPECT_NE(text.find("                Item 12:     OFF = 0\n\n"), std::string::npos);
}

TEST_F(CkoptbTest, IllegalSeverityStops) {
  EXPECT_EXIT(check(-1, {"ON"}), testing::ExitedWithCode(1), "");
  EXPECT_EQ(test::read_file(messages),
            "\n"
            " *** SR CKOPTB: Dear programmer, you did a FATAL ERROR!!!\n"
            "                The first parameter has to be \"0\" or \"1\".\n"
            "\n");
}

}  // namespace
}  // namespace kavril

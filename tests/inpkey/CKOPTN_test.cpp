// Option check of the number of values of a keyword.
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

class CkoptnTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("/data/run/input.inp", {{"DESCR_KEY", {"Described in the input file"}}});
    messages = dir.file("messages");
    test::messages_to(50, messages);
  }
  void TearDown() override { test::reset_run_state(); }
  test::ScratchDir dir;
  std::string messages;
};

TEST_F(CkoptnTest, TooManyValuesAreReportedAndCountedBySeverity) {
  const std::vector<std::string> values = {"1", "0", "1"};
  int numItems = 0;
  int errCount = 4;
  CKOPTN(0, "KEY  ", values, numItems, "CALLER  ", "Caller's description", errCount, 1);
  EXPECT_EQ(numItems, 3);
  EXPECT_EQ(errCount, 4);
  CKOPTN(1, "OTHER", values, numItems, "CALLER", "Caller's description", errCount, 123456);
  EXPECT_EQ(errCount, 4);
  CKOPTN(1, "OTHER", values, numItems, "CALLER", "Caller's description", errCount, -123456);
  EXPECT_EQ(errCount, 5);
  EXPECT_EQ(test::close_and_read(50, messages),
            "\n"
            " ### SR CKOPTN: Too many items found for keyword \"KEY\".\n"
            "                Input file:  /data/run/input.inp\n"
            "                Called by:   CALLER\n"
            "                Option:      Described in the input file\n"
            "                Num of items:    3\n"
            "                Max of items:    1\n"
            "\n"
            "\n"
            " *** SR CKOPTN: Too many items found for keyword \"OTHER\".\n"
            "                Input file:  /data/run/input.inp\n"
            "                Called by:   CALLER\n"
            "                Option:      Caller's description\n"
            "                Num of items:       3\n"
            "                Max of items: -123456\n"
            "\n");
}

TEST_F(CkoptnTest, IllegalSeverityStops) {
  EXPECT_EXIT(
      ([&] {
        int numItems = 0;
        int errCount = 0;
        CKOPTN(2, "KEY", {}, numItems, "CALLER", "", errCount, 1);
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_EQ(test::read_file(messages),
            "\n"
            " *** SR CKOPTN: Dear programmer, you did a FATAL ERROR!!!\n"
            "                The first parameter has to be \"0\" or \"1\".\n"
            "\n");
}

}  // namespace
}  // namespace kavril

// Option descriptions from the MSG_ and DESCR_ companions of a keyword.
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

const std::string kSixty = "Sixty characters of description text, ending here: 123456789";

class DescrpTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {{"DESCR_LONG", {kSixty}},
                                      {"DESCR_TEN", {"0123456789"}},
                                      {"MSG_BOTH", {"from MSG_"}},
                                      {"DESCR_BOTH", {"from DESCR_"}},
                                      {"DESCR_OTHER", {"from DESCR_"}},
                                      {"MSG_OTHER", {"from MSG_"}},
                                      {"DESCR_EMPTY", {}},
                                      {"DESCR_BLANK", {"   "}}});
  }
  void TearDown() override { test::reset_run_state(); }

  std::string descrp(std::string_view key, int length) {
    std::string descr = "previous contents";
    DESCRP(key, length, descr);
    return std::string(platform::trim_right(descr));
  }
  test::ScratchDir dir;
};

TEST_F(DescrpTest, TextsAreShortenedToTheRequestedLength) {
  ASSERT_EQ(kSixty.size(), 60u);
  EXPECT_EQ(descrp("LONG", 45), kSixty.substr(0, 42) + " ..");
  EXPECT_EQ(descrp("LONG  ", 60), kSixty);
  EXPECT_EQ(descrp("TEN", 10), "0123456789");
  EXPECT_EQ(descrp("TEN", 9), "012345 ..");
  EXPECT_EQ(descrp("TEN", 4), "0 ..");
  EXPECT_EQ(descrp("TEN", 3), "012");
  EXPECT_EQ(descrp("TEN", 1), "0");
}

TEST_F(DescrpTest, TheEarlierCompanionWinsAndMissingOnesGiveBlank) {
  EXPECT_EQ(descrp("BOTH", 45), "from MSG_");
  EXPECT_EQ(descrp("OTHER", 45), "from DESCR_");
  EXPECT_EQ(descrp("NONE", 45), "");
  EXPECT_EQ(descrp("EMPTY", 45), "");
  EXPECT_EQ(descrp("ten", 45), "");  // names are case-sensitive
  // A blank companion or none at all: the illegal length goes unnoticed.
  EXPECT_EQ(descrp("BLANK", 0), "");
  EXPECT_EQ(descrp("NONE", -4), "");
  inpKey.runPhase = 1;
  EXPECT_EQ(descrp("TEN", 45), "");
}

TEST_F(DescrpTest, IllegalLengthStopsWhenTheTextMustBeShortened) {
  const std::string messages = dir.file("messages");
  EXPECT_EXIT(
      ([&] {
        test::messages_to(50, messages);
        descrp("TEN   ", 0);
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_EQ(test::read_file(messages),
            "\n"
            " *** SR DESCRP: Illegal length of description string:     0\n"
            "                Keyword:  TEN\n"
            "\n");
}

}  // namespace
}  // namespace kavril

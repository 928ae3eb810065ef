// Report of a failed open: status reduction, caller field, the system's
// reason, message unit.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

using test::read_file;

class OpnerrTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    messages = dir.file("messages");
  }
  void TearDown() override { test::reset_run_state(); }
  test::ScratchDir dir;
  std::string messages;
};

TEST_F(OpnerrTest, StatusesThatReduceToZeroPass) {
  ASSERT_EQ(platform::open_unit(50, messages, platform::OpenStatus::Unknown, true, false), 0);
  for (int iostat : {0, 256, -512}) OPNERR(50, 999, iostat, "file", "OPNSYS");
  platform::close_unit(50);
  EXPECT_EQ(read_file(messages), "");
}

TEST_F(OpnerrTest, ReportShowsTheReducedStatusAndTheCallerRightAligned) {
  struct Case {
    int iostat;
    const char* caller;
    const char* callerField;
    const char* status;
    const char* reason;
  };
  const Case cases[] = {{29, "OPNSYS", "    OPNSYS", "    29", "Illegal seek"},
                        {256 + 2, "readInpf  ", "  readInpf", "     2", "No such file or directory"},
                        {-1, "CALLER_LONGER", "CALLER_LON", "    -1", "Unknown error -1"}};
  for (const Case& c : cases) {
    EXPECT_EXIT(
        ([&] {
          platform::open_unit(50, messages, platform::OpenStatus::Unknown, true, false);
          OPNERR(50, 998, c.iostat, "out/prog.out   ", c.caller);
        }()),
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_file(messages), std::string("\n"
                                               " *** SR OPNERR: OPEN FAILED\n"
                                               "                FILE NAME : out/prog.out\n"
                                               "                PGM./SUBR.: ") +
                                       c.callerField + "\n                IOSTAT    : " + c.status +
                                       "\n                REASON    : " + c.reason +
                                       "\n                FILE UNIT :    998\n\n");
  }
}

TEST_F(OpnerrTest, MessageUnitZeroIsStandardOutput) {
  const std::string output = dir.file("stdout");
  EXPECT_EXIT(
      ([&] {
        test::redirect_stdout(output);
        OPNERR(0, 5, 2, "sysinp.txt", "OPNSYS");
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_NE(read_file(output).find(" *** SR OPNERR: OPEN FAILED\n"), std::string::npos);
}

}  // namespace
}  // namespace kavril

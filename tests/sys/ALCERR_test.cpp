// Report of a failed allocation: the size text of the extents and the stop.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

using test::read_file;

class AlcerrTest : public testing::Test {
 protected:
  void SetUp() override { test::reset_run_state(); }
  void TearDown() override { test::reset_run_state(); }
  test::ScratchDir dir;
};

TEST_F(AlcerrTest, StatusZeroReturnsWithoutOutput) {
  const std::string messages = dir.file("messages");
  ASSERT_EQ(platform::open_unit(50, messages, platform::OpenStatus::Unknown, true, false), 0);
  lfnError = 50;
  const long long extent[] = {5000};
  ALCERR(0, "keyValue", extent, "readKeys");
  platform::close_unit(50);
  EXPECT_EQ(read_file(messages), "");
}

TEST_F(AlcerrTest, ReportShowsEveryExtentInEightColumnsAndStops) {
  const std::string messages = dir.file("messages");
  EXPECT_EXIT(
      ([&] {
        platform::open_unit(50, messages, platform::OpenStatus::Unknown, true, false);
        lfnError = 50;
        const long long extents[] = {3, 20, 123456789, -1234567};
        ALCERR(12, "filnam  ", extents, "GTFILE2 ");
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_EQ(read_file(messages),
            "\n"
            " *** SR ALCERR: ALLOCATION OF AN ARRAY FAILED\n"
            "                VARIABLE NAME : filnam\n"
            "                SIZE OF ARRAY : (       3,       20, ********, -1234567)\n"
            "                PGM./SUBR.    : GTFILE2\n"
            "                ERROR STATUS  :     12\n"
            "\n");
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

TEST(GPSMJD, WeekAndSecondsToMjd) {
  EXPECT_EQ(GPSMJD(0.0, 0), 44244.0);
  EXPECT_EQ(GPSMJD(302400.0, 1400), 54047.5);
  EXPECT_EQ(GPSMJD(0.0, 1024), 44244.0 + 7168.0);  // no roll-over at 1024
  EXPECT_EQ(GPSMJD(604800.0, 2047), GPSMJD(0.0, 2048));
  // The week is multiplied in double: the largest weeks do not overflow.
  EXPECT_EQ(GPSMJD(0.0, std::numeric_limits<int>::max()), 2147483647.0 * 7.0 + 44244.0);
}

TEST(IYEAR4, PivotAt1960) {
  EXPECT_EQ(IYEAR4(59), 2059);
  EXPECT_EQ(IYEAR4(60), 1960);
  EXPECT_EQ(IYEAR4(99), 1999);
  EXPECT_EQ(IYEAR4(0), 2000);
  EXPECT_EQ(IYEAR4(100), 100);
  EXPECT_EQ(IYEAR4(2013), 2013);
  EXPECT_EQ(IYEAR4(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

TEST(DJUL, KnownDates) {
  EXPECT_EQ(DJUL(1980, 1, 6.0), 44244.0);  // start of GPS week 0
  EXPECT_EQ(DJUL(2000, 1, 1.0), 51544.0);
  EXPECT_EQ(DJUL(2000, 2, 29.5), 51603.5);  // leap day, month shifted to 14
  EXPECT_EQ(DJUL(2000, 3, 1.0), 51604.0);
  EXPECT_EQ(DJUL(1900, 3, 1.0), 15079.0);   // 1900 is no leap year
  EXPECT_EQ(DJUL(2006, 11, 5.0), 54044.0);  // start of GPS week 1400
}

// Every day from 1900 to 2100 and back: DJUL and JMT are each other's
// inverse, which checks both month formulas (single precision in DJUL,
// double in JMT) for every month of every year.
TEST(DJUL, JmtInvertsItForEveryDayOfTwoCenturies) {
  const double first = DJUL(1900, 1, 1.0);
  const double last = DJUL(2100, 12, 31.0);
  int previousDay = 0;
  for (double mjd = first; mjd <= last; mjd += 1.0) {
    int year = 0, month = 0;
    double day = 0.0;
    JMT(mjd + 0.25, year, month, day);
    ASSERT_EQ(DJUL(year, month, day), mjd + 0.25) << mjd;
    ASSERT_TRUE(day - 0.25 == previousDay + 1 || day == 1.25) << mjd;
    previousDay = static_cast<int>(day);
  }
}

TEST(DJUL, AnyIntArgumentsAreDefined) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  for (int year : {kMin, -1, kMax}) {
    for (int month : {kMin, 0, 2, kMax}) {
      const double mjd = DJUL(year, month, 1.0);
      EXPECT_EQ(mjd, mjd);  // a number, computed without overflow
    }
  }
}

}  // namespace
}  // namespace kavril

// Calendar and time conversions: DMOD, IDINT, IDNINT, DJUL, JMT, GPSMJD, IYEAR4.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();
const double kInf = std::numeric_limits<double>::infinity();

// Out-of-range conversions are undefined in C++: these saturate instead.
TEST(DMOD, RemainderAndSafeIntConversions) {
  using namespace l_basfun;
  EXPECT_EQ(DMOD(-7.5, 2.0), -1.5);
  EXPECT_EQ(DMOD(7.5, -2.0), 1.5);
  EXPECT_EQ(IDINT(-2.9), -2);
  EXPECT_EQ(IDNINT(-2.5), -3);
  EXPECT_EQ(IDINT(2147483647.9), kMax);
  EXPECT_EQ(IDNINT(2147483647.5), kMax);
  EXPECT_EQ(IDINT(-2147483648.9), kMin);
  EXPECT_EQ(IDNINT(-kInf), kMin);
  EXPECT_EQ(IDINT(std::nan("")), 0);
  EXPECT_EQ(IDNINT(std::nan("")), 0);
}

// One anchor and every day from 1900 to 2100 and back checks the month
// formulas of both routines (single precision in DJUL) for every month.
TEST(JMT, InvertsDjulForEveryDayOfTwoCenturies) {
  EXPECT_EQ(DJUL(1980, 1, 6.0), 44244.0);
  EXPECT_EQ(DJUL(2000, 2, 29.5), 51603.5);
  int year = 0, month = 0, previousDay = 0;
  double day = 0.0;
  for (double mjd = DJUL(1900, 1, 1.0); mjd <= DJUL(2100, 12, 31.0); mjd += 1.0) {
    JMT(mjd + 0.25, year, month, day);
    ASSERT_EQ(DJUL(year, month, day), mjd + 0.25) << mjd;
    ASSERT_TRUE(day == previousDay + 1.25 || day == 1.25) << mjd;
    previousDay = static_cast<int>(day);
  }
  JMT(51543.0, year, month, day);
  EXPECT_EQ(year * 10000 + month * 100 + day, 19991231.0);
}

// Absurd arguments give absurd dates, but no overflow and no undefined
// conversion (the sanitizer build checks this).
TEST(JMT, AnyArgumentIsDefined) {
  int year = 0, month = 0;
  double day = 0.0;
  for (double mjd : {1e300, -1e300, kInf, std::nan(""), 2.5e9, -2.5e9}) JMT(mjd, year, month, day);
  for (int value : {kMin, kMax}) {
    EXPECT_FALSE(std::isnan(DJUL(value, value, 1.0)));
    EXPECT_EQ(GPSMJD(0.0, value), value * 7.0 + 44244.0);
  }
}

TEST(GPSMJD, WeekAndSecondsToMjdAndTwoDigitYears) {
  EXPECT_EQ(GPSMJD(0.0, 0), 44244.0);
  EXPECT_EQ(GPSMJD(302400.0, 1400), 54047.5);
  EXPECT_EQ(IYEAR4(0), 2000);
  EXPECT_EQ(IYEAR4(59), 2059);
  EXPECT_EQ(IYEAR4(60), 1960);
  EXPECT_EQ(IYEAR4(100), 100);
  EXPECT_EQ(IYEAR4(kMax), kMax);
}

}  // namespace
}  // namespace kavril

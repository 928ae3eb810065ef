#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

struct Split {
  char sign;
  int degrees;
  int minutes;
  double seconds;
};

Split radgms(int type, double value) {
  Split s{'?', -1, -1, -1.0};
  RADGMS(type, value, s.sign, s.degrees, s.minutes, s.seconds);
  return s;
}

const double kPi = 4.0 * std::atan(1.0);

TEST(RADGMS, AnglesSplitWithSign) {
  const Split degrees = radgms(1, kPi / 4.0);
  EXPECT_EQ(degrees.sign, ' ');
  EXPECT_EQ(degrees.degrees, 45);
  EXPECT_EQ(degrees.minutes, 0);
  EXPECT_NEAR(degrees.seconds, 0.0, 1e-11);
  const Split hours = radgms(0, -kPi);
  EXPECT_EQ(hours.sign, '-');
  EXPECT_EQ(hours.degrees, 12);
  EXPECT_EQ(hours.minutes, 0);
  EXPECT_NEAR(hours.seconds, 0.0, 1e-11);
  const Split gon = radgms(2, kPi / 2.0);
  EXPECT_EQ(gon.sign, ' ');
  EXPECT_EQ(gon.degrees, 100);
  EXPECT_EQ(gon.minutes, 0);
  EXPECT_NEAR(gon.seconds, 0.0, 1e-11);
  const Split fine = radgms(11, 1.0 / 3600.0 * kPi / 180.0);  // one arc second, type 1
  EXPECT_EQ(fine.degrees, 0);
  EXPECT_EQ(fine.minutes, 0);
  EXPECT_NEAR(fine.seconds, 1.0, 1e-9);
}

TEST(RADGMS, FractionOfDayLeavesTheSignAlone) {
  const Split noon = radgms(3, 0.5);
  EXPECT_EQ(noon.sign, '?');
  EXPECT_EQ(noon.degrees, 12);
  EXPECT_EQ(noon.minutes, 0);
  EXPECT_NEAR(noon.seconds, 0.0, 1e-9);
  // Only the fraction counts; the guard lifts a value a rounding error below a
  // whole second, so it is not split as 23 59 59.99999.
  const Split late = radgms(3, 5.0 + 86399.0 / 86400.0);
  EXPECT_EQ(late.degrees, 23);
  EXPECT_EQ(late.minutes, 59);
  EXPECT_NEAR(late.seconds, 59.0, 1e-6);
  const Split nextMinute = radgms(3, std::nextafter(3600.0 / 86400.0, 0.0));
  EXPECT_EQ(nextMinute.degrees, 1);
  EXPECT_EQ(nextMinute.minutes, 0);
  EXPECT_GE(nextMinute.seconds, 0.0);  // never negative
  EXPECT_NEAR(nextMinute.seconds, 0.0, 1e-9);
}

TEST(RADGMS, AnyDoubleIsDefined) {
  const double inf = std::numeric_limits<double>::infinity();
  for (int type : {0, 1, 2, 3, 13}) {
    for (double value : {1e300, -1e300, inf, -inf, std::nan(""), -0.75}) radgms(type, value);
  }
}

// The message goes to the message unit (standard output here); the test
// sends standard output to standard error, where the death test looks.
TEST(RADGMSDeathTest, IllegalTypeStopsWithTheReducedType) {
  const auto run = [](int type) {
    dup2(2, 1);
    radgms(type, 1.0);
  };
  const char* message =
      "\n \\*\\*\\* SR RADGMS: ILLEGAL TRANSFORMATION TYPE\n {16}TRANS. TYPE: 4\n\n";
  EXPECT_EXIT(run(14), testing::ExitedWithCode(1), message);
  EXPECT_EXIT(run(-1), testing::ExitedWithCode(1), "TRANS. TYPE:-1\n");
  EXPECT_EXIT(run(4), testing::ExitedWithCode(1), "TRANS. TYPE: 4\n");
}

}  // namespace
}  // namespace kavril

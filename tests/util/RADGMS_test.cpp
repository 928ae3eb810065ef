#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "util/util.h"

namespace kavril {
namespace {

// Sign, degrees, minutes and seconds of RADGMS; seconds are rounded to 1e-9,
// but a negative value is kept as it is, to be seen.
std::tuple<char, int, int, double> radgms(int type, double value) {
  char sign = '?';
  int degrees = -1, minutes = -1;
  double seconds = -1.0;
  RADGMS(type, value, sign, degrees, minutes, seconds);
  return {sign, degrees, minutes, seconds < 0.0 ? seconds : std::round(seconds * 1e9) / 1e9};
}

const double kPi = 4.0 * std::atan(1.0);

TEST(RADGMS, SplitsAnglesAndFractionsOfDays) {
  EXPECT_EQ(radgms(1, kPi / 4.0), std::make_tuple(' ', 45, 0, 0.0));
  EXPECT_EQ(radgms(0, -kPi), std::make_tuple('-', 12, 0, 0.0));
  EXPECT_EQ(radgms(2, kPi / 2.0), std::make_tuple(' ', 100, 0, 0.0));
  EXPECT_EQ(radgms(11, kPi / 648000.0), std::make_tuple(' ', 0, 0, 1.0));  // fine guard
  EXPECT_EQ(radgms(3, 0.5), std::make_tuple('?', 12, 0, 0.0));  // sign untouched
  // Only the fraction counts; the guard keeps a value a rounding error below a
  // whole second from being split as 59.99999, and seconds are never negative.
  EXPECT_EQ(radgms(3, 5.0 + 86399.0 / 86400.0), std::make_tuple('?', 23, 59, 59.0));
  EXPECT_EQ(radgms(3, std::nextafter(1.0 / 24.0, 0.0)), std::make_tuple('?', 1, 0, 0.0));
  for (int type : {0, 3, 13}) {  // defined for any double
    for (double v : {1e300, -std::numeric_limits<double>::infinity(), std::nan("")}) radgms(type, v);
  }
}

// The message goes to the message unit (standard output here); the dying
// child sends it to standard error, where the death test looks.
TEST(RADGMSDeathTest, IllegalTypeStopsWithTheReducedType) {
  const auto run = [](int type) {
    dup2(2, 1);
    radgms(type, 1.0);
  };
  EXPECT_EXIT(run(14), testing::ExitedWithCode(1),
              "^\n \\*\\*\\* SR RADGMS: ILLEGAL TRANSFORMATION TYPE\n {16}TRANS\\. TYPE: 4\n\n$");
  EXPECT_EXIT(run(-1), testing::ExitedWithCode(1), "TRANS\\. TYPE:-1\n");
}

}  // namespace
}  // namespace kavril

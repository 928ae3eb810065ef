#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

using l_basfun::DMOD;
using l_basfun::IDINT;
using l_basfun::IDNINT;

TEST(DMOD, RemainderTakesTheSignOfX) {
  EXPECT_EQ(DMOD(-7.5, 2.0), -1.5);
  EXPECT_EQ(DMOD(7.5, -2.0), 1.5);
  EXPECT_EQ(DMOD(44244.75, 1.0), 0.75);
  EXPECT_EQ(DMOD(-0.25, 1.0), -0.25);
}

TEST(IDINT, CutsTowardZeroAndSaturatesInsteadOfOverflowing) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(IDINT(2.9), 2);
  EXPECT_EQ(IDINT(-2.9), -2);
  EXPECT_EQ(IDINT(2147483647.9), kMax);
  EXPECT_EQ(IDINT(2147483648.0), kMax);
  EXPECT_EQ(IDINT(-2147483648.9), kMin);
  EXPECT_EQ(IDINT(-1e300), kMin);
  EXPECT_EQ(IDINT(inf), kMax);
  EXPECT_EQ(IDINT(-inf), kMin);
  EXPECT_EQ(IDINT(std::nan("")), 0);
}

TEST(IDNINT, RoundsHalvesAwayFromZeroAndSaturates) {
  EXPECT_EQ(IDNINT(2.5), 3);
  EXPECT_EQ(IDNINT(-2.5), -3);
  EXPECT_EQ(IDNINT(1590.4999999), 1590);
  EXPECT_EQ(IDNINT(2147483647.4), std::numeric_limits<int>::max());
  EXPECT_EQ(IDNINT(2147483647.5), std::numeric_limits<int>::max());
  EXPECT_EQ(IDNINT(-2147483648.5), std::numeric_limits<int>::min());
  EXPECT_EQ(IDNINT(std::nan("")), 0);
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <cmath>

#include "pgm/pgm.h"

namespace kavril {
namespace {

// Source of each RINEX position: 'e' or 'c' and the 1-based position in the
// ephemeris or clock array, as in the broadcast file's tables.
struct Source {
  char array;
  int position;
};
constexpr Source kSource[29] = {
    {'c', 11}, {'c', 14}, {'c', 13}, {'c', 12}, {'e', 17}, {'e', 13}, {'e', 9},  {'e', 8},
    {'e', 12}, {'e', 4},  {'e', 11}, {'e', 3},  {'e', 2},  {'e', 16}, {'e', 6},  {'e', 15},
    {'e', 5},  {'e', 14}, {'e', 7},  {'e', 10}, {'e', 18}, {'c', 2},  {'e', 1},  {'c', 6},
    {'c', 3},  {'c', 4},  {'c', 9},  {'c', 10}, {'c', 15}};

TEST(V3RXBR, CopiesEveryValueBitForBitAndRootsTheSemiMajorAxis) {
  EphemerisArray eph{};
  ClockArray clock{};
  for (int i = 0; i < 20; ++i) {
    eph[i] = 1.0 + i / 3.0;  // distinct values with full mantissas
    clock[i] = -100.0 - i / 7.0;
  }
  eph[2] = 26560000.0;
  RinexRecordArray rinex;
  rinex.fill(99.0);  // the spares are set, whatever the array held
  V3RXBR(eph, clock, rinex);
  for (int p = 1; p <= 29; ++p) {
    const Source s = kSource[p - 1];
    const double source = s.array == 'e' ? eph[s.position - 1] : clock[s.position - 1];
    const double expected = p == 12 ? std::sqrt(source) : source;
    EXPECT_EQ(rinex[p - 1], expected) << "position " << p;
  }
  EXPECT_NEAR(rinex[11], 5153.6394, 1e-4);
  EXPECT_EQ(rinex[29], 0.0);
  EXPECT_EQ(rinex[30], 0.0);
  EXPECT_EQ(rinex[31], 0.0);
}

}  // namespace
}  // namespace kavril

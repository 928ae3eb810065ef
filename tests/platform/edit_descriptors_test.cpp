#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/platform.h"

namespace kavril::platform {
namespace {

std::string I(long long v, int w, int m = -1) {
  std::string s(static_cast<std::size_t>(w), '?');
  put_I(s.data(), v, w, m);
  return s;
}
std::string F(double v, int w, int d) {
  std::string s(static_cast<std::size_t>(w), '?');
  put_F(s.data(), v, w, d);
  return s;
}
std::string D(double v, int w = 19, int d = 12) {
  std::string s(static_cast<std::size_t>(w), '?');
  put_D(s.data(), v, w, d);
  return s;
}

TEST(PutI, RightAlignedWithAsterisksWhenTooWide) {
  EXPECT_EQ(I(7, 3), "  7");
  EXPECT_EQ(I(-1, 2), "-1");
  EXPECT_EQ(I(-1, 1), "*");
  EXPECT_EQ(I(100, 2), "**");   // never shifts the next column
  EXPECT_EQ(I(99, 3), " 99");   // two-digit year 1999
  EXPECT_EQ(I(0, 3), "  0");    // year 2000: no leading zero
  EXPECT_EQ(I(5, 4, 2), "  05");
  EXPECT_EQ(I(-5, 4, 3), "-005");
  EXPECT_EQ(I(0, 5, 0), "     ");
  EXPECT_EQ(I(std::numeric_limits<long long>::min(), 20), "-9223372036854775808");
}

TEST(PutF, RoundsFromTheBinaryValue) {
  EXPECT_EQ(F(59.95, 5, 1), " 60.0");  // 59.95 is 59.9500000000000028...
  EXPECT_EQ(F(0.04, 5, 1), "  0.0");
  EXPECT_EQ(F(0.5, 3, 1), "0.5");
  EXPECT_EQ(F(-0.5, 3, 1), "-.5");   // the zero goes when there is no room
  EXPECT_EQ(F(-0.04, 5, 1), " -0.0");  // as gfortran: the sign of a value rounded to zero stays
  EXPECT_EQ(F(1.0, 5, 0), "   1.");
  EXPECT_EQ(F(1234.5, 5, 1), "*****");
  EXPECT_EQ(F(2.675, 10, 3), "     2.675");
  EXPECT_EQ(F(1e300, 10, 3), "**********");
  EXPECT_EQ(F(std::nan(""), 5, 1), "*****");
}

TEST(PutD, ExponentFormWithOneRounding) {
  EXPECT_EQ(D(0.41402949720150001), " 0.414029497202D+00");
  EXPECT_EQ(D(0.89382673551549996), " 0.893826735515D+00");
  EXPECT_EQ(D(123456789012.5), " 0.123456789012D+12");
  EXPECT_EQ(D(0.99999999999995), " 0.100000000000D+01");
  EXPECT_EQ(D(1.5e-100), " 0.150000000000D-99");
  EXPECT_EQ(D(1e-101), " 0.100000000000-100");
  EXPECT_EQ(D(1e100), " 0.100000000000+101");
  EXPECT_EQ(D(4.9406564584124654e-324), " 0.494065645841-323");
  EXPECT_EQ(D(2.5e-309), " 0.250000000000-308");
  EXPECT_EQ(D(-0.000123456789012345), "-0.123456789012D-03");
  EXPECT_EQ(D(0.0), " 0.000000000000D+00");
  EXPECT_EQ(D(-0.0), " 0.000000000000D+00");  // no minus sign on zero
  EXPECT_EQ(D(1.0), " 0.100000000000D+01");
}

TEST(PutD, NarrowFieldsDropTheSignPositionThenTheZero) {
  EXPECT_EQ(D(0.5, 20), "  0.500000000000D+00");
  EXPECT_EQ(D(0.5, 18), "0.500000000000D+00");
  EXPECT_EQ(D(-0.5, 18), "-.500000000000D+00");
  EXPECT_EQ(D(0.5, 17), ".500000000000D+00");
  EXPECT_EQ(D(-0.5, 17), "*****************");
  EXPECT_EQ(D(std::numeric_limits<double>::infinity()), std::string(19, '*'));
  EXPECT_EQ(D(std::nan("")), std::string(19, '*'));
}

TEST(IntegerText, BlankThenDigits) {
  EXPECT_EQ(integer_text(7), " 7");
  EXPECT_EQ(integer_text(-3), " -3");
  EXPECT_EQ(integer_text(0), " 0");
}

}  // namespace
}  // namespace kavril::platform

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/util.h"

namespace kavril {
namespace {

struct Date {
  int year;
  int month;
  double day;
};

Date jmt(double mjd) {
  Date d{0, 0, 0.0};
  JMT(mjd, d.year, d.month, d.day);
  return d;
}

TEST(JMT, KnownDates) {
  const Date gpsStart = jmt(44244.0);
  EXPECT_EQ(gpsStart.year, 1980);
  EXPECT_EQ(gpsStart.month, 1);
  EXPECT_EQ(gpsStart.day, 6.0);
  const Date march = jmt(51604.5);  // the day after a leap day, with fraction
  EXPECT_EQ(march.year, 2000);
  EXPECT_EQ(march.month, 3);
  EXPECT_EQ(march.day, 1.5);
  const Date newYearsEve = jmt(51543.0);  // year shift of January/February
  EXPECT_EQ(newYearsEve.year, 1999);
  EXPECT_EQ(newYearsEve.month, 12);
  EXPECT_EQ(newYearsEve.day, 31.0);
  const Date lastSecond = jmt(51543.0 + 86399.0 / 86400.0);
  EXPECT_EQ(lastSecond.month, 12);
  EXPECT_EQ(std::trunc(lastSecond.day), 31.0);
}

// Absurd MJDs give absurd dates, but every int conversion inside is defined
// (the sanitizer build checks this).
TEST(JMT, AnyDoubleIsDefined) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double mjd : {1e300, -1e300, inf, -inf, std::nan(""), 2.5e9, -2.5e9}) {
    const Date d = jmt(mjd);
    (void)d;
  }
}

}  // namespace
}  // namespace kavril

// Library functions of module l_basfun: the remainder with the sign of x and the
// double-to-int conversions that are safe for every double.
#include <cmath>
#include <limits>

#include "util/util.h"

namespace kavril {

double l_basfun::DMOD(double x, double y) { return x - std::trunc(x / y) * y; }

namespace {
// Converts a whole-number double; the int range is checked first because an
// out-of-range float-to-int conversion is undefined in C++.
int whole_to_int(double whole) {
  constexpr double kMin = std::numeric_limits<int>::min();  // -2^31, exact
  constexpr double kLimit = -kMin;                          //  2^31, exact
  if (std::isnan(whole)) return 0;
  if (whole <= kMin) return std::numeric_limits<int>::min();
  if (whole >= kLimit) return std::numeric_limits<int>::max();
  return static_cast<int>(whole);
}
}  // namespace

int l_basfun::IDINT(double x) { return whole_to_int(std::trunc(x)); }

int l_basfun::IDNINT(double x) { return whole_to_int(std::round(x)); }

}  // namespace kavril

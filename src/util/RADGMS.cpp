// Splits a value into degrees (or hours), minutes and seconds.
#include <cmath>

#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

using l_basfun::DMOD;
using l_basfun::IDINT;

namespace {

const platform::Layout kIllegalType("(/,' *** SR RADGMS: ILLEGAL TRANSFORMATION TYPE',/,16X,'TRANS. TYPE:',I2,/)");

// Scaled value v and unit u of each transformation; false for an illegal t.
bool scale(int t, double value, double guard, double& v, double& u) {
  static const double pi = 4.0 * std::atan(1.0);  // as in the constants block
  switch (t) {
    case 0: v = std::abs(value) * 43200.0 / pi + guard; u = 60.0; return true;   // h m s
    case 1: v = std::abs(value) * 648000.0 / pi + guard; u = 60.0; return true;  // deg ' "
    case 2: v = std::abs(value) * 2000000.0 / pi + guard; u = 100.0; return true; // gon c cc
    case 3: v = DMOD(value, 1.0) * 86400.0 + guard; u = 60.0; return true;        // day -> h m s
    default: return false;
  }
}

}  // namespace

void RADGMS(int type, double value, char& sign, int& degrees, int& minutes, double& seconds) {
  // The guard lifts a value that lies a rounding error below a whole second
  // (or arc second) so that it is not split as ..59 min 59.99999 s.
  const int t = type < 10 ? type : type % 10;
  const double guard = type < 10 ? 1e-6 : 1e-14;
  double v = 0.0;
  double u = 0.0;
  if (!scale(t, value, guard, v, u)) {
    kIllegalType.write(lfnError, {t});
    EXITRC(2);
  }
  degrees = IDINT(v / (u * u));
  const double r = v - degrees * (u * u);
  minutes = IDINT(r / u);
  seconds = r - minutes * u - guard;
  if (seconds < 0.0) seconds = 0.0;
  if (t != 3) sign = value < 0.0 ? '-' : ' ';
}

}  // namespace kavril

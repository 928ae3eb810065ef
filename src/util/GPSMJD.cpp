// GPS week and seconds of the week to Modified Julian Date.
#include "util/util.h"

namespace kavril {

// MJD 44244 is 6 January 1980, the start of GPS week 0. The week is taken
// into double before the multiplication, so no week value can overflow.
double GPSMJD(double secondsOfWeek, int week) {
  return secondsOfWeek * (1.0 / 86400.0) + static_cast<double>(week) * 7.0 + 44244.0;
}

}  // namespace kavril

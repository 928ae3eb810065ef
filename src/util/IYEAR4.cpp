// Two-digit year to four digits.
#include "util/util.h"

namespace kavril {

// Pivot 1960: below 60 is 20xx, 60 to 99 is 19xx; a year of 100 or more is
// already complete (so no addition can overflow).
int IYEAR4(int year) {
  if (year >= 100) return year;
  return year < 60 ? year + 2000 : year + 1900;
}

}  // namespace kavril

// Calendar epoch of a RINEX navigation record of versions 1 and 2.11.
#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

// toc and its week as an MJD, split into the calendar date and the time of
// day; the seconds keep their fraction (the records write them as F5.1).
void RXEPOC(const RinexRecordArray& rinex, int& year, int& month, int& day, int& hour,
            int& minute, double& second) {
  double dayOfMonth = 0.0;
  JMT(GPSMJD(rinex[0], RXWEEK(rinex)), year, month, dayOfMonth);
  char sign = ' ';  // not touched by type 3
  RADGMS(3, dayOfMonth, sign, hour, minute, second);
  day = l_basfun::IDINT(dayOfMonth);
}

}  // namespace kavril

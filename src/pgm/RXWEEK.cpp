// GPS week of the epoch of a RINEX navigation record.
#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

// Every RINEX version takes its epoch week from here.
int RXWEEK(const RinexRecordArray& rinex) {
  // RDBTOC has refused weeks beyond int.
  return l_basfun::IDINT(clock_week(rinex[22], rinex[0], rinex[12]));
}

}  // namespace kavril

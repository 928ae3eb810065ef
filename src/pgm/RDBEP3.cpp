// Checks a broadcast message for RINEX 3.04 before its record is written.
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace kavril {

// Version 3.04 writes the epoch in whole seconds and four-digit years; a
// message whose clock reference time has a fraction (or whose epoch lies
// outside the years 0 to 9999) cannot be written without altering it, so it is an
// input error of the broadcast file, reported with the line its clock block
// ended on. The value is shown with 17 digits: twelve could hide the
// fraction.
void RDBEP3(int lfn, const RinexRecordArray& rinex) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  switch (RXEPO3(rinex, year, month, day, hour, minute, second)) {
    case kEpochNotWholeSeconds:
      RDBERR(lfn, "Clock reference time not whole seconds, as RINEX 3.04 needs: " +
                      d_form(rinex[0], 17));
    case kEpochBeyondYears:
      RDBERR(lfn, "Epoch outside the years 0 to 9999 of RINEX 3.04, GPS week: " + d_form(rinex[22]));
    default:
      return;
  }
}

}  // namespace kavril

// One broadcast message in the package's order to the RINEX record array.
#include <cmath>

#include "pgm/pgm.h"

namespace kavril {

// A plain copy in RINEX order; only the semi-major axis becomes its square
// root. The reader has refused a negative semi-major axis (RDBCHK), so the
// root is always a real number. No time or week conversion happens here.
void V3RXBR(const EphemerisArray& eph, const ClockArray& clock, RinexRecordArray& rinex) {
  const auto e = [&eph](int position) { return eph[position - 1]; };
  const auto c = [&clock](int position) { return clock[position - 1]; };
  rinex = {
      c(11),             //  1 clock reference time toc (record epoch)
      c(14),             //  2 clock bias a0
      c(13),             //  3 clock drift a1
      c(12),             //  4 clock drift rate a2
      e(17),             //  5 IODE
      e(13),             //  6 Crs
      e(9),              //  7 Delta n
      e(8),              //  8 M0
      e(12),             //  9 Cuc
      e(4),              // 10 eccentricity
      e(11),             // 11 Cus
      std::sqrt(e(3)),   // 12 square root of the semi-major axis
      e(2),              // 13 ephemeris reference time toe
      e(16),             // 14 Cic
      e(6),              // 15 OMEGA
      e(15),             // 16 Cis
      e(5),              // 17 i0
      e(14),             // 18 Crc
      e(7),              // 19 omega
      e(10),             // 20 OMEGA DOT
      e(18),             // 21 IDOT
      c(2),              // 22 codes on L2
      e(1),              // 23 GPS week of toe
      c(6),              // 24 L2 P data flag
      c(3),              // 25 satellite accuracy
      c(4),              // 26 satellite health
      c(9),              // 27 TGD
      c(10),             // 28 IODC
      c(15),             // 29 transmission time
      0.0, 0.0, 0.0,     // 30 to 32 spare
  };
}

}  // namespace kavril

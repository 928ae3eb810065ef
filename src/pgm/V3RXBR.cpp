// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

void V3RXBR(const EphemerisArray&, const ClockArray&, RinexRecordArray&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

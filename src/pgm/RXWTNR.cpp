// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

void RXWTNR(int, int, int, const RinexRecordArray&, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

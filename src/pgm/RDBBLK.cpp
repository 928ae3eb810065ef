// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

void RDBBLK(int, std::array<double, 20>&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

int RDBSAT(int) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

bool RDBTIT(int, std::string&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

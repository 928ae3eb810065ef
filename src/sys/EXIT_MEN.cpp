// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void EXIT_MEN(int) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

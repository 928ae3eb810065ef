// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void OPNSYS() {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "const/const.h"

namespace kavril {

void DEFCON(int) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

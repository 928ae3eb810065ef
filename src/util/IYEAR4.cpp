// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "util/util.h"

namespace kavril {

int IYEAR4(int) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

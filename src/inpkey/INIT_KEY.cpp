// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void INIT_KEY(t_key&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

bool TSTKEY(std::string_view) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

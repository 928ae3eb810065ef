// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "util/util.h"

namespace kavril {

void SJUSTL(std::string&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

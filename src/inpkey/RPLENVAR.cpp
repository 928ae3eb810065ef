// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void RPLENVAR(int, std::string&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

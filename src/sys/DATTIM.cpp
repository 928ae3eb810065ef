// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void DATTIM(std::string&, std::string&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

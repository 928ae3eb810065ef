// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void WRITE_TIME(std::string&, double) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

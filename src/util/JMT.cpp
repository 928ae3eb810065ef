// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "util/util.h"

namespace kavril {

void JMT(double, int&, int&, double&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

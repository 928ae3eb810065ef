// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "util/util.h"

namespace kavril {

double l_basfun::DMOD(double, double) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

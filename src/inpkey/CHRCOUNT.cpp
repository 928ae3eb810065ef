// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

int CHRCOUNT(std::string_view, std::string_view, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

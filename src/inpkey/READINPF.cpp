// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void READINPF(std::string_view, t_inpkey&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

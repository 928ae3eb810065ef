// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void READKEYS(std::string_view, std::vector<std::string>&, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

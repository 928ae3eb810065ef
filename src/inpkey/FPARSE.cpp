// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void FPARSE(int, std::string&, std::string&, std::string&, std::string&, std::string&, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

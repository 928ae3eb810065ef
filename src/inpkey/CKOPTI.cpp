// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void CKOPTI(int, std::string_view, const std::vector<std::string>&, std::string_view, std::string_view, int, int&, const CkoptiOptional&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

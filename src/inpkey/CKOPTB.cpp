// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void CKOPTB(int, std::span<const std::string>, std::string_view, std::string_view, int&, const CkoptbOptional&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

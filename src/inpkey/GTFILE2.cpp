// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "inpkey/inpkey.h"

namespace kavril {

void GTFILE2(std::string_view, int, int&, FileNameMatrix&, std::size_t) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

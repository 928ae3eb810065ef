// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void OPNFIL(int, std::string_view, std::string_view, std::string_view, std::string_view, std::string_view, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

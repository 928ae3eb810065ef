// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "sys/sys.h"

namespace kavril {

void ALCERR(int, std::string_view, std::span<const long long>, std::string_view) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

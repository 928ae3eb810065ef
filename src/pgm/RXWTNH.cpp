// PLACEHOLDER: replaced when the routine is built.
#include <cstdlib>

#include "pgm/pgm.h"

namespace kavril {

void RXWTNH(int, int, std::string_view, std::string_view, std::string_view, std::string_view, int, std::span<const std::string>, int&) {
  std::abort();  // placeholder until the routine is built
}

}  // namespace kavril

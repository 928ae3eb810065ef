// Ascending order of an integer list, without moving the values.
#include <algorithm>

#include "util/util.h"

namespace kavril {

// index(k) is the 1-based position of the k-th smallest of values(1..n);
// equal values keep their order in the list (a stable order). Every position
// from 1 to n appears exactly once, whatever int values the list holds.
// n is limited to the lengths of both lists; n <= 0 leaves index alone.
void IORDUP(std::span<const int> values, int n, std::span<int> index) {
  if (n <= 0) return;
  const std::size_t count = std::min({static_cast<std::size_t>(n), values.size(), index.size()});
  const auto rank = index.first(count);
  for (std::size_t k = 0; k < count; ++k) rank[k] = static_cast<int>(k + 1);
  std::stable_sort(rank.begin(), rank.end(),
                   [&values](int a, int b) { return values[a - 1] < values[b - 1]; });
}

}  // namespace kavril

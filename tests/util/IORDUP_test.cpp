// Text and ordering helpers: SJUSTL, UPPERC, IORDUP.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

#include "util/util.h"

namespace kavril {
namespace {

TEST(SJUSTL, MovesTheTextToColumnOneKeepingTheLength) {
  std::string texts[] = {"   ABC    ", "     ", "\t AB "};  // a tab is text
  for (std::string& text : texts) SJUSTL(text);
  EXPECT_EQ(texts[0], "ABC       ");
  EXPECT_EQ(texts[1], "     ");
  EXPECT_EQ(texts[2], "\t AB ");
}

TEST(UPPERC, OnlyAsciiLettersChange) {
  std::string text = "readonly 12,x-z_{}`~\xe4\xf6";
  UPPERC(text);
  EXPECT_EQ(text, "READONLY 12,X-Z_{}`~\xe4\xf6");
}

TEST(IORDUP, StableAscendingPositions) {
  std::array<int, 4> index{9, 9, 9, 9};
  IORDUP(std::array{5, 3, 5, 1}, 0, index);  // n <= 0: untouched
  EXPECT_EQ(index, (std::array{9, 9, 9, 9}));
  IORDUP(std::array{5, 3, 5, 1}, 2, index);  // only the first n
  EXPECT_EQ(index, (std::array{2, 1, 9, 9}));
  IORDUP(std::array{5, 3, 5, 1}, 4, index);
  EXPECT_EQ(index, (std::array{4, 2, 1, 3}));
  IORDUP(std::array{2, 2, 2, 2}, 4, index);
  EXPECT_EQ(index, (std::array{1, 2, 3, 4}));
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  IORDUP(std::array{kMax, 0, kMin, kMax}, 4, index);  // every position once
  EXPECT_EQ(index, (std::array{3, 2, 1, 4}));
}

}  // namespace
}  // namespace kavril

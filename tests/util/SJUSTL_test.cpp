#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

#include "util/util.h"

namespace kavril {
namespace {

TEST(SJUSTL, MovesTheTextToColumnOneKeepingTheLength) {
  std::string text = "   ABC    ";
  SJUSTL(text);
  EXPECT_EQ(text, "ABC       ");
  std::string blank = "     ";
  SJUSTL(blank);
  EXPECT_EQ(blank, "     ");
  std::string tab = "\t AB ";  // a tab is text, not a blank
  SJUSTL(tab);
  EXPECT_EQ(tab, "\t AB ");
}

TEST(UPPERC, OnlyAsciiLettersChange) {
  std::string text = "readonly 12,x-z_{}`~";
  UPPERC(text);
  EXPECT_EQ(text, "READONLY 12,X-Z_{}`~");
  std::string eightBit = "\xe4\xf6\xfc\xe9";  // Latin-1 letters stay
  UPPERC(eightBit);
  EXPECT_EQ(eightBit, "\xe4\xf6\xfc\xe9");
}

TEST(IORDUP, StableAscendingPositions) {
  const std::array<int, 4> values{5, 3, 5, 1};
  std::array<int, 4> index{};
  IORDUP(values, 4, index);
  EXPECT_EQ(index, (std::array<int, 4>{4, 2, 1, 3}));

  const std::array<int, 3> equal{2, 2, 2};
  std::array<int, 3> equalIndex{};
  IORDUP(equal, 3, equalIndex);
  EXPECT_EQ(equalIndex, (std::array<int, 3>{1, 2, 3}));

  // Only the first n values are ordered; n <= 0 leaves the index alone.
  std::array<int, 4> partial{9, 9, 9, 9};
  IORDUP(values, 2, partial);
  EXPECT_EQ(partial, (std::array<int, 4>{2, 1, 9, 9}));
  IORDUP(values, 0, partial);
  IORDUP(values, -3, partial);
  EXPECT_EQ(partial, (std::array<int, 4>{2, 1, 9, 9}));
}

TEST(IORDUP, ExtremeIntsStillGiveEveryPositionOnce) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  const std::array<int, 5> values{kMax, 0, kMin, kMax, kMin};
  std::array<int, 5> index{};
  IORDUP(values, 5, index);
  EXPECT_EQ(index, (std::array<int, 5>{3, 5, 2, 1, 4}));
}

}  // namespace
}  // namespace kavril

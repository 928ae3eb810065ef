#include <gtest/gtest.h>

#include "inpkey/inpkey.h"

namespace kavril {
namespace {

TEST(near_keyword, CaseAlwaysOneEditFromFiveCharactersOn) {
  const struct { const char* name; const char* known; bool near; } cases[] = {
      {"RXNVER", "RXNVER", false},   // the keyword itself
      {"rxnver", "RXNVER", true},    // letter case
      {"Rxnvers", "RXNVER", true},   // case and a letter inserted
      {"RXNVR", "RXNVER", true},     // a letter deleted
      {"RXNVAR", "RXNVER", true},    // a letter changed
      {"RXNEVR", "RXNVER", true},    // neighbours swapped
      {"RXNVRE", "RXNVER", true},    // neighbours swapped at the end
      {"RXVNRE", "RXNVER", false},   // two swaps
      {"ORBFIL", "BRDFIL", false},   // two letters changed
      {"TITL", "TITLE", true},       // the rule goes by the keyword read, not
      {"CONS", "CONST", true},       // by the shorter misspelt name
      {"sys", "SYS", true},          // short names: letter case only
      {"SYX", "SYS", false},
      {"CONT", "CONS", false},       // four characters: still too short
  };
  for (const auto& c : cases) EXPECT_EQ(near_keyword(c.name, c.known), c.near) << c.name << " ~ " << c.known;
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {
namespace {

TEST(ParseReal, AcceptsTheFreeFormatNumbers) {
  double v = 0;
  EXPECT_TRUE(parse_real("1.5", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(parse_real("+.5D-3", v));
  EXPECT_EQ(v, 0.5e-3);
  EXPECT_TRUE(parse_real("-12", v));
  EXPECT_EQ(v, -12.0);
  EXPECT_TRUE(parse_real("3.", v));
  EXPECT_EQ(v, 3.0);
  EXPECT_TRUE(parse_real("1d2", v));
  EXPECT_EQ(v, 100.0);
  EXPECT_TRUE(parse_real("1e0000000000000000000001", v));
  EXPECT_EQ(v, 10.0);
}

TEST(ParseReal, RejectsEverythingElse) {
  double v = 7;
  for (const char* bad : {"", " 1", "1 ", "1.0/", "3*1.0", "nan", "inf", "0x1p3", "1e", "1e+", ".", "+", "-.e1",
                          "1.2.3", "1,5", "1.8e308", "-1e400", "1Q5", "e5"})
    EXPECT_FALSE(parse_real(bad, v)) << bad;
  EXPECT_EQ(v, 7);
}

TEST(ParseInt, SignedDecimalWithin32Bits) {
  int v = 0;
  EXPECT_TRUE(parse_int("-2147483648", v));
  EXPECT_EQ(v, INT_MIN);
  EXPECT_TRUE(parse_int("+2147483647", v));
  EXPECT_EQ(v, INT_MAX);
  EXPECT_TRUE(parse_int("007", v));
  EXPECT_EQ(v, 7);
  for (const char* bad : {"", "-", "2147483648", "1.0", "1e3", " 1", "12a", "99999999999999999999"})
    EXPECT_FALSE(parse_int(bad, v)) << bad;
}

std::vector<std::string> tokens(std::string_view line) {
  std::vector<std::string> out;
  NumberTokens t(line);
  std::string_view token;
  while (t.next(token)) out.emplace_back(token);
  return out;
}

TEST(NumberTokens, BlanksCommasAndEmptyItems) {
  using V = std::vector<std::string>;
  EXPECT_EQ(tokens("  1.0  2,3 , 4\t5   "), (V{"1.0", "2", "3", "4", "5"}));
  EXPECT_EQ(tokens("1,,2"), (V{"1", "", "2"}));
  EXPECT_EQ(tokens(",1"), (V{"", "1"}));
  EXPECT_EQ(tokens("1,2,"), (V{"1", "2"}));
  EXPECT_EQ(tokens("   "), V{});
}

struct Decoded {
  std::vector<ItemResult> results;
  std::vector<std::string> items;
};

Decoded decode(std::string_view line) {
  Decoded d;
  ItemDecoder decoder(line);
  std::string item;
  for (int i = 0; i < 10; ++i) {
    const ItemResult r = decoder.next(item);
    d.results.push_back(r);
    if (r == ItemResult::Ok) d.items.push_back(item);
    if (r != ItemResult::Ok && r != ItemResult::Empty) break;
  }
  return d;
}

TEST(ItemDecoder, KeywordLineItems) {
  using V = std::vector<std::string>;
  using R = ItemResult;
  Decoded d = decode("  BRDFIL  1  \"a b,c/d\"");
  EXPECT_EQ(d.items, (V{"BRDFIL", "1", "a b,c/d"}));
  EXPECT_EQ(d.results.back(), R::EndOfLine);
  d = decode("KEY , 1,'it''s'");
  EXPECT_EQ(d.items, (V{"KEY", "1", "it's"}));
  d = decode("KEY 1 value/comment");
  EXPECT_EQ(d.items, (V{"KEY", "1", "value"}));
  EXPECT_EQ(d.results.back(), R::Slash);
  d = decode("KEY 1 \"open");
  EXPECT_EQ(d.results.back(), R::Unterminated);
  d = decode("A,,B");
  EXPECT_EQ(d.results, (std::vector<R>{R::Ok, R::Empty, R::Ok, R::EndOfLine}));
  d = decode(",A");
  EXPECT_EQ(d.results, (std::vector<R>{R::Empty, R::Ok, R::EndOfLine}));
  d = decode("\"\"");
  EXPECT_EQ(d.items, (V{""}));
  d = decode("/ A");
  EXPECT_EQ(d.results, (std::vector<R>{R::Slash}));
}

}  // namespace
}  // namespace kavril::platform

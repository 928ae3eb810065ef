#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {
namespace {

struct RealRow {
  const char* text;
  bool ok;
  double value;  // when ok
  const char* why;
};

const RealRow kRealRows[] = {
    {"1.5", true, 1.5, "plain decimal"},
    {"+.5D-3", true, 0.5e-3, "plus sign, no leading digit, D exponent"},
    {"-12", true, -12.0, "integer"},
    {"3.", true, 3.0, "point without decimals"},
    {"1d2", true, 100.0, "lower-case d"},
    {"2E+2", true, 200.0, "upper-case E with sign"},
    {"0.1", true, 0.1, "not exactly representable: nearest double"},
    {"1e0000000000000000000001", true, 10.0, "many exponent digits"},
    {"1.0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
     "000000000000000000000000000000000000D0",
     true, 1.0, "D exponent on a token longer than the local buffer"},
    {"1.7976931348623157e308", true, 1.7976931348623157e308, "largest double"},
    {"1.7976931348623158e308", true, 1.7976931348623157e308, "rounds down to the largest double"},
    {"2.2250738585072011e-308", true, 2.2250738585072011e-308, "largest subnormal region"},
    {"4.9406564584124654e-324", true, 4.9406564584124654e-324, "smallest subnormal"},
    {"2.4703282292062328e-324", true, 4.9406564584124654e-324, "just above half the smallest: rounds up"},
    {"2.4703282292062327e-324", true, 0.0, "just below half the smallest: zero"},
    {"1e-400", true, 0.0, "underflow reads as zero"},
    {"-1e-400", true, -0.0, "underflow keeps the sign"},
    {"1.8e308", false, 0, "overflow"},
    {"-1e400", false, 0, "negative overflow"},
    {"1e99999999999999999999", false, 0, "overflow with a huge exponent"},
    {"", false, 0, "empty"},
    {" 1", false, 0, "blank before"},
    {"1 ", false, 0, "blank after"},
    {"1 0", false, 0, "blank inside"},
    {"1.0/", false, 0, "slash"},
    {"3*1.0", false, 0, "repeat count"},
    {"nan", false, 0, "not-a-number text"},
    {"Inf", false, 0, "infinity text"},
    {"infinity", false, 0, "infinity text"},
    {"0x1p3", false, 0, "hexadecimal"},
    {"1e", false, 0, "exponent letter without digits"},
    {"1e+", false, 0, "exponent sign without digits"},
    {".", false, 0, "no digit"},
    {"+", false, 0, "sign only"},
    {"-.e1", false, 0, "no mantissa digit"},
    {"1.2.3", false, 0, "two points"},
    {"1,5", false, 0, "decimal comma"},
    {"1Q5", false, 0, "Q exponent is not ours"},
    {"e5", false, 0, "exponent without mantissa"},
    {"++1", false, 0, "two signs"},
    {"1e5.0", false, 0, "fractional exponent"},
};

TEST(ParseReal, AWellFormedTokenFailsOnlyByOverflow) {
  for (const RealRow& row : kRealRows) {
    const bool overflow = std::string_view(row.why).find("overflow") != std::string_view::npos;
    EXPECT_EQ(has_real_form(row.text), row.ok || overflow) << row.why << ": " << row.text;
  }
}

TEST(ParseReal, Table) {
  for (const RealRow& row : kRealRows) {
    double v = 7.0;
    EXPECT_EQ(parse_real(row.text, v), row.ok) << row.why << ": " << row.text;
    if (row.ok) {
      EXPECT_EQ(v, row.value) << row.why;
      EXPECT_EQ(std::signbit(v), std::signbit(row.value)) << row.why;
    } else {
      EXPECT_EQ(v, 7.0) << "a failed parse leaves the value: " << row.why;
    }
  }
}

TEST(ParseReal, TokensLongerThanTheLocalBuffer) {
  double v = 0;
  EXPECT_TRUE(parse_real("0." + std::string(150, '0') + "1e151", v));
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(parse_real("0." + std::string(150, '0') + "1D151", v));
  EXPECT_EQ(v, 1.0);
}

TEST(ParseReal, AgreesWithCorrectlyRoundedStrtodOverTheWholeRange) {
  std::mt19937_64 rng(11);
  for (int i = 0; i < 100000; ++i) {
    char text[64];
    // 17 to 20 significant digits, exponents reaching into overflow and underflow.
    std::snprintf(text, sizeof text, "%s%llu.%06llu%c%d", rng() % 2 ? "-" : "",
                  static_cast<unsigned long long>(rng() % 100000000000000ULL),
                  static_cast<unsigned long long>(rng() % 1000000), "eEdD"[rng() % 4],
                  static_cast<int>(rng() % 700) - 350);
    std::string c(text);
    for (char& ch : c)
      if (ch == 'd' || ch == 'D') ch = 'e';
    const double expected = std::strtod(c.c_str(), nullptr);
    double v = 0;
    const bool ok = parse_real(text, v);
    ASSERT_EQ(ok, std::isfinite(expected)) << text;
    if (ok) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected)) << text;
    }
  }
}

TEST(ParseInt, Table) {
  struct Row {
    const char* text;
    bool ok;
    int value;
    const char* why;
  };
  const Row rows[] = {
      {"-2147483648", true, INT_MIN, "smallest int"},
      {"+2147483647", true, INT_MAX, "largest int with plus"},
      {"007", true, 7, "leading zeros"},
      {"-0", true, 0, "negative zero"},
      {"", false, 0, "empty"},
      {"-", false, 0, "sign only"},
      {"2147483648", false, 0, "one beyond the largest"},
      {"-2147483649", false, 0, "one beyond the smallest"},
      {"99999999999999999999", false, 0, "far beyond 64 bits"},
      {"1.0", false, 0, "decimal point"},
      {"1e3", false, 0, "exponent"},
      {" 1", false, 0, "blank before"},
      {"1 ", false, 0, "blank after"},
      {"12a", false, 0, "letter"},
      {"--1", false, 0, "two signs"},
  };
  for (const Row& row : rows) {
    int v = 7;
    EXPECT_EQ(parse_int(row.text, v), row.ok) << row.why;
    EXPECT_EQ(v, row.ok ? row.value : 7) << row.why;
  }
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
  d = decode("'ab'cd");  // text glued to the closing delimiter
  EXPECT_EQ(d.results, (std::vector<R>{R::Unterminated}));
  d = decode("ab\"cd\tef");  // a quote inside an undelimited item is kept; tab separates
  EXPECT_EQ(d.items, (V{"ab\"cd", "ef"}));
  d = decode("/ A");
  EXPECT_EQ(d.results, (std::vector<R>{R::Slash}));
}

}  // namespace
}  // namespace kavril::platform

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    {"4900470668862157.5", true, 4900470668862157.5, "a tie between two doubles: to even (up)"},
    {"4900470668862156.5", true, 4900470668862156.5, "a tie between two doubles: to even (down)"},
    {"1601572425312609.125", true, 1601572425312609.125, "a tie in the fourths"},
    {"100", true, 100.0, "integer with zeros"},
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
  double v = 7.0;
  EXPECT_FALSE(parse_real(std::string_view(), v)) << "a view of no text";
  EXPECT_FALSE(has_real_form(std::string_view()));
}

TEST(ParseReal, TokensLongerThanTheLocalBuffer) {
  double v = 0;
  EXPECT_TRUE(parse_real("0." + std::string(150, '0') + "1e151", v));
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(parse_real("0." + std::string(150, '0') + "1D151", v));
  EXPECT_EQ(v, 1.0);
}

TEST(ParseReal, AnExponentOfManyDigitsAfterManyDecimals) {
  // 10^-100000 times 10^1000000 overflows: the exponent must not be taken
  // for its first six digits, which the decimals would cancel.
  const std::string tiny = "0." + std::string(99999, '0') + "1";
  double v = 7.0;
  EXPECT_FALSE(parse_real(tiny + "D1000000", v));
  EXPECT_FALSE(parse_real(tiny + "e1000001", v));
  EXPECT_EQ(v, 7.0);
  EXPECT_TRUE(has_real_form(tiny + "D1000000"));
  EXPECT_TRUE(parse_real(tiny + "e100001", v));
  EXPECT_EQ(v, 10.0);
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

long random_count() {
  const char* count = std::getenv("KAVRIL_RANDOM_VALUES");  // long mode: e.g. 100000000
  return count != nullptr ? std::atol(count) : 300000;
}

// The value from_chars gives for a token (after mapping D to e and dropping a
// plus sign): the general conversion that parse_real used for every token
// before plain decimals got their own exact path.
bool from_chars_value(std::string_view text, double& value) {
  std::string c(text.substr(text[0] == '+' ? 1 : 0));
  for (char& ch : c)
    if (ch == 'd' || ch == 'D') ch = 'e';
  return std::from_chars(c.data(), c.data() + c.size(), value).ec == std::errc();
}

// A decimal token of up to 19 significant digits and a power of ten of at
// -60 to 30, around the range of the exact integer paths, drawn from several
// families: any digits; digits next to 2^53 and to halfway points between
// two doubles; doubles written with 15 to 17 digits (as broadcast files hold
// them); values a little below a power of two, which round up into the next
// binade; leading and trailing zeros around the significant digits.
std::string plain_decimal(std::mt19937_64& rng) {
  char text[96];
  const char* sign = rng() % 3 == 0 ? "-" : rng() % 4 == 0 ? "+" : "";
  const char letter = "eEdD"[rng() % 4];
  std::uint64_t digits = 0;
  switch (rng() % 5) {
    case 4: {
      // 19 digits of 2^n, lowered in the last digit: below 2^n by far less
      // than half the gap to the next double down.
      const double power = std::ldexp(1.0, static_cast<int>(rng() % 200) - 100);
      std::snprintf(text, sizeof text, "%.18e", power);
      char* last = std::strchr(text, 'e') - 1;
      if (*last == '0') return text;
      *last = static_cast<char>(*last - 1);
      *(last + 1) = letter;
      return sign + std::string(text);
    }
    case 0: {
      static const std::uint64_t kLimits[] = {10ULL, 1000ULL, 1000000ULL, 1000000000000ULL,
                                              1000000000000000ULL, 100000000000000000ULL, 10000000000000000000ULL};
      digits = rng() % kLimits[rng() % 7];
      break;
    }
    case 1: {
      // An odd 54-bit integer lies halfway between two doubles; times 2^j or
      // 5^k it stays a tie within 19 digits. Neighbours test the rounding
      // on either side of the tie.
      digits = ((std::uint64_t{1} << 53) | rng() % (std::uint64_t{1} << 53)) | 1;
      if (rng() % 2 == 0)
        digits <<= rng() % 10;
      else
        for (int k = static_cast<int>(rng() % 4); k > 0; --k) digits *= 5;
      digits += rng() % 3 - 1;
      break;
    }
    case 2: {
      const double v = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 200) - 150);
      std::snprintf(text, sizeof text, "%s%.*e", sign, static_cast<int>(14 + rng() % 3), v);
      text[std::strlen(text) - std::strlen(std::strchr(text, 'e'))] = letter;
      return text;
    }
    default:
      digits = rng() % 100000000000000000ULL;
      break;
  }
  std::string mantissa = std::string(rng() % 3, '0') + std::to_string(digits) + std::string(rng() % 4, '0');
  const std::size_t point = rng() % (mantissa.size() + 1);
  mantissa.insert(point, ".");
  if (mantissa == ".") mantissa = "0.";
  const int exponent = static_cast<int>(rng() % 91) - 60;  // down to the reciprocals of 5^55 and beyond
  std::snprintf(text, sizeof text, "%s%s%c%d", sign, mantissa.c_str(), letter, exponent);
  return text;
}

TEST(ParseReal, PlainDecimalsAgreeBitForBitWithFromChars) {
  std::mt19937_64 rng(20260611);
  const long count = random_count();
  int mismatches = 0;
  for (long i = 0; i < count; ++i) {
    const std::string text = plain_decimal(rng);
    double expected = 0;
    ASSERT_TRUE(from_chars_value(text, expected)) << text;
    double v = 0;
    const bool ok = parse_real(text, v);
    if ((!ok || std::bit_cast<std::uint64_t>(v) != std::bit_cast<std::uint64_t>(expected)) && ++mismatches <= 10)
      ADD_FAILURE() << text << ": got " << std::hexfloat << v << " expected " << expected;
  }
  EXPECT_EQ(mismatches, 0);
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
  EXPECT_EQ(tokens(" ,1"), (V{"1"}));  // the comma after the line end separates
  EXPECT_EQ(tokens(",,1"), (V{"", "1"}));
  EXPECT_EQ(tokens("1,2,"), (V{"1", "2"}));
  EXPECT_EQ(tokens("   "), V{});
}

// next_real reads a line as next and parse_real do, token by token: same
// tokens, same values bit for bit, the same tokens refused. Lines are random
// mixes of numbers, bad tokens and separators.
TEST(NumberTokens, NextRealAgreesWithNextAndParseReal) {
  static const char* const kBad[] = {"1.0/", "3*1.0", "abc", "1e", "1e+", "+", ".", "1.2.3", "1Q5",
                                     "nan", "1e5.0", "-", "1e999", "0x1p3", "1-2", "1.0e+0x"};
  static const char* const kSeparators[] = {" ", "  ", ",", " , ", "\t", ",,", " ,"};
  std::mt19937_64 rng(20260612);
  const long count = random_count() / 10;
  for (long i = 0; i < count; ++i) {
    std::string line = rng() % 2 ? " " : "";
    for (int n = static_cast<int>(rng() % 6); n >= 0; --n) {
      line += rng() % 5 == 0 ? std::string(kBad[rng() % std::size(kBad)]) : plain_decimal(rng);
      line += kSeparators[rng() % std::size(kSeparators)];
    }
    NumberTokens plain(line);
    NumberTokens fused(line);
    std::string_view expectedToken;
    std::string_view token;
    for (;;) {
      double value = 7.0;
      const NumberTokens::Result result = fused.next_real(value, token);
      if (!plain.next(expectedToken)) {
        ASSERT_EQ(result, NumberTokens::Result::End) << line;
        break;
      }
      double expected = 7.0;
      const bool ok = parse_real(expectedToken, expected);
      ASSERT_EQ(token, expectedToken) << line;
      ASSERT_EQ(result, ok ? NumberTokens::Result::Ok : NumberTokens::Result::NotANumber) << line;
      ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << line;
    }
  }
}

// next_reals fills as many values as the line gives and stops when they are
// full (the rest of the line stays for the next call), at the end of the
// line, or at a token that is no number.
TEST(NumberTokens, NextRealsReadsALineIntoValues) {
  std::string_view token;
  std::size_t count = 9;
  double values[3] = {0, 0, 0};
  NumberTokens full(" 1.5D+00, 2 ,3e1 4.0");
  EXPECT_EQ(full.next_reals(values, count, token), NumberTokens::Result::Ok);
  EXPECT_EQ(count, 3U);
  EXPECT_EQ(values[0], 1.5);
  EXPECT_EQ(values[1], 2.0);
  EXPECT_EQ(values[2], 30.0);
  EXPECT_EQ(full.next_reals(values, count, token), NumberTokens::Result::End);
  EXPECT_EQ(count, 1U);
  EXPECT_EQ(values[0], 4.0);

  NumberTokens bad("7 1.0/ 8");
  EXPECT_EQ(bad.next_reals(values, count, token), NumberTokens::Result::NotANumber);
  EXPECT_EQ(count, 1U);
  EXPECT_EQ(token, "1.0/");

  NumberTokens overflow("1e999");
  EXPECT_EQ(overflow.next_reals(values, count, token), NumberTokens::Result::NotANumber);
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(token, "1e999");
}

struct Decoded {
  std::vector<ItemResult> results;
  std::vector<std::string> items;
};

Decoded decode(std::string_view line, bool strict = false) {
  Decoded d;
  ItemDecoder decoder(line, strict);
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
  // Strict: a slash touching an undelimited item is refused, one standing
  // alone ends the line.
  EXPECT_EQ(decode("a/b", true).results, (std::vector<R>{R::SlashInItem}));
  EXPECT_EQ(decode("\"q\"/x", true).results, (std::vector<R>{R::Ok, R::SlashInItem}));
  EXPECT_EQ(decode("x /,y", true).results, (std::vector<R>{R::Ok, R::Slash}));
}

}  // namespace
}  // namespace kavril::platform

// The edit descriptors against texts of the Fortran run-time library (a
// checked-in table, see tests/data/format/generate_table.sh) and against an
// independent reference built on C's printf, which glibc rounds correctly.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "platform/platform.h"
#include "support/support.h"

namespace kavril::platform {
namespace {

struct Row {
  char letter = 0;  // 'S' for ESw.d
  int w = 0, d = -1;
  std::string value;     // hex bits of a real, decimal integer
  std::string expected;  // between the bars
};

bool parse_row(const std::string& line, Row& row) {
  const std::size_t blank = line.find(' ');
  const std::size_t bar = line.find('|');
  if (blank == std::string::npos || bar == std::string::npos || line.back() != '|') return false;
  const std::string descriptor = line.substr(0, blank);
  const bool scientific = descriptor.starts_with("ES");
  row.letter = scientific ? 'S' : descriptor[0];
  row.w = std::atoi(descriptor.c_str() + (scientific ? 2 : 1));
  const std::size_t point = descriptor.find('.');
  row.d = point == std::string::npos ? -1 : std::atoi(descriptor.c_str() + point + 1);
  row.value = line.substr(blank + 1, bar - blank - 2);
  row.expected = line.substr(bar + 1, line.size() - bar - 2);
  return static_cast<int>(row.expected.size()) == row.w;
}

double real_of(const std::string& hex) { return std::bit_cast<double>(std::stoull(hex, nullptr, 16)); }

std::string formatted(const Row& row) {
  std::string out(static_cast<std::size_t>(row.w), '?');
  if (row.letter == 'I') put_I(out.data(), std::stoll(row.value), row.w);
  if (row.letter == 'F') put_F(out.data(), real_of(row.value), row.w, row.d);
  if (row.letter == 'D') put_D(out.data(), real_of(row.value), row.w, row.d);
  if (row.letter == 'S') put_ES(out.data(), real_of(row.value), row.w, row.d);
  return out;
}

TEST(FormatTable, EveryRowMatchesTheFortranText) {
  std::ifstream in(test::data_dir() / "format" / "gfortran_table.txt");
  ASSERT_TRUE(in) << "table missing";
  std::vector<Row> rows;
  std::map<std::string, std::string> positiveZero;  // D and ES texts of +0.0 by descriptor
  const auto descriptor = [](const Row& row) {
    return row.letter + std::to_string(row.w) + "." + std::to_string(row.d);
  };
  for (std::string line; std::getline(in, line);) {
    Row row;
    ASSERT_TRUE(parse_row(line, row)) << line;
    if (row.value == "0000000000000000") positiveZero[descriptor(row)] = row.expected;
    rows.push_back(row);
  }
  EXPECT_GT(rows.size(), 10000u);
  int mismatches = 0;
  for (Row& row : rows) {
    // A negative zero is written like zero (the Fortran library writes "-0.").
    if ((row.letter == 'D' || row.letter == 'S') && row.value == "8000000000000000")
      row.expected = positiveZero.at(descriptor(row));
    const std::string got = formatted(row);
    if (got != row.expected && ++mismatches <= 20)
      ADD_FAILURE() << row.letter << row.w << "." << row.d << " of " << row.value << ": got |" << got
                    << "| expected |" << row.expected << "|";
  }
  EXPECT_EQ(mismatches, 0);
}

// Reference Dw.d from printf's "%.*e": the digits are taken as they are and
// only rearranged into the "0.ddd" form.
std::string reference_d(double v, int w, int d) {
  if (v == 0.0) return std::string(static_cast<std::size_t>(w - d - 7), ' ') + " 0." + std::string(d, '0') + "D+00";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", d - 1, std::fabs(v));
  std::string digits(1, buf[0]);
  if (d > 1) digits += std::string(buf + 2, static_cast<std::size_t>(d - 1));
  const int exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;
  char tail[16];
  const int magnitude = std::abs(exponent) % 1000;  // within 1..324 for doubles
  if (magnitude <= 99)
    std::snprintf(tail, sizeof tail, "D%c%02d", exponent < 0 ? '-' : '+', magnitude);
  else
    std::snprintf(tail, sizeof tail, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
  const std::string text = std::string(v < 0 ? "-" : " ") + "0." + digits + tail;
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

long random_count() {
  const char* count = std::getenv("KAVRIL_RANDOM_VALUES");  // long mode: e.g. 100000000
  return count != nullptr ? std::atol(count) : 300000;
}

// A value drawn from one of several families: any finite bit pattern,
// ordinary magnitudes, values next to a decimal tie at 12 digits, exact
// binary ties at 12 digits (n + 0.5 for 12-digit n: to even).
double random_value(std::mt19937_64& rng) {
  switch (rng() % 4) {
    case 3: {
      const double tie = static_cast<double>(100000000000ULL + rng() % 900000000000ULL) + 0.5;
      return rng() % 2 == 0 ? tie : -tie;
    }
    case 0: {
      for (;;) {
        const double v = std::bit_cast<double>(rng());
        if (std::isfinite(v)) return v;
      }
    }
    case 1: {
      std::uniform_real_distribution<double> unit(-1.0, 1.0);
      return unit(rng) * std::pow(10.0, static_cast<int>(rng() % 30) - 15);
    }
    default: {
      // "d.ddddddddddd5e<x>": half-way between two 12-digit values.
      char text[64];
      std::snprintf(text, sizeof text, "%d.%011llu5e%d", static_cast<int>(1 + rng() % 9),
                    static_cast<unsigned long long>(rng() % 100000000000ULL), static_cast<int>(rng() % 620) - 320);
      double v = std::strtod(text, nullptr);
      const int step = static_cast<int>(rng() % 3) - 1;
      if (step != 0) v = std::nextafter(v, step * INFINITY);
      return std::isfinite(v) ? v : 1.0;
    }
  }
}

// Compares put_D of v in Dw.d (w = d + 7) with the reference; the first
// mismatches are reported.
void expect_reference_d(double v, int d, int& mismatches) {
  const int w = d + 7;
  char out[32];
  put_D(out, v, w, d);
  const std::string got(out, static_cast<std::size_t>(w));
  const std::string expected = reference_d(v, w, d);
  if (got != expected && ++mismatches <= 10)
    ADD_FAILURE() << "D" << w << "." << d << " of " << std::hexfloat << v << ": got |" << got << "| expected |"
                  << expected << "|";
}

// Compares put_D with the reference for `random_count()` values drawn by
// `draw`, in the widths that `digits` picks for value i.
template <class Draw, class Digits>
void expect_random_values_match(std::uint64_t seed, Draw draw, Digits digits) {
  std::mt19937_64 rng(seed);
  const long count = random_count();
  int mismatches = 0;
  for (long i = 0; i < count; ++i) {
    const double v = draw(rng);
    expect_reference_d(v, digits(i, rng), mismatches);
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(FormatRandom, PutDAgreesWithAnIndependentReference) {
  expect_random_values_match(20260607, random_value, [](long i, std::mt19937_64& rng) {
    return i % 5 == 0 ? static_cast<int>(1 + rng() % 17) : 12;
  });
}

// A value read from a decimal of 1 to 15 significant digits (as every value
// of a broadcast file is), a power of ten, or a neighbour one step away:
// the values of the records, most of which take the exact integer path.
double short_decimal_value(std::mt19937_64& rng) {
  char text[64];
  const int exponent = static_cast<int>(rng() % 90) - 45;
  if (rng() % 8 == 0) {
    std::snprintf(text, sizeof text, "1e%d", exponent);
  } else {
    const int digits = static_cast<int>(1 + rng() % 15);
    unsigned long long mantissa = rng() % 1000000000000000ULL;
    for (int i = digits; i < 15; ++i) mantissa /= 10;
    if (rng() % 8 == 0) mantissa = 1000000000000000ULL / 10 - 1 - rng() % 3;  // 9999...: carries
    std::snprintf(text, sizeof text, "%llue%d", mantissa, exponent);
  }
  double v = std::strtod(text, nullptr);
  if (rng() % 4 == 0) v = std::nextafter(v, rng() % 2 == 0 ? INFINITY : 0.0);
  return rng() % 2 == 0 ? -v : v;
}

TEST(FormatRandom, PutDOfShortDecimalsAgreesWithAnIndependentReference) {
  expect_random_values_match(20260611, short_decimal_value, [](long i, std::mt19937_64& rng) {
    return i % 2 == 0 ? 12 : static_cast<int>(1 + rng() % 17);
  });
}

TEST(FormatRandom, PutFAgreesWithPrintfWhereTheZeroFits) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  const long count = random_count() / 3;
  int mismatches = 0;
  char out[32];
  char expected[64];
  for (long i = 0; i < count; ++i) {
    const double v = unit(rng) * std::pow(10.0, static_cast<int>(rng() % 12) - 4);
    const int d = static_cast<int>(rng() % 6);
    const int w = 20;
    put_F(out, v, w, d);
    std::snprintf(expected, sizeof expected, d == 0 ? "%#*.*f" : "%*.*f", w, d, v);
    if (std::string(out, w) != expected && ++mismatches <= 10)
      ADD_FAILURE() << "F20." << d << " of " << std::hexfloat << v << ": got |" << std::string(out, w)
                    << "| expected |" << expected << "|";
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace kavril::platform

// The single edit descriptors Iw.m, Fw.d, Dw.d/Ew.d and ESw.d. Each writes exactly w
// characters and prints w asterisks when the value does not fit, so that a
// wide value never shifts the later columns of a line. Digits are the
// correctly rounded decimal of the binary value: for the exponent form of
// ordinary magnitudes from exact integer arithmetic, otherwise from
// std::to_chars. Nothing is scaled in floating point and nothing depends on
// the locale.
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

void fill(char* out, int w, char c) {
  if (w > 0) std::memset(out, c, static_cast<std::size_t>(w));
}

// Right-aligns `text` of `length` characters in w columns (length <= w).
// (Plain loops: the fields are short, and an inlined variable-length memcpy
// costs more than the copy itself.)
void right_align(char* out, int w, const char* text, int length) {
  for (int i = 0; i < w - length; ++i) *out++ = ' ';
  for (int i = 0; i < length; ++i) *out++ = text[i];
}

// Room for the fixed form of any double with up to 1000 decimals (layouts
// allow widths up to 1000); anything longer prints asterisks.
constexpr int kFixedBuffer = 1400;

}  // namespace

void put_I(char* out, long long value, int w, int m) {
  if (w <= 0) return;
  const bool negative = value < 0;
  unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  char digits[24];
  int count = 0;
  while (magnitude != 0) {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  // Iw: zero is one digit; Iw.m: at least m digits (I5.0 of zero is blank).
  const int minimum = m < 0 ? 1 : m;
  if (minimum > w) return fill(out, w, '*');
  const int shown = count > minimum ? count : minimum;
  const int length = shown + (negative ? 1 : 0);
  if (length > w) return fill(out, w, '*');
  fill(out, w - length, ' ');
  char* p = out + (w - length);
  if (negative) *p++ = '-';
  for (int i = shown; i > count; --i) *p++ = '0';
  for (int i = count; i > 0; --i) *p++ = digits[i - 1];
}

void put_F(char* out, double value, int w, int d) {
  if (w <= 0) return;
  if (!std::isfinite(value) || d < 0) return fill(out, w, '*');
  char buf[kFixedBuffer];
  const auto [end, ec] = std::to_chars(buf, buf + kFixedBuffer - 1, value, std::chars_format::fixed, d);
  if (ec != std::errc()) return fill(out, w, '*');
  int length = static_cast<int>(end - buf);
  if (d == 0) buf[length++] = '.';  // F5.0 of 1.0 is "   1."
  // The zero before the point is optional: it is dropped when there is no room.
  const bool negative = buf[0] == '-';
  const int zero = negative ? 1 : 0;
  if (length > w && buf[zero] == '0' && buf[zero + 1] == '.') {
    std::memmove(buf + zero, buf + zero + 1, static_cast<std::size_t>(length - zero - 1));
    --length;
  }
  if (length > w) return fill(out, w, '*');
  right_align(out, w, buf, length);
}

namespace {

// Powers of ten up to 10^17, the most digits the exact integer path gives.
constexpr int kMaxScaledDigits = 17;
constexpr auto kPowerOfTenInteger = integer_powers<kMaxScaledDigits>(10);

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Two digits of v < 100.
void write_pair(char* out, std::uint32_t v) { std::memcpy(out, kDigitPairs + 2 * v, 2); }

// Four digits of v < 10^4.
void write_four(char* out, std::uint32_t v) {
  write_pair(out, v / 100);
  write_pair(out + 2, v % 100);
}

// The `count` decimal digits of m (below 10^count). Twelve digits, the
// precision of every value of the RINEX records, go as three independent
// groups of four; other counts four at a time from the right. (No library
// call: a memcpy or memset of variable length costs more than the digits.)
[[gnu::always_inline]] inline void write_digits(char* out, std::uint64_t m, int count) {
  if (count == 12) {
    write_four(out, static_cast<std::uint32_t>(m / 100000000));
    write_four(out + 4, static_cast<std::uint32_t>(m / 10000 % 10000));
    write_four(out + 8, static_cast<std::uint32_t>(m % 10000));
    return;
  }
  for (; count > 4; count -= 4) {
    write_four(out + count - 4, static_cast<std::uint32_t>(m % 10000));
    m /= 10000;
  }
  auto rest = static_cast<std::uint32_t>(m);
  for (; count >= 2; count -= 2) {
    write_pair(out + count - 2, rest % 100);
    rest /= 100;
  }
  if (count == 1) out[0] = static_cast<char>('0' + rest);
}

__extension__ typedef unsigned __int128 Uint128;

// Powers of five below 2^63.
constexpr int kMaxPowerOfFive = 27;
constexpr auto kPowerOfFive = integer_powers<kMaxPowerOfFive>(5);

// The magnitude * 10^scale rounded to an integer (ties to even), exactly:
// with magnitude = m * 2^q, the product is (m * 5^scale) * 2^(q + scale),
// where m * 5^scale is an exact 128-bit integer for 0 <= scale <= 27.
// `whole` is set to the integer part before rounding.
std::uint64_t scaled_integer(std::uint64_t m, int q, int scale, std::uint64_t& whole) {
  const Uint128 product = Uint128{m} * kPowerOfFive[static_cast<std::size_t>(scale)];
  const int shift = q + scale;
  if (shift >= 0) {
    whole = static_cast<std::uint64_t>(product << shift);  // the callers keep it below 10^18
    return whole;
  }
  const int drop = -shift;
  if (drop >= 128) {
    whole = 0;
    return 0;
  }
  whole = static_cast<std::uint64_t>(product >> drop);
  const Uint128 rest = product & ((Uint128{1} << drop) - 1);
  const Uint128 half = Uint128{1} << (drop - 1);
  return whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
}

// The d significant digits of a normal `magnitude` correctly rounded (as the
// integer digits, 10^(d-1) <= digits < 10^d) and the exponent of the 0.ddd
// form, by exact integer arithmetic, for d <= 17 and magnitudes from about
// 10^(d-28) up to 10^(d-1); false outside that range.
bool scaled_decimal(double magnitude, int d, std::uint64_t& digits, int& exponent) {
  if (d > kMaxScaledDigits) return false;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0) return false;  // subnormal
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int q = biased - 1075;
  // floor(log10(magnitude)) is `decade` or one more (log10(2) ~ 78913 / 2^18):
  // when the scaled value has d + 1 digits, it is scaled once more.
  int decade = ((biased - 1023) * 78913) >> 18;
  const std::uint64_t top = kPowerOfTenInteger[static_cast<std::size_t>(d)];
  const int scale = d - 1 - decade;
  if (scale < 0 || scale > kMaxPowerOfFive) return false;
  std::uint64_t whole = 0;
  std::uint64_t rounded = scaled_integer(m, q, scale, whole);
  if (whole >= top) {
    if (scale == 0) return false;
    ++decade;
    rounded = scaled_integer(m, q, scale - 1, whole);
  }
  if (rounded == top) {  // 9.99...95 rounds up into the next decade
    rounded = top / 10;
    ++decade;
  }
  digits = rounded;
  exponent = decade + 1;
  return true;
}

// The same digits and exponent from one correctly rounded conversion of
// the binary value, so that a carry (9.99...95 -> 10.0) moves into the
// exponent by itself. Returns false when the conversion fails.
bool rounded_decimal(double magnitude, int d, char* digits, int& exponent) {
  char sci[300];
  const auto [end, ec] = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, d - 1);
  if (ec != std::errc()) return false;
  digits[0] = sci[0];
  for (int i = 2; i <= d; ++i) digits[i - 1] = sci[i];
  const char* e = sci + (d == 1 ? 1 : d + 1);  // "d.ddd" then 'e'
  exponent = 0;
  for (const char* q = e + 2; q < end; ++q) exponent = exponent * 10 + (*q - '0');
  if (e[1] == '-') exponent = -exponent;
  exponent += 1;
  return true;
}

// The exponent of the exponent forms: the letter, its sign and two digits,
// or for three-digit exponents the sign and three digits.
void write_exponent(char* p, int exponent, char letter) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude <= 99) {
    *p++ = letter;
    *p++ = exponent < 0 ? '-' : '+';
  } else {
    *p++ = exponent < 0 ? '-' : '+';
    *p++ = static_cast<char>('0' + magnitude / 100);
  }
  write_pair(p, static_cast<std::uint32_t>(magnitude % 100));
}

// The most significant digits an exponent form writes (d of Dw.d, d + 1 of
// ESw.d, d at most 200).
constexpr int kMaxDigits = 201;

// Dw.d and Ew.d: "0." + d significant digits + exponent, with the exponent
// letter dropped for three-digit exponents. The sign position is blank for
// positive values and for zeros of either sign. Written straight into `out`
// (this is the hot path of record writing).
void put_exponent_form(char* out, double value, int w, int d, char letter) {
  if (w <= 0) return;
  if (!std::isfinite(value) || d < 1 || d > 200) return fill(out, w, '*');
  const bool negative = value < 0.0;
  // Without room the blank sign position goes first, then the optional zero.
  int length = d + 7;
  const bool signShown = negative || length <= w;
  if (!signShown) --length;
  const bool zeroShown = length <= w;
  if (!zeroShown) --length;
  if (length > w) return fill(out, w, '*');
  char* p = out;
  for (int i = length; i < w; ++i) *p++ = ' ';
  if (signShown) *p++ = negative ? '-' : ' ';
  if (zeroShown) *p++ = '0';
  *p++ = '.';
  int exponent = 0;
  std::uint64_t digits = 0;
  if (value == 0.0) {
    write_digits(p, 0, d);
  } else if (scaled_decimal(std::fabs(value), d, digits, exponent)) {
    write_digits(p, digits, d);
  } else if (!rounded_decimal(std::fabs(value), d, p, exponent)) {
    return fill(out, w, '*');
  }
  write_exponent(p + d, exponent, letter);
}

// ESw.d: one significant digit before the point, d after it, then the
// exponent as Dw.d writes it: d + 1 significant digits where Dw.d keeps d.
// The sign position is blank for positive values and for zeros of either
// sign; without room it goes first (the digit before the point is no
// optional zero).
void put_scientific_form(char* out, double value, int w, int d) {
  if (w <= 0) return;
  if (!std::isfinite(value) || d < 1 || d > 200) return fill(out, w, '*');
  const bool negative = value < 0.0;
  int length = d + 7;
  const bool signShown = negative || length <= w;
  if (!signShown) --length;
  if (length > w) return fill(out, w, '*');
  char* p = out;
  for (int i = length; i < w; ++i) *p++ = ' ';
  if (signShown) *p++ = negative ? '-' : ' ';
  int exponent = 1;  // of the 0.ddd form, as the conversions give it
  std::uint64_t digits = 0;
  if (value == 0.0) {
    p[0] = '0';
    write_digits(p + 2, 0, d);
  } else if (scaled_decimal(std::fabs(value), d + 1, digits, exponent)) {
    const std::uint64_t tail = kPowerOfTenInteger[static_cast<std::size_t>(d)];
    p[0] = static_cast<char>('0' + digits / tail);
    write_digits(p + 2, digits % tail, d);
  } else {
    char text[kMaxDigits + 1];
    if (!rounded_decimal(std::fabs(value), d + 1, text, exponent)) return fill(out, w, '*');
    p[0] = text[0];
    std::memcpy(p + 2, text + 1, static_cast<std::size_t>(d));
  }
  p[1] = '.';
  write_exponent(p + 2 + d, exponent - 1, 'E');
}

}  // namespace

void put_D(char* out, double value, int w, int d) { put_exponent_form(out, value, w, d, 'D'); }

void put_E(char* out, double value, int w, int d) { put_exponent_form(out, value, w, d, 'E'); }

void put_ES(char* out, double value, int w, int d) { put_scientific_form(out, value, w, d); }

std::string integer_text(long long value) {
  char buf[24];
  buf[0] = ' ';
  const auto [end, ec] = std::to_chars(buf + 1, buf + sizeof buf, value);
  (void)ec;
  return std::string(buf, end);
}

}  // namespace kavril::platform

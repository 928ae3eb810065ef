// The single edit descriptors Iw.m, Fw.d and Dw.d/Ew.d. Each writes exactly w
// characters and prints w asterisks when the value does not fit, so that a
// wide value never shifts the later columns of a line. Digits come from one
// correctly rounded conversion of the binary value (std::to_chars); nothing is
// scaled by powers of ten and nothing depends on the locale.
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

// Powers of ten that are exact doubles.
constexpr double kPowerOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPowerOfTen = 22;
constexpr int kMaxShortDigits = 15;  // 10^15 < 2^53: every integer of up to 15 digits is an exact double

// The `count` decimal digits of m (below 10^count), two at a time.
void write_digits(char* out, std::uint64_t m, int count) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int i = count;
  for (; i >= 2; i -= 2) {
    const char* pair = kPairs + 2 * (m % 100);
    out[i - 2] = pair[0];
    out[i - 1] = pair[1];
    m /= 100;
  }
  if (i == 1) out[0] = static_cast<char>('0' + m);
}

// m * 10^-k rounded once to the nearest double, for |k| <= 22 (Clinger):
// m and the power of ten are exact doubles, and one multiplication or
// division rounds correctly.
double exact_quotient(std::uint64_t m, int k) {
  return k < 0 ? static_cast<double>(m) * kPowerOfTen[-k] : static_cast<double>(m) / kPowerOfTen[k];
}

// The d significant digits of `magnitude` rounded to d digits (as the
// integer m) and the exponent of the 0.ddd form, for the common case of a value that has a
// decimal of at most d digits in its rounding interval (every value read
// from a text of at most d digits). Such a decimal D is the correctly
// rounded result: for d <= 15 the rounding interval of a normal double
// (at most 2^-53 of the value on either side) is far narrower than half the
// distance between d-digit decimals, so no other d-digit decimal is as close.
// D = m * 10^-k is found by scaling, which is only a guess: it is accepted
// when D rounds back to `magnitude`, checked with one exact operation.
// Returns false when there is no such decimal or the check cannot be made.
bool short_decimal(double magnitude, int d, std::uint64_t& digits, int& exponent) {
  if (d > kMaxShortDigits || !std::isnormal(magnitude)) return false;
  // floor(log10(magnitude)) or one less (log10(2) ~ 78913 / 2^18).
  const int binaryExponent = static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
  int decade = (binaryExponent * 78913) >> 18;
  const auto top = static_cast<std::uint64_t>(kPowerOfTen[d]);
  std::uint64_t m = 0;
  int k = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    k = d - 1 - decade;
    if (k < -kMaxExactPowerOfTen || k > kMaxExactPowerOfTen) return false;
    const double scaled = k < 0 ? magnitude / kPowerOfTen[-k] : magnitude * kPowerOfTen[k];
    m = static_cast<std::uint64_t>(scaled + 0.5);
    if (m < top) break;
    ++decade;  // the estimate was one too small, or the value rounds up to 10^(decade+1)
  }
  if (m < top / 10 || m >= top || exact_quotient(m, k) != magnitude) return false;
  digits = m;
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
    std::memset(p, '0', static_cast<std::size_t>(d));
  } else if (short_decimal(std::fabs(value), d, digits, exponent)) {
    write_digits(p, digits, d);
  } else if (!rounded_decimal(std::fabs(value), d, p, exponent)) {
    return fill(out, w, '*');
  }
  p += d;
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude <= 99) {
    *p++ = letter;
    *p++ = exponent < 0 ? '-' : '+';
  } else {
    *p++ = exponent < 0 ? '-' : '+';
    *p++ = static_cast<char>('0' + magnitude / 100);
  }
  *p++ = static_cast<char>('0' + magnitude / 10 % 10);
  *p = static_cast<char>('0' + magnitude % 10);
}

}  // namespace

void put_D(char* out, double value, int w, int d) { put_exponent_form(out, value, w, d, 'D'); }

void put_E(char* out, double value, int w, int d) { put_exponent_form(out, value, w, d, 'E'); }

std::string integer_text(long long value) {
  char buf[24];
  buf[0] = ' ';
  const auto [end, ec] = std::to_chars(buf + 1, buf + sizeof buf, value);
  (void)ec;
  return std::string(buf, end);
}

}  // namespace kavril::platform

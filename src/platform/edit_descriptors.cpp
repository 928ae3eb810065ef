// The single edit descriptors Iw.m, Fw.d and Dw.d/Ew.d. Each writes exactly w
// characters and prints w asterisks when the value does not fit, so that a
// wide value never shifts the later columns of a line. Digits come from one
// correctly rounded conversion of the binary value (std::to_chars); nothing is
// scaled by powers of ten and nothing depends on the locale.
#include <charconv>
#include <cmath>
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

// Dw.d and Ew.d: "0." + d significant digits + exponent, with the exponent
// letter dropped for three-digit exponents. The sign position is blank for
// positive values and for zeros of either sign. Written straight into `out`
// (this is the hot path of record writing).
void put_exponent_form(char* out, double value, int w, int d, char letter) {
  if (w <= 0) return;
  if (!std::isfinite(value) || d < 1 || d > 200) return fill(out, w, '*');
  const bool zero = value == 0.0;
  const bool negative = value < 0.0;
  char sci[300];
  int exponent = 0;
  if (!zero) {
    // One correctly rounded conversion gives the digits and the exponent,
    // so a carry (9.99...95 -> 10.0) moves into the exponent by itself.
    const auto [end, ec] =
        std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, d - 1);
    if (ec != std::errc()) return fill(out, w, '*');
    const char* e = sci + (d == 1 ? 1 : d + 1);  // "d.ddd" then 'e'
    for (const char* q = e + 2; q < end; ++q) exponent = exponent * 10 + (*q - '0');
    if (e[1] == '-') exponent = -exponent;
    exponent += 1;
  }
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
  if (zero) {
    for (int i = 0; i < d; ++i) *p++ = '0';
  } else {
    *p++ = sci[0];
    for (int i = 2; i <= d; ++i) *p++ = sci[i];
  }
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

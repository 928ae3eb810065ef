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
void right_align(char* out, int w, const char* text, int length) {
  fill(out, w - length, ' ');
  std::memcpy(out + (w - length), text, static_cast<std::size_t>(length));
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
// positive values and for zeros of either sign.
void put_exponent_form(char* out, double value, int w, int d, char letter) {
  if (w <= 0) return;
  if (!std::isfinite(value) || d < 1 || d > 200) return fill(out, w, '*');
  char digits[256];
  int exponent = 0;
  const bool negative = value < 0;
  if (value == 0.0) {
    std::memset(digits, '0', static_cast<std::size_t>(d));
  } else {
    // One correctly rounded conversion gives the digits and the exponent,
    // so a carry (9.99...95 -> 10.0) moves into the exponent by itself.
    char sci[300];
    const auto [end, ec] =
        std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, d - 1);
    if (ec != std::errc()) return fill(out, w, '*');
    digits[0] = sci[0];
    const char* p = sci + 1;
    if (d > 1) {
      std::memcpy(digits + 1, sci + 2, static_cast<std::size_t>(d - 1));
      p = sci + 1 + d;  // past '.' and the d-1 decimals
    }
    // p points at 'e'
    const bool expNegative = p[1] == '-';
    for (const char* q = p + 2; q < end; ++q) exponent = exponent * 10 + (*q - '0');
    if (expNegative) exponent = -exponent;
    exponent += 1;
  }
  char text[300];
  int length = 0;
  text[length++] = negative && value != 0.0 ? '-' : ' ';
  text[length++] = '0';
  text[length++] = '.';
  std::memcpy(text + length, digits, static_cast<std::size_t>(d));
  length += d;
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude <= 99) {
    text[length++] = letter;
    text[length++] = exponent < 0 ? '-' : '+';
  } else {
    text[length++] = exponent < 0 ? '-' : '+';
    text[length++] = static_cast<char>('0' + magnitude / 100);
  }
  text[length++] = static_cast<char>('0' + magnitude / 10 % 10);
  text[length++] = static_cast<char>('0' + magnitude % 10);
  // Without room the blank sign position goes first, then the optional zero.
  char* start = text;
  if (length > w && start[0] == ' ') {
    ++start;
    --length;
  }
  if (length > w) {
    if (start[0] == '-') start[1] = '-';  // "-0." -> "-."
    ++start;                              // "0." -> "."
    --length;
    if (length > w) return fill(out, w, '*');
  }
  right_align(out, w, start, length);
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

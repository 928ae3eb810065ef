// Free-format input: strict number parsing and the splitting of free-format
// lines into numbers and items. Tabs count as blanks, as in list-directed
// input. Nothing here depends on the locale.
#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_space(char c) { return c == ' ' || c == '\t'; }
// Blank, tab or comma; every character of a number lies above the comma but '+'.
bool is_number_separator(char c) { return c <= ',' && (c == ' ' || c == '\t' || c == ','); }

// A number token taken apart in one pass. Its value is
// digits * 10^exponent unless it has more than 19 significant digits.
struct DecimalParts {
  bool negative = false;
  std::uint64_t digits = 0;  // below 10^19 < 2^64 when not `tooLong`
  int exponent = 0;
  bool tooLong = false;      // more than 19 significant digits
  std::size_t letter = 0;    // position of the exponent letter in the token (its end without one)
};

// True when all 8 bytes of `chunk` are decimal digits.
bool eight_digits(std::uint64_t chunk) {
  return ((chunk & 0xF0F0F0F0F0F0F0F0) | (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
         0x3333333333333333;
}

// The value of 8 digits loaded as one little-endian word: neighbouring
// digits, then pairs, then quadruples are combined with one multiplication
// each.
std::uint64_t eight_digits_value(std::uint64_t chunk) {
  chunk -= 0x3030303030303030;
  chunk = (chunk * 10 + (chunk >> 8)) & 0x00FF00FF00FF00FF;
  chunk = (chunk * 100 + (chunk >> 16)) & 0x0000FFFF0000FFFF;
  return (chunk * 10000 + (chunk >> 32)) & 0xFFFFFFFF;
}

// Reads a run of digits into `digits` (wrapping beyond 19 digits, which the
// caller then ignores); returns the position after the run. Long runs go
// 8 digits at a time.
const char* take_digits(const char* p, const char* end, std::uint64_t& digits) {
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t chunk = 0;
      std::memcpy(&chunk, p, sizeof chunk);
      if (!eight_digits(chunk)) break;
      digits = digits * 100000000 + eight_digits_value(chunk);
      p += 8;
    }
  }
  for (; p < end; ++p) {
    const auto d = static_cast<unsigned char>(*p - '0');
    if (d > 9) break;
    digits = digits * 10 + d;
  }
  return p;
}

// Takes apart the number that starts at p: [sign] digits [. digits]
// [(E|e|D|d) [sign] digits] with at least one mantissa digit. Stops at the
// first character that cannot continue the number and returns its position,
// or nullptr when what stands before it is no complete number.
const char* scan_number(const char* p, const char* end, DecimalParts& parts) {
  constexpr int kMaxDigits = 19;
  constexpr int kExponentCap = 100000;  // far beyond any double; keeps the sum in int
  const char* const first = p;
  if (p < end && (*p == '+' || *p == '-')) parts.negative = *p++ == '-';
  const char* const mantissa = p;
  p = take_digits(p, end, parts.digits);
  std::size_t count = static_cast<std::size_t>(p - mantissa);
  std::ptrdiff_t decimals = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    p = take_digits(p, end, parts.digits);
    decimals = p - fraction;
    count += static_cast<std::size_t>(decimals);
  }
  if (count == 0) return nullptr;
  parts.letter = static_cast<std::size_t>(p - first);
  int exponent = 0;
  if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || !is_digit(*p)) return nullptr;
    for (; p < end && is_digit(*p); ++p)
      if (exponent < kExponentCap) exponent = exponent * 10 + (*p - '0');
    if (negative) exponent = -exponent;
  }
  // Leading zeros add nothing to the digits.
  if (count > kMaxDigits) {
    for (const char* q = mantissa; count > 0 && (*q == '0' || *q == '.'); ++q)
      if (*q == '0') --count;
  }
  parts.tooLong = count > kMaxDigits;
  // Kept within int also for absurdly long tokens (such exponents take the
  // general path anyway).
  const std::ptrdiff_t scaled = exponent - decimals;
  parts.exponent = static_cast<int>(std::clamp<std::ptrdiff_t>(scaled, -2 * kExponentCap, 2 * kExponentCap));
  return p;
}

// Powers of ten that are exact doubles, and powers of five below 2^64.
constexpr double kPowerOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPowerOfTen = 22;
constexpr int kMaxPowerOfFive = 27;
constexpr std::array<std::uint64_t, kMaxPowerOfFive + 1> kPowerOfFive = [] {
  std::array<std::uint64_t, kMaxPowerOfFive + 1> powers{};
  powers[0] = 1;
  for (std::size_t k = 1; k < powers.size(); ++k) powers[k] = powers[k - 1] * 5;
  return powers;
}();
constexpr std::uint64_t kTwoPow53 = std::uint64_t{1} << 53;

__extension__ typedef unsigned __int128 Uint128;

int bit_length(std::uint64_t n) { return static_cast<int>(std::bit_width(n)); }

int bit_length(Uint128 n) {
  const auto high = static_cast<std::uint64_t>(n >> 64);
  return high != 0 ? 64 + bit_length(high) : bit_length(static_cast<std::uint64_t>(n));
}

// The double nearest to (n + f) * 2^power, where 0 <= f < 1 is a fraction
// that is nonzero exactly when `sticky` (a remainder below the last bit of n;
// callers give n at least 55 bits then). Ties go to even. The result must lie
// in the normal range, which the callers' limits on digits and exponent
// guarantee (10^-27 to 10^46).
double nearest_double(Uint128 n, bool sticky, int power) {
  int shift = bit_length(n) - 53;
  std::uint64_t mantissa = 0;
  if (shift <= 0) {
    mantissa = static_cast<std::uint64_t>(n) << -shift;  // exact
  } else {
    mantissa = static_cast<std::uint64_t>(n >> shift);
    const Uint128 rest = n & ((Uint128{1} << shift) - 1);
    const Uint128 half = Uint128{1} << (shift - 1);
    if (rest > half || (rest == half && (sticky || (mantissa & 1) != 0))) ++mantissa;
    if (mantissa == kTwoPow53) {  // the carry made it 54 bits
      mantissa >>= 1;
      ++shift;
    }
  }
  // mantissa * 2^(power + shift) with 2^52 <= mantissa < 2^53.
  const auto biased = static_cast<std::uint64_t>(power + shift + 52 + 1023);
  return std::bit_cast<double>(biased << 52 | (mantissa & (kTwoPow53 / 2 - 1)));
}

// Exact conversion of a plain decimal without the library's general
// algorithm, for digits below 2^64 and powers of ten up to 10^+-27; false
// outside that range. Clinger's fast path: when the digits and the power of
// ten are both exact doubles, one multiplication or division rounds
// correctly. Otherwise the value is formed with exact integer arithmetic:
// digits * 5^e (at most 128 bits) for e >= 0, the quotient of digits * 2^s
// by 5^k with its remainder for e = -k, and rounded once to the nearest
// double.
bool exact_decimal(const DecimalParts& parts, double& value) {
  if (parts.tooLong) return false;
  const int e = parts.exponent;
  double magnitude = 0.0;
  if (parts.digits == 0) {
    magnitude = 0.0;
  } else if (parts.digits <= kTwoPow53 && e >= -kMaxExactPowerOfTen && e <= kMaxExactPowerOfTen) {
    const auto digits = static_cast<double>(parts.digits);
    magnitude = e >= 0 ? digits * kPowerOfTen[e] : digits / kPowerOfTen[-e];
  } else if (e >= 0 && e <= kMaxPowerOfFive) {
    // digits * 10^e = (digits * 5^e) * 2^e
    magnitude = nearest_double(Uint128{parts.digits} * kPowerOfFive[static_cast<std::size_t>(e)], false, e);
  } else if (e < 0 && e >= -kMaxPowerOfFive) {
    // digits * 10^-k = (digits * 2^s / 5^k) * 2^(-s-k); s gives the quotient
    // at least 55 bits (digits * 2^s stays below 2^118).
    const int k = -e;
    const std::uint64_t divisor = kPowerOfFive[static_cast<std::size_t>(k)];
    const int s = std::max(0, 55 + bit_length(divisor) - bit_length(parts.digits));
    const Uint128 numerator = Uint128{parts.digits} << s;
    magnitude = nearest_double(numerator / divisor, numerator % divisor != 0, -s - k);
  } else {
    return false;
  }
  value = parts.negative ? -magnitude : magnitude;
  return true;
}

// Correctly rounded conversion of a value beyond the normal range (glibc's
// strtod rounds exactly; the "C" locale object makes it locale-independent).
// Returns false on overflow.
bool convert_out_of_range(const std::string& text, double& value) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  errno = 0;
  const double result = strtod_l(text.c_str(), nullptr, cLocale);
  if (std::isinf(result)) return false;
  value = result;
  return true;
}

// The general conversion: from_chars, which takes no '+' and no D exponent
// (a D goes to 'e' in a small local buffer; tokens longer than the buffer
// are rare and take a string).
bool convert_general(std::string_view token, std::size_t letter, double& value) {
  if (token[0] == '+') {
    token.remove_prefix(1);
    --letter;
  }
  const char* first = token.data();
  char local[128];
  std::string longer;
  if (letter < token.size() && (token[letter] == 'D' || token[letter] == 'd')) {
    char* buffer = local;
    if (token.size() > sizeof local) {
      longer.assign(token);
      buffer = longer.data();
    } else {
      std::copy(token.begin(), token.end(), local);
    }
    buffer[letter] = 'e';
    first = buffer;
  }
  const char* last = first + token.size();
  double result = 0.0;
  const auto [end, ec] = std::from_chars(first, last, result, std::chars_format::general);
  if (end != last) return false;
  if (ec == std::errc::result_out_of_range) return convert_out_of_range(std::string(first, last), value);
  if (ec != std::errc()) return false;
  value = result;
  return true;
}

// The value of a token that scan_number took apart.
bool convert(std::string_view token, const DecimalParts& parts, double& value) {
  return exact_decimal(parts, value) || convert_general(token, parts.letter, value);
}

// Takes apart a whole token; false unless it is exactly one number.
bool scan_token(std::string_view token, DecimalParts& parts) {
  const char* const end = token.data() + token.size();
  const char* const stop = scan_number(token.data(), end, parts);
  return stop != nullptr && stop == end;
}

// Skips the blanks (and tabs) from `pos` on.
void skip_blanks(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && is_space(line[pos])) ++pos;
}

}  // namespace

bool parse_real(std::string_view token, double& value) {
  DecimalParts parts;
  return scan_token(token, parts) && convert(token, parts, value);
}

bool has_real_form(std::string_view token) {
  DecimalParts parts;
  return scan_token(token, parts);
}

bool parse_int(std::string_view token, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  if (i == token.size()) return false;
  long long magnitude = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (; i < token.size(); ++i) {
    if (!is_digit(token[i])) return false;
    magnitude = magnitude * 10 + (token[i] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

bool NumberTokens::next(std::string_view& token) {
  skip_blanks(line_, pos_);
  if (pos_ >= line_.size()) return false;
  if (line_[pos_] == ',') {  // no value before this comma: an empty item
    ++pos_;
    token = line_.substr(pos_ - 1, 0);
    return true;
  }
  const std::size_t start = pos_;
  const char* const data = line_.data();
  std::size_t end = pos_;
  while (end < line_.size() && !is_number_separator(data[end])) ++end;
  pos_ = end;
  token = line_.substr(start, pos_ - start);
  skip_separator();
  return true;
}

// The number is taken apart where it stands; only a token that is no
// number is delimited separately (by next), for the caller's report.
NumberTokens::Result NumberTokens::next_real(double& value, std::string_view& token) {
  skip_blanks(line_, pos_);
  if (pos_ >= line_.size()) return Result::End;
  const char* const first = line_.data() + pos_;
  const char* const end = line_.data() + line_.size();
  DecimalParts parts;
  const char* const stop = scan_number(first, end, parts);
  if (stop == nullptr || (stop != end && !is_number_separator(*stop))) {
    next(token);
    return Result::NotANumber;
  }
  token = std::string_view(first, static_cast<std::size_t>(stop - first));
  pos_ += token.size();
  skip_separator();
  return convert(token, parts, value) ? Result::Ok : Result::NotANumber;
}

// The separator after a value: blanks with at most one comma.
void NumberTokens::skip_separator() {
  skip_blanks(line_, pos_);
  if (pos_ < line_.size() && line_[pos_] == ',') ++pos_;
}

ItemResult ItemDecoder::next(std::string& item) {
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ >= line_.size()) return ItemResult::EndOfLine;
  const char c = line_[pos_];
  if (c == '/') return ItemResult::Slash;  // stays at the slash: every later call says Slash too
  if (c == ',') {
    ++pos_;
    return ItemResult::Empty;
  }
  item.clear();
  if (c == '"' || c == '\'') {
    ++pos_;
    for (;;) {
      if (pos_ >= line_.size()) return ItemResult::Unterminated;
      const char k = line_[pos_++];
      if (k != c) {
        item += k;
      } else if (pos_ < line_.size() && line_[pos_] == c) {
        item += c;  // doubled delimiter
        ++pos_;
      } else {
        break;
      }
    }
    // The closing delimiter must end the item ('ab'cd is no item).
    if (pos_ < line_.size() && !is_space(line_[pos_]) && line_[pos_] != ',' && line_[pos_] != '/') {
      pos_ = line_.size();
      return ItemResult::Unterminated;
    }
  } else {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !is_space(line_[pos_]) && line_[pos_] != ',' && line_[pos_] != '/') ++pos_;
    item.assign(line_.substr(start, pos_ - start));
  }
  // The separator after an item: blanks with at most one comma.
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ < line_.size() && line_[pos_] == ',') ++pos_;
  return ItemResult::Ok;
}

}  // namespace kavril::platform

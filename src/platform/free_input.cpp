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
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

// The per-number path of broadcast files is inlined into NumberTokens::next_reals.
#define KAVRIL_INLINE [[gnu::always_inline]] inline

KAVRIL_INLINE bool is_digit(char c) { return c >= '0' && c <= '9'; }
KAVRIL_INLINE bool is_space(char c) { return is_free_blank(c); }
// Blank, tab or comma; every character of a number lies above the comma but '+'.
KAVRIL_INLINE bool is_number_separator(char c) { return c <= ',' && (c == ' ' || c == '\t' || c == ','); }

// The position after the separator that follows a value: blanks with at
// most one comma.
KAVRIL_INLINE const char* after_separator(const char* p, const char* end) {
  while (p < end && is_space(*p)) ++p;
  if (p < end && *p == ',') ++p;
  return p;
}

// A number token taken apart in one pass. Its value is
// digits * 10^exponent unless it has more than 19 significant digits.
struct DecimalParts {
  bool negative = false;
  std::uint64_t digits = 0;  // below 10^19 < 2^64 when not `tooLong`
  int exponent = 0;
  bool tooLong = false;      // more than 19 significant digits, or an exponent cut at its cap
  std::size_t letter = 0;    // position of the exponent letter in the token (its end without one)
};

// The value of 8 digits loaded as one little-endian word, or false when
// not all 8 bytes are digits. After subtracting '0' from every byte, a digit
// byte is at most 9: neither it nor it plus 0x76 reaches 0x80 (a carry or
// borrow between bytes only comes from a byte that fails anyway). Then
// neighbouring digits, and pairs, quadruples are combined with
// multiplications.
KAVRIL_INLINE bool eight_digits(std::uint64_t chunk, std::uint64_t& value) {
  const std::uint64_t v = chunk - 0x3030303030303030;
  if (((v + 0x7676767676767676) | v) & 0x8080808080808080) return false;
  const std::uint64_t pairs = v * 10 + (v >> 8);
  value = (((pairs & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
           (((pairs >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
          32;
  return true;
}

// Reads a run of digits into `digits` (wrapping beyond 19 digits, which the
// caller then ignores); returns the position after the run. Long runs go
// 8 digits at a time.
KAVRIL_INLINE const char* take_digits(const char* p, const char* end, std::uint64_t& digits) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t eight = 0;
    while (end - p >= 8) {
      std::uint64_t chunk = 0;
      std::memcpy(&chunk, p, sizeof chunk);
      if (!eight_digits(chunk, eight)) break;
      digits = digits * 100000000 + eight;
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
KAVRIL_INLINE const char* scan_number(const char* p, const char* end, DecimalParts& parts) {
  constexpr int kMaxDigits = 19;
  constexpr int kExponentCap = 100000;  // far beyond any double; keeps the sum in int
  const char* const first = p;
  if (p < end && (*p == '+' || *p == '-')) parts.negative = *p++ == '-';
  const char* const mantissa = p;
  // The integer part is short in most numbers (one digit in the exponent
  // form): digit by digit; fractions go eight digits at a time.
  for (; p < end; ++p) {
    const auto d = static_cast<unsigned char>(*p - '0');
    if (d > 9) break;
    parts.digits = parts.digits * 10 + d;
  }
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
  bool exponentCut = false;  // digits beyond the cap dropped: the exponent is no longer exact
  if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || !is_digit(*p)) return nullptr;
    if (end - p >= 2 && is_digit(p[1]) && (end - p == 2 || !is_digit(p[2]))) {
      exponent = (p[0] - '0') * 10 + (p[1] - '0');  // the common two digits
      p += 2;
    } else {
      for (; p < end; ++p) {
        const auto d = static_cast<unsigned char>(*p - '0');
        if (d > 9) break;
        if (exponent < kExponentCap)
          exponent = exponent * 10 + d;
        else
          exponentCut = true;
      }
    }
    if (negative) exponent = -exponent;
  }
  // Leading zeros add nothing to the digits.
  if (count > kMaxDigits) {
    for (const char* q = mantissa; count > 0 && (*q == '0' || *q == '.'); ++q)
      if (*q == '0') --count;
  }
  // A cut exponent with as many decimals would give a modest value to a
  // number that overflows: such tokens take the general path.
  parts.tooLong = count > kMaxDigits || exponentCut;
  // Kept within int also for absurdly long tokens (such exponents take the
  // general path anyway).
  const std::ptrdiff_t scaled = exponent - decimals;
  parts.exponent = static_cast<int>(std::clamp<std::ptrdiff_t>(scaled, -2 * kExponentCap, 2 * kExponentCap));
  return p;
}

constexpr std::uint64_t kTwoPow53 = std::uint64_t{1} << 53;

__extension__ typedef unsigned __int128 Uint128;

KAVRIL_INLINE constexpr int bit_length(std::uint64_t n) { return static_cast<int>(std::bit_width(n)); }

KAVRIL_INLINE constexpr int bit_length(Uint128 n) {
  const auto high = static_cast<std::uint64_t>(n >> 64);
  return high != 0 ? 64 + bit_length(high) : bit_length(static_cast<std::uint64_t>(n));
}

// Powers of five below 2^128, and their reciprocals floor(2^(127 + L) / 5^k)
// for 5^k of L bits, in [2^127, 2^128), built bit by bit by long division
// at compile time.
constexpr int kMaxReciprocalPower = 55;
struct PowerOfFive {
  Uint128 reciprocal;
  int length;  // L
};
constexpr std::array<PowerOfFive, kMaxReciprocalPower + 1> kPowersOfFive = [] {
  std::array<PowerOfFive, kMaxReciprocalPower + 1> table{};
  Uint128 power = 1;
  for (std::size_t k = 0; k < table.size(); ++k, power *= 5) {
    const int length = bit_length(power);
    // 2^L / 5^k = 1 + remainder / 5^k; the subtraction wraps for L = 128.
    Uint128 remainder = (length < 128 ? Uint128{1} << length : 0) - power;
    Uint128 quotient = 1;
    for (int bit = 0; bit < 127; ++bit) {
      const bool carry = remainder >> 127 != 0;  // 2 * remainder beyond 128 bits
      remainder <<= 1;
      quotient <<= 1;
      if (carry || remainder >= power) {
        remainder -= power;
        quotient |= 1;
      }
    }
    table[k] = {quotient, length};
  }
  return table;
}();

// digits * 10^-k rounded to the nearest double for digits > 0 and
// 1 <= k <= 55, without a division. digits, shifted to 64 bits, times the
// reciprocal of 5^k approximates digits / 5^k from below with an error of
// less than two units of the 128 bits kept; that decides the rounding
// unless the bits below the 53 of the mantissa lie within two units of one
// half: then false (the library converts).
KAVRIL_INLINE bool quotient_by_reciprocal(std::uint64_t digits, int k, double& magnitude) {
  const PowerOfFive& five = kPowersOfFive[static_cast<std::size_t>(k)];
  const int normalize = std::countl_zero(digits);
  const std::uint64_t wide = digits << normalize;
  // wide * reciprocal has 192 bits, of which the top 128 are kept.
  const Uint128 low = Uint128{wide} * static_cast<std::uint64_t>(five.reciprocal);
  const Uint128 high = Uint128{wide} * static_cast<std::uint64_t>(five.reciprocal >> 64);
  const Uint128 top = high + (low >> 64);  // at least 2^126
  // value = top * 2^(64 - 127 - L - k - normalize). The mantissa is the top
  // 53 of its 127 or 128 bits; the bits below (the rest) are compared with
  // half a unit word by word: the half lies in the high word.
  const auto topHigh = static_cast<std::uint64_t>(top >> 64);
  const auto topLow = static_cast<std::uint64_t>(top);
  const int shift = 10 + static_cast<int>(topHigh >> 63);  // bits of the rest in the high word
  std::uint64_t mantissa = topHigh >> shift;
  const std::uint64_t restHigh = topHigh & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t halfHigh = std::uint64_t{1} << (shift - 1);
  if (restHigh > halfHigh || (restHigh == halfHigh && topLow != 0)) {
    ++mantissa;  // the exact value lies at or above top, so above the half too
  } else if ((restHigh == halfHigh && topLow == 0) || (restHigh == halfHigh - 1 && topLow == ~std::uint64_t{0})) {
    return false;  // the rest is within two units of the half: too close to tell
  }
  int power = shift + 64 + 64 - 127 - five.length - k - normalize;
  if (mantissa == kTwoPow53) {
    mantissa >>= 1;
    ++power;
  }
  // Normal: the value is at least 10^-55.
  const auto biased = static_cast<std::uint64_t>(power + 52 + 1023);
  magnitude = std::bit_cast<double>(biased << 52 | (mantissa & (kTwoPow53 / 2 - 1)));
  return true;
}

// Exact conversion of a plain decimal without the library, for digits
// below 2^64 and powers of ten from 10^-55 to 10^-1: the quotient by 5^k
// from the reciprocal. False otherwise (a power of ten of 10^0 or more, or a
// quotient too close to a tie), and the library converts. The numbers of
// broadcast files (17 digits, a power of ten below 1) nearly all take this
// path or are zero; other own paths made no run faster than the library
// (measured in the README's "Performance").
KAVRIL_INLINE bool exact_decimal(const DecimalParts& parts, double& value) {
  if (parts.tooLong) return false;
  const int k = -parts.exponent;
  double magnitude = 0.0;
  if (parts.digits == 0) {
    magnitude = 0.0;
  } else if (k < 1 || k > kMaxReciprocalPower || !quotient_by_reciprocal(parts.digits, k, magnitude)) {
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
[[gnu::noinline]] bool convert_general(std::string_view token, std::size_t letter, double& value) {
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
KAVRIL_INLINE bool convert(std::string_view token, const DecimalParts& parts, double& value) {
  return exact_decimal(parts, value) || convert_general(token, parts.letter, value);
}

// Takes apart a whole token; false unless it is exactly one number.
bool scan_token(std::string_view token, DecimalParts& parts) {
  const char* const end = token.data() + token.size();
  const char* const stop = scan_number(token.data(), end, parts);
  return stop != nullptr && stop == end;
}

// True when nothing but blanks stands before `p` on its line: a comma there
// follows the line end, which separates already, so it is the same separator.
bool starts_line(const char* line, const char* p) {
  return std::all_of(line, p, is_space);
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
  if (pos_ < line_.size() && line_[pos_] == ',' && starts_line(line_.data(), line_.data() + pos_)) {
    ++pos_;
    skip_blanks(line_, pos_);
  }
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

NumberTokens::Result NumberTokens::next_real(double& value, std::string_view& token) {
  std::size_t count = 0;
  const Result result = next_reals(std::span<double>(&value, 1), count, token);
  return count == 1 ? Result::Ok : result;
}

// Each number is taken apart where it stands, the position kept in a
// register for the whole line; only a token that is no number is delimited
// separately (by next), for the caller's report.
NumberTokens::Result NumberTokens::next_reals(std::span<double> values, std::size_t& count,
                                              std::string_view& token) {
  const char* const data = line_.data();
  const char* const end = data + line_.size();
  const char* p = data + pos_;
  const char* first = p;  // of the last number read
  const char* stop = p;
  const auto finish = [&](Result result) {
    pos_ = static_cast<std::size_t>(p - data);
    if (count > 0) token = std::string_view(first, static_cast<std::size_t>(stop - first));
    return result;
  };
  count = 0;
  while (count < values.size()) {
    while (p < end && is_space(*p)) ++p;
    if (p == end) return finish(Result::End);
    DecimalParts parts;
    const char* const next_stop = scan_number(p, end, parts);
    if (next_stop == nullptr || (next_stop != end && !is_number_separator(*next_stop))) {
      if (*p == ',' && starts_line(data, p)) {  // the separator of the line end
        ++p;
        continue;
      }
      pos_ = static_cast<std::size_t>(p - data);
      next(token);
      return Result::NotANumber;
    }
    first = p;
    stop = next_stop;
    p = after_separator(stop, end);
    const std::string_view number(first, static_cast<std::size_t>(stop - first));
    if (!convert(number, parts, values[count])) {
      pos_ = static_cast<std::size_t>(p - data);
      token = number;
      return Result::NotANumber;
    }
    ++count;
  }
  return finish(Result::Ok);
}

// The separator after a value: blanks with at most one comma.
void NumberTokens::skip_separator() {
  pos_ = static_cast<std::size_t>(after_separator(line_.data() + pos_, line_.data() + line_.size()) - line_.data());
}

ItemResult ItemDecoder::next(std::string& item) {
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ >= line_.size()) return ItemResult::EndOfLine;
  const char c = line_[pos_];
  if (c == '/') {  // stays at the slash: every later call says the same
    const bool alone = pos_ + 1 == line_.size() || is_space(line_[pos_ + 1]) || line_[pos_ + 1] == ',';
    return strict_ && !alone ? ItemResult::SlashInItem : ItemResult::Slash;
  }
  if (c == ',') {
    ++pos_;
    return ItemResult::Empty;
  }
  item.clear();
  quoted_ = c == '"' || c == '\'';
  if (quoted_) {
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
    if (strict_ && pos_ < line_.size() && line_[pos_] == '/') return ItemResult::SlashInItem;
    item.assign(line_.substr(start, pos_ - start));
  }
  // The separator after an item: blanks with at most one comma.
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ < line_.size() && line_[pos_] == ',') ++pos_;
  return ItemResult::Ok;
}

}  // namespace kavril::platform

#undef KAVRIL_INLINE

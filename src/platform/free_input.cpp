// Free-format input: strict number parsing and the splitting of free-format
// lines into numbers and items. Tabs count as blanks, as in list-directed
// input. Nothing here depends on the locale.
#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_space(char c) { return c == ' ' || c == '\t'; }

// Checks the grammar [sign] digits [. digits] [(E|e|D|d) [sign] digits]
// with at least one mantissa digit; returns the position of the exponent
// letter (or the token's size when there is none), or npos when the token
// is not a number.
std::size_t check_real_syntax(std::string_view token) {
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < token.size() && is_digit(token[i])) ++i, ++digits;
  if (i < token.size() && token[i] == '.') {
    ++i;
    while (i < token.size() && is_digit(token[i])) ++i, ++digits;
  }
  if (digits == 0) return std::string_view::npos;
  const std::size_t letter = i;
  if (i == token.size()) return letter;
  const char e = token[i];
  if (e != 'E' && e != 'e' && e != 'D' && e != 'd') return std::string_view::npos;
  ++i;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  if (i == token.size()) return std::string_view::npos;
  while (i < token.size() && is_digit(token[i])) ++i;
  return i == token.size() ? letter : std::string_view::npos;
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

}  // namespace

bool parse_real(std::string_view token, double& value) {
  if (check_real_syntax(token) == std::string_view::npos) return false;
  // from_chars takes no '+' and no D exponent: a D goes to 'e' in a small
  // local buffer (tokens longer than the buffer are rare and take a string).
  if (token[0] == '+') token.remove_prefix(1);
  const char* first = token.data();
  char local[128];
  std::string longer;
  const std::size_t letter = token.find_first_of("Dd");
  if (letter != std::string_view::npos) {
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

bool has_real_form(std::string_view token) { return check_real_syntax(token) != std::string_view::npos; }

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
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ >= line_.size()) return false;
  if (line_[pos_] == ',') {  // no value before this comma: an empty item
    ++pos_;
    token = line_.substr(pos_ - 1, 0);
    return true;
  }
  const std::size_t start = pos_;
  while (pos_ < line_.size() && !is_space(line_[pos_]) && line_[pos_] != ',') ++pos_;
  token = line_.substr(start, pos_ - start);
  // The separator after a value: blanks with at most one comma.
  while (pos_ < line_.size() && is_space(line_[pos_])) ++pos_;
  if (pos_ < line_.size() && line_[pos_] == ',') ++pos_;
  return true;
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

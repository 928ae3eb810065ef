// Fixed-column fields of RINEX lines: numbers touch their neighbours, may
// lack the zero before the point and use D, d, E or e; a blank field gives
// no value.
#include "rinex/columns.h"

#include "platform/platform.h"

namespace kavril::rinex {

std::string_view column_field(std::string_view line, int first, int width) {
  const auto start = static_cast<std::size_t>(first - 1);
  if (start >= line.size()) return {};
  std::string_view field = line.substr(start, static_cast<std::size_t>(width));
  while (!field.empty() && platform::is_free_blank(field.front())) field.remove_prefix(1);
  while (!field.empty() && platform::is_free_blank(field.back())) field.remove_suffix(1);
  return field;
}

std::string_view header_label(std::string_view line) {
  return platform::trim_right(line.size() > 60 ? line.substr(60, 20) : std::string_view());
}

std::string joined(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  std::string text;
  text.reserve(size);
  for (std::string_view part : parts) text.append(part);
  return text;
}

namespace {

void name_bad_field(std::string_view field, int first, std::string& reason) {
  reason = joined({"'", field, "' in column ", std::to_string(first), " is not a number"});
}

// A field as the writers of real files left it: a blank after the point or
// the sign is passed over (". 000000000000D+00" is zero), and an exponent of
// three digits may come without its letter ("0.499063314480-269"). A blank
// anywhere else means the field does not hold one number: a digit lost or
// one too many shifts the fields after it ("5 5.153653238297e+0"), and
// reading on would give another value without a word. Only fields that the
// strict reading refused come here.
bool parse_fortran_field(std::string_view field, double& value) {
  char text[48];
  std::size_t size = 0;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == ' ') {
      const bool afterPointOrSign = size > 0 && (text[size - 1] == '.' || text[size - 1] == '-' || text[size - 1] == '+');
      if (!afterPointOrSign) return false;
      continue;
    }
    if (size + 2 > sizeof text) return false;
    const bool signAfterDigit = (c == '+' || c == '-') && size > 0 && text[size - 1] >= '0' && text[size - 1] <= '9';
    if (signAfterDigit) text[size++] = 'E';
    text[size++] = c;
  }
  return platform::parse_real(std::string_view(text, size), value);
}

}  // namespace

FieldRead read_real(std::string_view line, int first, int width, double& value, std::string& reason) {
  const std::string_view field = column_field(line, first, width);
  if (field.empty()) return FieldRead::Blank;
  if (platform::parse_real(field, value) || parse_fortran_field(field, value)) return FieldRead::Given;
  name_bad_field(field, first, reason);
  return FieldRead::Bad;
}

FieldRead read_integer(std::string_view line, int first, int width, int& value, std::string& reason) {
  const std::string_view field = column_field(line, first, width);
  if (field.empty()) return FieldRead::Blank;
  if (platform::parse_int(field, value)) return FieldRead::Given;
  name_bad_field(field, first, reason);
  return FieldRead::Bad;
}

}  // namespace kavril::rinex

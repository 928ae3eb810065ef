// Blank-padded texts: trailing blanks never matter, longer texts are cut.
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kavril::platform {

std::string_view trim_right(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool is_blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

bool same_text(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (a.substr(0, common) != b.substr(0, common)) return false;
  return is_blank(a.substr(common)) && is_blank(b.substr(common));
}

std::string fit(std::string_view text, std::size_t length) {
  std::string field;
  assign_fit(field, text, length);
  return field;
}

void assign_fit(std::string& field, std::string_view text, std::size_t length) {
  const std::size_t kept = text.size() < length ? text.size() : length;
  field.assign(text.data(), kept);
  field.resize(length, ' ');
}

}  // namespace kavril::platform

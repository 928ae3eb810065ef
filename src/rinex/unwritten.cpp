// What an output's version has no form for: counts per kind and the one
// warning of the output.
#include <algorithm>
#include <string>

#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

constexpr int kKindsAfterSystems = 100;  // STO, EOP, ION after every system's ephemerides

// "BeiDou CNV1" for an ephemeris, "EOP" for the other kinds; with its rank.
Unwritten::Kind kind_of(const Record& record) {
  if (record.kind != RecordKind::Ephemeris) {
    return {std::string(kind_word(record.kind)), 0, kKindsAfterSystems + static_cast<int>(record.kind)};
  }
  std::string label(system_name(record.satellite.system));
  label += ' ';
  label += record.messageText.view();
  return {label, 0, system_rank(record.satellite.system)};
}

}  // namespace

std::string grouped_number(long number) {
  // The magnitude as unsigned: the most negative long has no positive twin.
  const unsigned long magnitude = number < 0 ? 0UL - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
  std::string digits = std::to_string(magnitude);
  for (auto i = static_cast<long>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), 1, ',');
  return number < 0 ? "-" + digits : digits;
}

std::string version_text(int version) {
  if (version == 100) return "1";  // version 1 has no minor number
  std::string text = std::to_string(version / 100) + '.';
  text += static_cast<char>('0' + version / 10 % 10);
  text += static_cast<char>('0' + version % 10);
  return text;
}

void Unwritten::add(const Record& record) {
  ++total_;
  Kind kind = kind_of(record);
  const auto place = std::lower_bound(kinds_.begin(), kinds_.end(), kind, [](const Kind& a, const Kind& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.label < b.label;
  });
  if (place != kinds_.end() && place->label == kind.label) {
    ++place->count;
    return;
  }
  kind.count = 1;
  kinds_.insert(place, std::move(kind));
}

std::string Unwritten::warning(std::string_view file, int version) const {
  if (total_ == 0) return {};
  std::string text = "kavril: warning: ";
  text += file;
  text += ": " + grouped_number(total_) + (total_ == 1 ? " message (" : " messages (");
  for (std::size_t i = 0; i < kinds_.size(); ++i) text += (i == 0 ? "" : ", ") + kinds_[i].label;
  text += total_ == 1 ? ") has no RINEX " : ") have no RINEX ";
  text += version_text(version) + " form, not written";
  return text;
}

}  // namespace kavril::rinex

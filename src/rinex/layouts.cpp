// The table of record layouts, and the names of systems, record kinds and
// message types. A new message type is a new row here, not new code.
#include <algorithm>

#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

using K = RecordKind;

// Fields per line: the epoch line, then the orbit lines.
constexpr std::array<std::uint8_t, kMaxRecordLines> kLegacy8 = {3, 4, 4, 4, 4, 4, 4, 2};   // GPS, QZSS LNAV; BeiDou D1/D2
constexpr std::array<std::uint8_t, kMaxRecordLines> kTransmit8 = {3, 4, 4, 4, 4, 4, 4, 1}; // Galileo, NavIC LNAV
constexpr std::array<std::uint8_t, kMaxRecordLines> kFour = {3, 4, 4, 4};                  // GLONASS to 3.04, SBAS
constexpr std::array<std::uint8_t, kMaxRecordLines> kFive = {3, 4, 4, 4, 4};               // GLONASS 3.05 and 4.x
constexpr std::array<std::uint8_t, kMaxRecordLines> kCnav = {3, 4, 4, 4, 4, 4, 4, 4, 2};
constexpr std::array<std::uint8_t, kMaxRecordLines> kCnav2 = {3, 4, 4, 4, 4, 4, 4, 4, 4, 2};
constexpr std::array<std::uint8_t, kMaxRecordLines> kBeidouCnav = {3, 4, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr std::array<std::uint8_t, kMaxRecordLines> kBeidouCnav3 = {3, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr std::array<std::uint8_t, kMaxRecordLines> kNavicL1 = {3, 4, 4, 4, 4, 4, 4, 4, 1};
constexpr std::array<std::uint8_t, kMaxRecordLines> kTimeOffset = {0, 4};  // texts, then t, a0, a1, a2
constexpr std::array<std::uint8_t, kMaxRecordLines> kEarth = {3, 4, 4};
constexpr std::array<std::uint8_t, kMaxRecordLines> kKlobuchar = {3, 4, 1};
constexpr std::array<std::uint8_t, kMaxRecordLines> kBdgim = {3, 4, 2};
constexpr std::array<std::uint8_t, kMaxRecordLines> kNequick = {3, 1};

// A record takes the row of its key with the latest `since` not after its
// file's version: the rows of 2.x hold for every version until a later row
// changes them.
constexpr LineLayout kTable[] = {
    // The message types of 2.x and 3.x (which name none: see implied_message).
    {K::Ephemeris, 'G', 200, "LNAV", 8, 8, kLegacy8},
    {K::Ephemeris, 'J', 200, "LNAV", 8, 8, kLegacy8},
    {K::Ephemeris, 'R', 200, "FDMA", 4, 4, kFour},
    {K::Ephemeris, 'S', 200, "SBAS", 4, 4, kFour},
    {K::Ephemeris, 'E', 200, "INAV", 8, 8, kTransmit8},
    {K::Ephemeris, 'E', 200, "FNAV", 8, 8, kTransmit8},
    {K::Ephemeris, 'C', 200, "D1", 8, 8, kLegacy8},
    {K::Ephemeris, 'C', 200, "D2", 8, 8, kLegacy8},
    {K::Ephemeris, 'I', 200, "LNAV", 8, 8, kTransmit8},
    // 3.x: GLONASS gains a fourth orbit line in 3.05 (files that say 3.05
    // with the older three are read).
    {K::Ephemeris, 'R', 305, "FDMA", 5, 4, kFive},
    // 4.x: every message type of its own.
    {K::Ephemeris, 'R', 400, "FDMA", 5, 5, kFive},
    {K::Ephemeris, 'G', 400, "CNAV", 9, 9, kCnav},
    {K::Ephemeris, 'J', 400, "CNAV", 9, 9, kCnav},
    {K::Ephemeris, 'G', 400, "CNV2", 10, 10, kCnav2},
    {K::Ephemeris, 'J', 400, "CNV2", 10, 10, kCnav2},
    {K::Ephemeris, 'C', 400, "CNV1", 10, 10, kBeidouCnav},
    {K::Ephemeris, 'C', 400, "CNV2", 10, 10, kBeidouCnav},
    {K::Ephemeris, 'C', 400, "CNV3", 9, 9, kBeidouCnav3},
    {K::Ephemeris, 'I', 402, "L1NV", 9, 9, kNavicL1},
    {K::TimeOffset, 0, 400, "*", 2, 2, kTimeOffset},
    {K::EarthOrientation, 0, 400, "*", 3, 3, kEarth},
    {K::Ionosphere, 'G', 400, "LNAV", 3, 3, kKlobuchar},
    {K::Ionosphere, 'J', 400, "LNAV", 3, 3, kKlobuchar},
    {K::Ionosphere, 'I', 400, "LNAV", 3, 3, kKlobuchar},
    {K::Ionosphere, 'G', 400, "CNVX", 3, 3, kKlobuchar},
    {K::Ionosphere, 'J', 400, "CNVX", 3, 3, kKlobuchar},
    {K::Ionosphere, 'C', 400, "D1D2", 3, 3, kKlobuchar},
    {K::Ionosphere, 'C', 400, "CNVX", 3, 3, kBdgim},
    {K::Ionosphere, 'E', 400, "IFNV", 2, 2, kNequick},
};

constexpr bool table_is_sound() {
  for (const LineLayout& row : kTable) {
    if (row.lines < 1 || row.lines > kMaxRecordLines || row.minLines > row.lines) return false;
    for (int i = 0; i < kMaxRecordLines; ++i) {
      const int limit = i == 0 ? kEpochLineSlots : kSlotsPerLine;
      if (row.fields[static_cast<std::size_t>(i)] > limit) return false;
      if ((i < row.lines) != (i == 0 || row.fields[static_cast<std::size_t>(i)] > 0)) return false;
    }
  }
  return true;
}
static_assert(table_is_sound(), "a layout row has more lines or fields than a record holds");

constexpr std::array<std::string_view, 14> kMessageTexts = {
    "LNAV", "CNAV", "CNV1", "CNV2", "CNV3", "INAV", "FNAV", "D1", "D2", "FDMA", "SBAS", "L1NV", "L1OC", "L3OC"};

}  // namespace

bool system_of_letter(char letter, System& system) {
  for (System s : kSystems) {
    if (letter_of(s) == letter) {
      system = s;
      return true;
    }
  }
  return false;
}

std::string_view system_name(System system) {
  switch (system) {
    case System::GPS: return "GPS";
    case System::GLONASS: return "GLONASS";
    case System::Galileo: return "Galileo";
    case System::BeiDou: return "BeiDou";
    case System::QZSS: return "QZSS";
    case System::NavIC: return "NavIC";
    case System::SBAS: return "SBAS";
  }
  return "?";
}

std::string satellite_text(Satellite satellite) {
  std::string text(1, letter_of(satellite.system));
  if (satellite.number == 0) return text;
  if (satellite.number < 10) text += '0';
  text += std::to_string(satellite.number);
  return text;
}

std::string_view kind_word(RecordKind kind) {
  switch (kind) {
    case RecordKind::Ephemeris: return "EPH";
    case RecordKind::TimeOffset: return "STO";
    case RecordKind::EarthOrientation: return "EOP";
    case RecordKind::Ionosphere: return "ION";
  }
  return "?";
}

Message message_of_text(std::string_view text) {
  const auto it = std::find(kMessageTexts.begin(), kMessageTexts.end(), text);
  return it == kMessageTexts.end() ? Message::Other : static_cast<Message>(it - kMessageTexts.begin());
}

std::string_view message_text(Message message) {
  const auto index = static_cast<std::size_t>(message);
  return index < kMessageTexts.size() ? kMessageTexts[index] : std::string_view();
}

const LineLayout* find_layout(RecordKind kind, System system, int version, std::string_view message) {
  const LineLayout* found = nullptr;
  for (const LineLayout& row : kTable) {
    if (row.kind != kind || (row.system != 0 && row.system != letter_of(system))) continue;
    if (std::string_view(row.message) != "*" && row.message != message) continue;
    if (row.since > version) continue;
    if (found == nullptr || row.since >= found->since) found = &row;
  }
  return found;
}

std::span<const LineLayout> layouts() { return kTable; }

Message implied_message(const Record& record) {
  switch (record.satellite.system) {
    case System::GPS:
    case System::QZSS:
    case System::NavIC: return Message::LNAV;
    case System::GLONASS: return Message::FDMA;
    case System::SBAS: return Message::SBAS;
    case System::Galileo: {
      // Data sources: bit 1 F/NAV E5a-I; I/NAV otherwise (bits 0 and 2).
      constexpr int kDataSources = slot_of(5, 1);
      if (!record.has(kDataSources)) return Message::INAV;
      const double sources = record.value(kDataSources);
      const bool fnav = sources >= 0 && sources < 65536 && (static_cast<int>(sources) & 2) != 0;
      return fnav ? Message::FNAV : Message::INAV;
    }
    case System::BeiDou: {
      // Geostationary satellites C01-C05 and C59-C63 send D2.
      const int n = record.satellite.number;
      return (n >= 1 && n <= 5) || (n >= 59 && n <= 63) ? Message::D2 : Message::D1;
    }
  }
  return Message::Other;
}

}  // namespace kavril::rinex

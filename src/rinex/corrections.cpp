// Header corrections of 2.x and 3.x as the ION and STO records of 4.x, and
// back: each version keeps what the other gives, in its own place.
#include <array>
#include <cmath>

#include "nav/nav.h"
#include "rinex/rinex.h"
#include "util/util.h"

namespace kavril::rinex {

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr int kBeidouWeekZero = 1356;  // GPS week of 1 January 2006

// The systems that send each time-system correction and the message type
// of their records (from the first two letters of the type: GPUT, BDGP).
struct TimeSender {
  std::string_view prefix;
  System system;
  std::string_view message;
};
constexpr std::array<TimeSender, 7> kTimeSenders = {{{"GP", System::GPS, "LNAV"},
                                                      {"GA", System::Galileo, "IFNV"},
                                                      {"GL", System::GLONASS, "FDMA"},
                                                      {"BD", System::BeiDou, "D1D2"},
                                                      {"QZ", System::QZSS, "LNAV"},
                                                      {"IR", System::NavIC, "LNAV"},
                                                      {"SB", System::SBAS, "SBAS"}}};

// Klobuchar pairs (alpha, beta) and NeQuick-G of the header, by system.
struct IonosphereSender {
  std::string_view alpha, beta;  // beta empty: NeQuick-G, three values
  System system;
  std::string_view message;
};
constexpr std::array<IonosphereSender, 5> kIonosphereSenders = {{{"GPSA", "GPSB", System::GPS, "LNAV"},
                                                                 {"QZSA", "QZSB", System::QZSS, "LNAV"},
                                                                 {"BDSA", "BDSB", System::BeiDou, "D1D2"},
                                                                 {"IRNA", "IRNB", System::NavIC, "LNAV"},
                                                                 {"GAL", "", System::Galileo, "IFNV"}}};

// The UTC identifiers of 3.x TIME SYSTEM CORR, as 4.x names them.
constexpr std::array<std::string_view, 8> kUtcNames = {
    "", "UTC(NIST)", "UTC(USNO)", "UTC(SU)", "UTC(BIPM)", "UTC(Europe Lab)", "UTC(CRL)", "UTC(NTSC)"};
constexpr std::size_t kUtcNameColumn = 38;  // in the texts of a time-offset record

int week_offset(System system) { return system == System::BeiDou ? kBeidouWeekZero : 0; }

const TimeSender* sender_of(const TimeCorrection& c) {
  for (const TimeSender& s : kTimeSenders) {
    if (c.type.view().substr(0, 2) == s.prefix) return &s;
  }
  return nullptr;
}

// Many 2.x files write the week of DELTA-UTC as the message sends it,
// modulo 1024: the week of that count nearest GPS time `gpsTime`, in the
// sender's own count.
int nearest_week(int week, System sender, double gpsTime) {
  const double behind = std::floor(gpsTime / kSecondsPerWeek) - (static_cast<double>(week) + week_offset(sender));
  if (!(behind > 512 && behind < 1e7)) return week;  // (no epoch of a calendar date: as written)
  return week + static_cast<int>(1024 * std::round(behind / 1024));
}

const IonosphereCorrection* find_ionosphere(const Header& header, std::string_view type) {
  for (const IonosphereCorrection& c : header.ionosphere) {
    if (c.type.view() == type) return &c;
  }
  return nullptr;
}

bool has_time_correction(const Header& header, std::string_view type) {
  for (const TimeCorrection& c : header.timeCorrections) {
    if (c.type.view() == type) return true;
  }
  return false;
}

// The satellite of a 3.x source text ("G10", "EGNOS" names none).
Satellite source_satellite(System system, std::string_view source) {
  Satellite satellite{system, 0};
  if (source.size() == 3 && source.front() == letter_of(system)) {
    const int tens = source[1] - '0', units = source[2] - '0';
    if (tens >= 0 && tens <= 9 && units >= 0 && units <= 9) satellite.number = tens * 10 + units;
  }
  return satellite;
}

Record correction_record(RecordKind kind, Satellite satellite, std::string_view message, double gpsTime) {
  Record r;
  r.kind = kind;
  r.satellite = satellite;
  r.message = Message::Other;
  r.messageText.assign(message);
  r.epoch = system_epoch(satellite.system, gpsTime);
  return r;
}

}  // namespace

std::vector<Record> correction_records(const Header& header, double gpsTime) {
  std::vector<Record> records;
  for (const IonosphereSender& sender : kIonosphereSenders) {
    const IonosphereCorrection* alpha = find_ionosphere(header, sender.alpha);
    const IonosphereCorrection* beta = sender.beta.empty() ? alpha : find_ionosphere(header, sender.beta);
    if (alpha == nullptr || beta == nullptr) continue;
    Record& r = records.emplace_back(correction_record(RecordKind::Ionosphere, {sender.system, alpha->satellite},
                                                       sender.message, gpsTime));
    const int values = sender.beta.empty() ? 4 : 8;  // NeQuick-G: three values and the flags
    r.lines = sender.beta.empty() ? 2 : 3;
    for (int i = 0; i < values; ++i) {
      const IonosphereCorrection& c = i < 4 ? *alpha : *beta;
      r.set(i, i % 4 < c.valueCount ? c.values[static_cast<std::size_t>(i % 4)] : 0.0);
    }
  }
  for (const TimeCorrection& c : header.timeCorrections) {
    const TimeSender* sender = sender_of(c);
    if (sender == nullptr) continue;
    // The reference time of the correction, in the sender's own time, is
    // the record's epoch; a 2.x GLONASS correction gives a date, one
    // without either the output's start.
    Record& r = records.emplace_back(correction_record(RecordKind::TimeOffset,
                                                       source_satellite(sender->system, c.source.view()),
                                                       sender->message, gpsTime));
    if (c.referenceWeek > 0) {
      const double week = nearest_week(c.referenceWeek, sender->system, gpsTime) + week_offset(sender->system);
      const nav::Calendar own = nav::calendar_of(week * kSecondsPerWeek + c.referenceSeconds);
      r.epoch = {own.year, own.month, own.day, own.hour, own.minute, own.second};
    } else if (c.year > 0) {
      r.epoch = {c.year, c.month, c.day, 0, 0, 0.0};
    }
    std::string text(c.type.view());
    if (c.utcId > 0 && static_cast<std::size_t>(c.utcId) < kUtcNames.size()) {
      text.resize(kUtcNameColumn, ' ');
      text += kUtcNames[static_cast<std::size_t>(c.utcId)];
    }
    r.text.assign(text);
    r.lines = 2;
    r.set(slot_of(1, 0), c.referenceSeconds);
    r.set(slot_of(1, 1), c.a0);
    r.set(slot_of(1, 2), c.a1);
    r.set(slot_of(1, 3), 0.0);
  }
  return records;
}

bool take_correction_record(const Record& record, Header& header) {
  const System system = record.satellite.system;
  if (record.kind == RecordKind::Ionosphere) {
    for (const IonosphereSender& sender : kIonosphereSenders) {
      if (sender.system != system || sender.message != record.messageText.view() || record.variant.size > 0) continue;
      if (find_ionosphere(header, sender.alpha) != nullptr) return false;  // one in force already
      for (int half = 0; half < (sender.beta.empty() ? 1 : 2); ++half) {
        IonosphereCorrection& c = header.ionosphere.emplace_back();
        c.type.assign(half == 0 ? sender.alpha : sender.beta);
        c.valueCount = sender.beta.empty() ? 3 : 4;
        c.satellite = record.satellite.number;
        for (int i = 0; i < c.valueCount; ++i) c.values[static_cast<std::size_t>(i)] = record.value(half * 4 + i);
      }
      return true;
    }
    return false;
  }
  if (record.kind != RecordKind::TimeOffset || record.text.size < 4) return false;
  const std::string_view text = record.text.view();
  const std::string_view type = text.substr(0, 4);
  if (has_time_correction(header, type)) return false;
  TimeCorrection& c = header.timeCorrections.emplace_back();
  c.type.assign(type);
  c.a0 = record.value(slot_of(1, 1));
  c.a1 = record.value(slot_of(1, 2));
  Record asGps = record;  // the epoch's week and second in the sender's own time
  asGps.satellite.system = System::GPS;  // (read as GPS time: no offset, no leap seconds)
  const double seconds = gps_time(asGps);
  const double weeks = std::floor(seconds / kSecondsPerWeek);
  c.referenceWeek = l_basfun::IDINT(weeks - week_offset(system));
  c.referenceSeconds = l_basfun::IDNINT(seconds - weeks * kSecondsPerWeek);
  if (record.satellite.number > 0) c.source.assign(satellite_text(record.satellite));
  const std::string_view utc = text.size() > kUtcNameColumn ? text.substr(kUtcNameColumn) : std::string_view();
  for (std::size_t id = 1; id < kUtcNames.size(); ++id) {
    if (utc == kUtcNames[id]) c.utcId = static_cast<int>(id);
  }
  return true;
}

void unwrap_correction_weeks(Header& header, double gpsTime) {
  for (TimeCorrection& c : header.timeCorrections) {
    const TimeSender* sender = sender_of(c);
    if (sender != nullptr && c.referenceWeek > 0) c.referenceWeek = nearest_week(c.referenceWeek, sender->system, gpsTime);
  }
}

}  // namespace kavril::rinex

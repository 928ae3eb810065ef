// What a navigation file holds, per satellite and message type: read like a
// conversion reads it, counted instead of written.
#include <algorithm>
#include <string>
#include <tuple>

#include "nav/nav.h"

namespace kavril::nav {

namespace {
constexpr std::size_t kIode = 4;     // position 5 of the record
constexpr std::size_t kHealth = 25;  // position 26
}  // namespace

void read_message(int lfn, RinexRecordArray& rinex) {
  static EphemerisArray eph;
  static ClockArray clock;
  RDBBLK(lfn, eph);
  RDBCHK(lfn, eph);
  RDBBLK(lfn, clock);
  RDBTOC(lfn, eph, clock);
  V3RXBR(eph, clock, rinex);
}

bool CheckKey::operator<(const CheckKey& other) const {
  const auto order = [](const CheckKey& k) {
    return std::tuple(rinex::system_rank(k.satellite.system), k.satellite.number, k.message, k.type.view());
  };
  return order(*this) < order(other);
}

int health_slot(const rinex::Record& record) {
  using rinex::Message;
  using rinex::slot_of;
  if (record.kind != rinex::RecordKind::Ephemeris) return -1;
  switch (record.message) {
    // GLONASS and SBAS: the last field of the first orbit line.
    case Message::FDMA:
    case Message::SBAS: return slot_of(1, 3);
    // The SV health of the sixth orbit line: GPS, QZSS and NavIC LNAV,
    // Galileo INAV and FNAV, BeiDou D1 and D2, GPS and QZSS CNAV and CNV2,
    // NavIC L1NV.
    case Message::LNAV:
    case Message::INAV:
    case Message::FNAV:
    case Message::D1:
    case Message::D2:
    case Message::CNAV:
    case Message::L1NV: return slot_of(6, 1);
    // CNV2 is a GPS and QZSS type and a BeiDou one with its own lines.
    case Message::CNV2: return record.satellite.system == rinex::System::BeiDou ? slot_of(8, 1) : slot_of(6, 1);
    // BeiDou CNAV-1 and CNAV-3: health after SISMAI.
    case Message::CNV1: return slot_of(8, 1);
    case Message::CNV3: return slot_of(7, 1);
    case Message::L1OC:
    case Message::L3OC:
    case Message::Other: return -1;
  }
  return -1;
}

namespace {

void add_epoch(SatelliteCheck& s, double epoch, bool unhealthy) {
  if (!s.epochs.empty() && epoch < s.epochs.back()) ++s.outOfOrder;
  if (unhealthy) s.unhealthy.push_back(epoch);
  s.epochs.push_back(epoch);
}

}  // namespace

void FileCheck::add(int sat, const RinexRecordArray& rinex) {
  CheckKey key;
  key.satellite.number = sat;
  SatelliteCheck& s = rows[key];
  const double epoch = record_epoch(rinex);
  if (!seen.insert(MessageKey{sat, epoch, rinex[kIode]}).second) ++s.duplicates;
  add_epoch(s, epoch, rinex[kHealth] != 0.0);
}

void FileCheck::add(const rinex::Record& record, double gpsTime) {
  if (record.kind != rinex::RecordKind::Ephemeris) {
    ++otherRecords.at(static_cast<std::size_t>(record.kind) - 1);
    return;
  }
  CheckKey key;
  key.satellite = record.satellite;
  key.message = record.message;
  key.type = record.messageText;
  SatelliteCheck& s = rows[key];
  switch (repeats.take(record)) {
    case rinex::RepeatFilter::Verdict::Repeat: ++s.duplicates; break;
    case rinex::RepeatFilter::Verdict::Conflict: ++s.conflicts; break;
    case rinex::RepeatFilter::Verdict::New: break;
  }
  const int health = health_slot(record);
  add_epoch(s, gpsTime, health >= 0 && record.has(health) && record.value(health) != 0.0);
}

void FileCheck::finish() {
  for (auto& [key, s] : rows) {
    std::vector<double> sorted = s.epochs;
    std::sort(sorted.begin(), sorted.end());
    s.longestGap = 0.0;
    s.longGaps = 0;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
      const double gap = sorted[i] - sorted[i - 1];
      s.longestGap = std::max(s.longestGap, gap);
      if (gap > kLongGap) ++s.longGaps;
    }
  }
  // What finds repeats is needed no more once the file is read.
  seen = MessageKeys();
  repeats = rinex::RepeatFilter();
}

long FileCheck::messages() const {
  long n = 0;
  for (const auto& [key, s] : rows) n += static_cast<long>(s.epochs.size());
  return n;
}

void check_messages(int lfn, FileCheck& check, const Selection& selection) {
  static RinexRecordArray rinex;
  for (int sat = RDBSAT(lfn); sat != 0; sat = RDBSAT(lfn)) {
    if (!selection.keeps_satellite(sat)) {
      skip_message_blocks(lfn);
      continue;
    }
    read_message(lfn, rinex);
    if (selection.keeps_epoch(record_epoch(rinex))) check.add(sat, rinex);
  }
}

bool check_records(rinex::NavigationReader& reader, FileCheck& check, const rinex::RecordSelection& selection) {
  rinex::Record record;
  rinex::NavigationReader::Next next;
  while ((next = reader.next(record)) == rinex::NavigationReader::Next::Record) {
    const double epoch = rinex::gps_time(record);
    if (selection.keeps(record, epoch)) check.add(record, epoch);
  }
  return next == rinex::NavigationReader::Next::End;
}

std::string strict_findings(const FileCheck& check) {
  long duplicates = 0, outOfOrder = 0, unhealthy = 0, longGaps = 0;
  for (const auto& [key, s] : check.rows) {
    duplicates += s.duplicates;
    outOfOrder += s.outOfOrder;
    unhealthy += static_cast<long>(s.unhealthy.size());
    longGaps += s.longGaps;
  }
  std::string findings;
  const auto add = [&findings](long count, std::string_view one, std::string_view many) {
    if (count == 0) return;
    findings += (findings.empty() ? "" : ", ") + std::to_string(count) + " " + std::string(count == 1 ? one : many);
  };
  add(duplicates, "duplicate", "duplicates");
  add(outOfOrder, "record out of order", "records out of order");
  add(unhealthy, "unhealthy message", "unhealthy messages");
  add(longGaps, "gap over 4 hours", "gaps over 4 hours");
  return findings;
}

}  // namespace kavril::nav

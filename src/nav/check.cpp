// What a broadcast file holds, per satellite: read like a conversion reads
// it, counted instead of written.
#include <algorithm>
#include <string>

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

void FileCheck::add(int sat, const RinexRecordArray& rinex) {
  SatelliteCheck& s = satellites.at(static_cast<std::size_t>(sat));
  const double epoch = record_epoch(rinex);
  if (!s.epochs.empty() && epoch < s.epochs.back()) ++s.outOfOrder;
  if (!seen.insert(MessageKey{sat, epoch, rinex[kIode]}).second) ++s.duplicates;
  if (rinex[kHealth] != 0.0) s.unhealthy.push_back(epoch);
  s.epochs.push_back(epoch);
}

void FileCheck::finish() {
  for (SatelliteCheck& s : satellites) {
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
}

long FileCheck::messages() const {
  long n = 0;
  for (const SatelliteCheck& s : satellites) n += static_cast<long>(s.epochs.size());
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

std::string strict_findings(const FileCheck& check) {
  long duplicates = 0, outOfOrder = 0, unhealthy = 0, longGaps = 0;
  for (const SatelliteCheck& s : check.satellites) {
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

// What a broadcast file holds, per satellite: read like a conversion reads
// it, counted instead of written.
#include <algorithm>

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
    for (std::size_t i = 1; i < sorted.size(); ++i) s.longestGap = std::max(s.longestGap, sorted[i] - sorted[i - 1]);
  }
}

long FileCheck::messages() const {
  long n = 0;
  for (const SatelliteCheck& s : satellites) n += static_cast<long>(s.epochs.size());
  return n;
}

void check_messages(int lfn, FileCheck& check) {
  static RinexRecordArray rinex;
  for (int sat = RDBSAT(lfn); sat != 0; sat = RDBSAT(lfn)) {
    read_message(lfn, rinex);
    check.add(sat, rinex);
  }
}

}  // namespace kavril::nav

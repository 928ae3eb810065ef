// The records of one output that a RINEX input feeds, as a direct run
// decides them.
#include <algorithm>

#include "nav/nav.h"

namespace kavril::nav {

RecordDecisions::Decision RecordDecisions::take(const rinex::Record& record, InputCounts& counts) {
  ++counts.read;
  const double epoch = rinex::gps_time(record);
  if (!request_->records.keeps(record, epoch)) {
    ++counts.unselected;
    return Decision::LeaveOut;
  }
  ++counts.written;
  firstEpoch_ = written_ == 0 ? epoch : std::min(firstEpoch_, epoch);
  lastEpoch_ = written_ == 0 ? epoch : std::max(lastEpoch_, epoch);
  ++written_;
  systems_.add(record.satellite.system);
  return Decision::Write;
}

int RecordDecisions::write_held(const std::function<int(const rinex::Record&)>&) { return 0; }

double RecordDecisions::name_start() const { return firstEpoch_; }

}  // namespace kavril::nav

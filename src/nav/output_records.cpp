// The records of one output of a direct run: selected, without repeated
// messages, written at once or held for the order of the output.
#include <algorithm>
#include <bit>
#include <functional>
#include <utility>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {
constexpr std::size_t kNumbersPerBlock = 20;
constexpr std::size_t kIode = 4;  // position 5 of the record
}  // namespace

std::size_t MessageKeyHash::operator()(const MessageKey& key) const {
  const std::size_t h = std::hash<double>{}(key.epoch) * 1000003u ^ std::hash<double>{}(key.iode);
  return h * 131u + static_cast<std::size_t>(key.sat);
}

OutputRecords::Decision OutputRecords::take(int sat, const RinexRecordArray& rinex, InputCounts& counts) {
  ++counts.read;
  const double epoch = record_epoch(rinex);
  if (!selection_->keeps_epoch(epoch)) {
    ++counts.unselected;
    return Decision::LeaveOut;
  }
  // The first of equal messages is kept: in input order, which the stable
  // sort keeps among records of equal epoch and satellite.
  if (selection_->unique && !seen_.insert(MessageKey{sat, epoch, rinex[kIode]}).second) {
    ++counts.duplicates;
    return Decision::LeaveOut;
  }
  ++counts.written;
  if (!firstEpoch_) lastEpoch_ = epoch;
  firstEpoch_ = firstEpoch_ ? std::min(*firstEpoch_, epoch) : epoch;
  lastEpoch_ = std::max(lastEpoch_, epoch);
  if (!selection_->sort) return Decision::Write;
  held_.push_back(Held{epoch, sat, rinex});
  return Decision::Hold;
}

std::vector<OutputRecords::Held> OutputRecords::take_sorted() {
  std::stable_sort(held_.begin(), held_.end(), [](const Held& a, const Held& b) {
    return a.epoch != b.epoch ? a.epoch < b.epoch : a.sat < b.sat;
  });
  return std::exchange(held_, {});
}

void skip_message_blocks(int lfn) {
  thread_local std::string line;
  for (int block = 0; block < 2; ++block) {
    std::size_t count = 0;
    while (count < kNumbersPerBlock) {
      switch (platform::read_line(lfn, line)) {
        case platform::ReadResult::End:
          RDBERR(lfn, "End of file after" + platform::integer_text(static_cast<long long>(count)) +
                          " of the 20 numbers of a block");
        case platform::ReadResult::Error: RDBERR(lfn, "A line of a block cannot be read");
        case platform::ReadResult::Ok: break;
      }
      platform::NumberTokens tokens(line);
      std::string_view token;
      while (count < kNumbersPerBlock && tokens.next(token)) ++count;
    }
  }
}

}  // namespace kavril::nav

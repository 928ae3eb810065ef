// The records of one output of a direct run: selected, without repeated
// messages, written at once or held for the order of the output.
#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <utility>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {
constexpr std::size_t kNumbersPerBlock = 20;
constexpr std::size_t kIode = 4;  // position 5 of the record
// The numbers on `line`, up to `most`, without reading them. A line
// without commas is counted as runs of characters between blanks, the way
// the free-format reader splits it, only faster; commas take the reader's
// own splitting.
std::size_t count_numbers(std::string_view line, std::size_t most) {
  std::size_t count = 0;
  if (line.find(',') != std::string_view::npos) {
    platform::NumberTokens tokens(line);
    std::string_view token;
    while (count < most && tokens.next(token)) ++count;
    return count;
  }
  // A number starts at a character that is no blank after a blank (or the
  // line's start). Each pair is looked at on its own, without a branch, so
  // that the compiler takes many characters at a time.
  const auto blank = [](char c) { return static_cast<unsigned>(c == ' ') | static_cast<unsigned>(c == '\t'); };
  if (line.empty()) return 0;
  unsigned starts = blank(line[0]) ^ 1u;
  for (std::size_t i = 1; i < line.size(); ++i) starts += blank(line[i - 1]) & (blank(line[i]) ^ 1u);
  return std::min<std::size_t>(starts, most);
}

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
  written_.add(epoch);
  if (!selection_->sort) return Decision::Write;
  held_.push_back(Held{epoch, sat, rinex});
  return Decision::Hold;
}

void WrittenEpochs::add(double epoch) {
  last_ = perHour_.empty() ? epoch : std::max(last_, epoch);
  const auto hour = static_cast<std::int64_t>(std::floor(epoch / kSecondsPerHour));
  if (const auto counted = perHour_.find(hour); counted != perHour_.end()) {
    ++counted->second;
  } else if (perHour_.size() < kMaxCountedHours) {
    perHour_.emplace(hour, 1);
  }
}

double WrittenEpochs::name_start() const {
  long total = 0;
  auto busiestHour = perHour_.begin();
  for (auto hour = perHour_.begin(); hour != perHour_.end(); ++hour) {
    total += hour->second;
    if (hour->second > busiestHour->second) busiestHour = hour;
  }
  const double hourStart = static_cast<double>(busiestHour->first) * kSecondsPerHour;
  if (2 * busiestHour->second > total && last_ < hourStart + kSecondsPerHour) return hourStart;
  std::map<std::int64_t, long> perDay;
  for (const auto& [hour, count] : perHour_) perDay[hour >= 0 ? hour / 24 : (hour - 23) / 24] += count;
  long busiestDay = 0;
  for (const auto& day : perDay) busiestDay = std::max(busiestDay, day.second);
  const auto named = std::find_if(perDay.begin(), perDay.end(),
                                  [busiestDay](const auto& day) { return 2 * day.second >= busiestDay; });
  return static_cast<double>(named->first) * kSecondsPerDay;
}

int OutputRecords::write_sorted(const std::function<int(const Held&)>& write) {
  // The order is sorted as 16-byte keys, not as the records themselves.
  struct Key {
    double epoch;
    std::uint32_t index;
    int sat;
  };
  std::vector<Key> order;
  order.reserve(held_.size());
  for (std::size_t i = 0; i < held_.size(); ++i)
    order.push_back(Key{held_[i].epoch, static_cast<std::uint32_t>(i), held_[i].sat});
  std::sort(order.begin(), order.end(), [](const Key& a, const Key& b) {
    if (a.epoch != b.epoch) return a.epoch < b.epoch;
    return a.sat != b.sat ? a.sat < b.sat : a.index < b.index;
  });
  int rc = 0;
  for (std::size_t i = 0; i < order.size() && rc == 0; ++i) rc = write(held_[order[i].index]);
  held_.clear();
  held_.shrink_to_fit();
  return rc;
}

void skip_message_blocks(int lfn) {
  thread_local std::string line;
  for (int block = 0; block < 2; ++block) {
    std::size_t count = 0;
    while (count < kNumbersPerBlock) {
      read_block_line(lfn, line, count);
      count += count_numbers(line, kNumbersPerBlock - count);
    }
  }
}

}  // namespace kavril::nav

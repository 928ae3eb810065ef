// The records of one output that a RINEX input feeds, as a direct run
// decides them, and the packed store of the records --sort holds.
#include <algorithm>
#include <bit>
#include <cstring>

#include "nav/nav.h"

namespace kavril::nav {

namespace {

// A field added to rinex::Record must be packed and unpacked below too
// (the size is that of 64-bit systems).
static_assert(sizeof(rinex::Record) == 520 || sizeof(void*) != 8, "a field of rinex::Record that is not packed");

// What a record is apart from its values and its text, packed ahead of them.
struct PackedHead {
  rinex::RecordKind kind;
  rinex::System system;
  rinex::Message message;
  std::uint8_t lines;
  std::int32_t number;
  rinex::Epoch epoch;
  std::uint64_t given;
  rinex::ShortText<8> messageText, variant;
  std::uint8_t textSize;
};

// A block holds many records; a new one is started when a record no longer
// fits in the last.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
static_assert(sizeof(PackedHead) + sizeof(rinex::Record) <= kBlockBytes);

std::size_t packed_size(const rinex::Record& record) {
  return sizeof(PackedHead) + sizeof(double) * static_cast<std::size_t>(std::popcount(record.given)) +
         record.text.size;
}

// Writes `record` at `out`, which has room for packed_size(record) bytes:
// the head, the values of the slots given in slot order, the text.
void pack(const rinex::Record& record, unsigned char* out) {
  PackedHead head{};
  head.kind = record.kind;
  head.system = record.satellite.system;
  head.message = record.message;
  head.lines = static_cast<std::uint8_t>(record.lines);
  head.number = record.satellite.number;
  head.epoch = record.epoch;
  head.given = record.given;
  head.messageText = record.messageText;
  head.variant = record.variant;
  head.textSize = record.text.size;
  const auto append = [&out](const void* bytes, std::size_t size) {
    std::memcpy(out, bytes, size);
    out += size;
  };
  append(&head, sizeof head);
  for (std::uint64_t slots = record.given; slots != 0; slots &= slots - 1)
    append(&record.values[static_cast<std::size_t>(std::countr_zero(slots))], sizeof(double));
  append(record.text.chars.data(), record.text.size);
}

void unpack(const unsigned char* in, rinex::Record& record) {
  PackedHead head;
  std::memcpy(&head, in, sizeof head);
  in += sizeof head;
  record.kind = head.kind;
  record.satellite = {head.system, head.number};
  record.message = head.message;
  record.lines = head.lines;
  record.epoch = head.epoch;
  record.messageText = head.messageText;
  record.variant = head.variant;
  record.values.fill(0.0);
  record.given = head.given;
  for (std::uint64_t slots = head.given; slots != 0; slots &= slots - 1) {
    std::memcpy(&record.values[static_cast<std::size_t>(std::countr_zero(slots))], in, sizeof(double));
    in += sizeof(double);
  }
  record.text = {};
  record.text.size = head.textSize;
  std::memcpy(record.text.chars.data(), in, head.textSize);
}

}  // namespace

void HeldRecords::add(const rinex::Record& record, double gpsTime) {
  const std::size_t size = packed_size(record);
  if (blocks_.empty() || blocks_.back().size() + size > kBlockBytes) {
    blocks_.emplace_back();
    blocks_.back().reserve(kBlockBytes);
  }
  std::vector<unsigned char>& block = blocks_.back();
  const std::size_t offset = block.size();
  entries_.push_back(Entry{rinex::sort_key(record, gpsTime), static_cast<std::uint32_t>(blocks_.size() - 1),
                           static_cast<std::uint32_t>(offset)});
  block.resize(offset + size);  // within the capacity reserved
  pack(record, block.data() + offset);
}

int HeldRecords::write_sorted(const std::function<int(const rinex::Record&)>& write) {
  // Sorted as keys and places in a vector, not through the deque.
  struct Place {
    rinex::SortKey key;
    std::size_t index;
  };
  std::vector<Place> order;
  order.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) order.push_back(Place{entries_[i].key, i});
  std::sort(order.begin(), order.end(), [](const Place& a, const Place& b) {
    return a.key != b.key ? a.key < b.key : a.index < b.index;
  });
  int rc = 0;
  for (std::size_t i = 0; i < order.size() && rc == 0; ++i) {
    const Entry& entry = entries_[order[i].index];
    unpack(blocks_[entry.block].data() + entry.offset, unpacked_);
    rc = write(unpacked_);
  }
  entries_.clear();
  entries_.shrink_to_fit();
  blocks_.clear();
  blocks_.shrink_to_fit();
  return rc;
}

RecordDecisions::Decision RecordDecisions::take(const rinex::Record& record, InputCounts& counts) {
  ++counts.read;
  const double epoch = rinex::gps_time(record);
  if (!request_->records.keeps(record, epoch)) {
    ++counts.unselected;
    return Decision::LeaveOut;
  }
  // The first of equal records is kept, in input order, which the sort
  // keeps among records of equal key.
  if (request_->selection.unique) {
    switch (repeats_.take(record)) {
      case rinex::RepeatFilter::Verdict::Repeat: ++counts.duplicates; return Decision::LeaveOut;
      case rinex::RepeatFilter::Verdict::Conflict: ++counts.conflicts; break;
      case rinex::RepeatFilter::Verdict::New: break;
    }
  }
  ++counts.written;
  written_.add(epoch);
  systems_.add(record.satellite.system);
  if (!request_->selection.sort) return Decision::Write;
  held_.add(record, epoch);
  return Decision::Hold;
}

int RecordDecisions::write_held(const std::function<int(const rinex::Record&)>& write) {
  return held_.write_sorted(write);
}

}  // namespace kavril::nav

// --unique on RINEX records: repeats dropped, conflicts kept and counted.
#include <cstring>

#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

struct Fnv {
  std::uint64_t hash = kFnvOffset;
  void add(std::uint64_t word) {
    for (int i = 0; i < 8; ++i) {
      hash ^= (word >> (8 * i)) & 0xFFU;
      hash *= kFnvPrime;
    }
  }
  void add(std::string_view text) {
    add(text.size());
    for (const char c : text) {
      hash ^= static_cast<unsigned char>(c);
      hash *= kFnvPrime;
    }
  }
  void add_double(double value) {
    if (value == 0.0) value = 0.0;  // -0 and 0 are the same value
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    add(bits);
  }
};

RepeatFilter::Key key_of(const Record& r) {
  Fnv identity;
  identity.add(static_cast<std::uint64_t>(r.kind) << 32 | static_cast<std::uint64_t>(letter_of(r.satellite.system)) << 16 |
               static_cast<std::uint64_t>(static_cast<std::uint16_t>(r.satellite.number)));
  identity.add(r.messageText.view());
  identity.add(r.variant.view());
  // A satellite sends the offsets of several system pairs at one epoch.
  if (r.kind == RecordKind::TimeOffset) identity.add(r.text.view());
  Fnv epoch;
  epoch.add(static_cast<std::uint64_t>(r.epoch.year) << 32 | static_cast<std::uint64_t>(r.epoch.month) << 24 |
            static_cast<std::uint64_t>(r.epoch.day) << 16 | static_cast<std::uint64_t>(r.epoch.hour) << 8 |
            static_cast<std::uint64_t>(r.epoch.minute));
  epoch.add_double(r.epoch.second);
  return {identity.hash, epoch.hash};
}

std::size_t mix(std::uint64_t a, std::uint64_t b) {
  return static_cast<std::size_t>(a ^ (b + 0x9E3779B97F4A7C15ULL + (a << 6) + (a >> 2)));
}

}  // namespace

int transmission_slot(const Record& record) {
  switch (record.kind) {
    case RecordKind::TimeOffset: return slot_of(1, 0);
    case RecordKind::EarthOrientation: return slot_of(2, 0);
    case RecordKind::Ionosphere: return -1;  // its epoch is the transmission time
    case RecordKind::Ephemeris: break;
  }
  const Message m = record.message;
  // GLONASS and SBAS give the message's time on the epoch line; the others
  // as the first field of their last line.
  if (m == Message::FDMA || m == Message::SBAS) return 2;
  if (m == Message::Other || record.lines < 2) return -1;
  return slot_of(record.lines - 1, 0);
}

std::uint64_t content_hash(const Record& record) {
  const int skipped = transmission_slot(record);
  Fnv content;
  content.add(static_cast<std::uint64_t>(record.lines));
  for (int slot = 0; slot < kMaxSlots; ++slot) {
    if (slot == skipped || !record.has(slot)) continue;
    content.add(static_cast<std::uint64_t>(slot));
    content.add_double(record.value(slot));
  }
  content.add(record.text.view());
  return content.hash;
}

std::size_t RepeatFilter::KeyHash::operator()(const Key& key) const { return mix(key.identity, key.epoch); }
std::size_t RepeatFilter::ContentKeyHash::operator()(const ContentKey& key) const {
  return mix(KeyHash()(key.key), key.content);
}

RepeatFilter::Verdict RepeatFilter::take(const Record& record) {
  const Key key = key_of(record);
  const std::uint64_t content = content_hash(record);
  const auto [it, inserted] = first_.try_emplace(key, content);
  if (inserted) return Verdict::New;
  if (it->second == content || !laterContents_.insert({key, content}).second) {
    ++repeats_;
    return Verdict::Repeat;
  }
  ++conflicts_;
  return Verdict::Conflict;
}

}  // namespace kavril::rinex

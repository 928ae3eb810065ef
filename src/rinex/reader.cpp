// The records of a RINEX navigation file, one at a time. A record's lines
// run to where the next record starts (a line with a satellite in columns
// 1-2 in 2.x, a letter in column 1 in 3.x, a ">" in 4.x), then their count
// is checked against the layout table: files that say 3.05 but write 4-line
// GLONASS records are read, a record cut short is not. Values are read by
// fixed columns; the 4.x record-type line by words.
#include "platform/platform.h"
#include "rinex/columns.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

// The years of navigation records: from the start of GPS time to the last
// year that two-digit years of 2.x files name.
constexpr int kFirstYear = 1980, kLastYear = 2079;

int days_in_month(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

constexpr int kFieldWidth = 19;

bool is_blank_line(std::string_view line) { return platform::is_blank(line); }

// The next blank-separated word of `text` from `pos` on.
std::string_view next_word(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && platform::is_free_blank(text[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < text.size() && !platform::is_free_blank(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

bool kind_of_word(std::string_view word, RecordKind& kind) {
  for (RecordKind k : {RecordKind::Ephemeris, RecordKind::TimeOffset, RecordKind::EarthOrientation,
                       RecordKind::Ionosphere}) {
    if (kind_word(k) == word) {
      kind = k;
      return true;
    }
  }
  return false;
}

// Letters and digits: the form of message types ("LNAV", "D2", "L1OC").
bool is_word(std::string_view text) {
  for (char c : text) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

bool all_digits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A satellite written as a letter and up to three digits ("G05", "S20",
// "S120", "E" alone in some 4.x records); SBAS numbers below 100 are the
// PRN less 100. `reason` tells what is wrong otherwise.
bool read_satellite(std::string_view text, Satellite& satellite, std::string& reason) {
  if (text.empty() || !system_of_letter(text.front(), satellite.system)) {
    reason = joined({"unknown system letter '", text.substr(0, 1), "'"});
    return false;
  }
  std::string_view digits = column_field(text.substr(1), 1, 3);
  satellite.number = 0;
  if (!digits.empty() && (!all_digits(digits) || !platform::parse_int(digits, satellite.number))) {
    reason = joined({"'", text, "' is no satellite"});
    return false;
  }
  if (satellite.system == System::SBAS && satellite.number > 0 && satellite.number < 100) satellite.number += 100;
  return true;
}

std::string layout_name(const Record& record) {
  const bool ephemeris = record.kind == RecordKind::Ephemeris;
  return joined({system_name(record.satellite.system), " ", record.messageText.view(), ephemeris ? "" : " ",
                 ephemeris ? "" : kind_word(record.kind)});
}

}  // namespace

bool NavigationReader::fail(long line, std::string reason) {
  damage_.line = line;
  damage_.reason = std::move(reason);
  return false;
}

bool NavigationReader::read_line(std::string& line, long& number) {
  if (ended_) return false;
  switch (platform::read_line(unit_, line)) {
    case platform::ReadResult::Ok:
      number = lastLine_ = platform::line_number(unit_);
      return true;
    case platform::ReadResult::End:
      ended_ = true;
      return false;
    case platform::ReadResult::Error:
      ended_ = true;
      fail(lastLine_ + 1, platform::status_text(platform::read_status(unit_)));
      return false;
  }
  return false;
}

bool NavigationReader::skips(std::string_view line) const {
  return is_blank_line(line) || header_label(line) == "COMMENT";
}

bool NavigationReader::starts_record(std::string_view line) const {
  switch (version_ / 100) {
    case 2: return line.size() >= 2 && (line[0] != ' ' || line[1] != ' ');
    case 3: return !line.empty() && line[0] != ' ';
    default: return !line.empty() && line[0] == '>';
  }
}

NavigationReader::Next NavigationReader::next(Record& record) {
  damage_ = Damage{};
  const Next gathered = gather();
  if (gathered != Next::Record) return gathered;
  return decode(record) ? Next::Record : Next::Damaged;
}

// Collects the lines of the next record in lines_ (the line after it, read
// ahead, waits in pending_).
NavigationReader::Next NavigationReader::gather() {
  count_ = 0;
  if (hasPending_) {
    std::swap(lines_[0], pending_);
    numbers_[0] = pendingNumber_;
    hasPending_ = false;
  } else {
    do {
      if (!read_line(lines_[0], numbers_[0])) return damage_.reason.empty() ? Next::End : Next::Damaged;
    } while (skips(lines_[0]));
    if (!starts_record(lines_[0])) {
      fail(numbers_[0], version_ >= 400 ? "a record line starting with '>' was expected here"
                                        : "a line that starts a record was expected here");
      return Next::Damaged;
    }
  }
  count_ = 1;
  // A blank line inside a record is a line whose fields are all blank; blank
  // lines after a record are dropped when it is decoded.
  while (read_line(pending_, pendingNumber_)) {
    if (header_label(pending_) == "COMMENT") continue;
    if (starts_record(pending_)) {
      hasPending_ = true;
      break;
    }
    const bool full = count_ == static_cast<int>(lines_.size());
    if (full && is_blank_line(pending_)) continue;
    if (full) {
      fail(pendingNumber_, joined({"a record of more than ", std::to_string(kMaxRecordLines), " lines"}));
      return Next::Damaged;
    }
    std::swap(lines_[static_cast<std::size_t>(count_)], pending_);
    numbers_[static_cast<std::size_t>(count_)] = pendingNumber_;
    ++count_;
  }
  if (!damage_.reason.empty()) return Next::Damaged;
  return Next::Record;
}

bool NavigationReader::decode(Record& record) {
  record.clear_values();
  record.variant.assign({});
  record.text.assign({});
  int first = 0;  // index in lines_ of the epoch line
  if (version_ >= 400) {
    if (!decode_record_line(record)) return false;
    first = 1;
    if (count_ < 2) return fail(numbers_[0], joined({"record ", kind_word(record.kind), " ",
                                                         satellite_text(record.satellite), " has no lines"}));
  } else {
    record.kind = RecordKind::Ephemeris;
  }
  record.lines = count_ - first;
  if (!decode_epoch_line(record, lines_[static_cast<std::size_t>(first)], numbers_[static_cast<std::size_t>(first)])) {
    return false;
  }
  if (record.kind == RecordKind::Ephemeris && record.satellite.number < 1) {
    return fail(numbers_[static_cast<std::size_t>(first)], "an ephemeris of no satellite");
  }
  if (version_ < 400) {
    record.message = implied_message(record);  // Galileo: INAV until the data sources are read
    record.messageText.assign(message_text(record.message));
  }
  layout_ = find_layout(record.kind, record.satellite.system, version_, record.messageText.view());
  const int needed = layout_ != nullptr ? layout_->lines : 1;
  while (record.lines > needed && is_blank_line(lines_[static_cast<std::size_t>(first + record.lines - 1)])) {
    --record.lines;
  }
  if (record.lines > kMaxRecordLines) {
    return fail(numbers_[static_cast<std::size_t>(first + kMaxRecordLines)],
                joined({"a record of more than ", std::to_string(kMaxRecordLines), " lines"}));
  }
  if (!check_line_count(record)) return false;
  // Time offsets give texts from column 25 on (system pair, provider, UTC).
  const bool texts = layout_ != nullptr && layout_->fields[0] == 0;
  if (texts) {
    const std::string_view line = lines_[static_cast<std::size_t>(first)];
    record.text.assign(platform::trim_right(line.size() > 24 ? line.substr(24) : std::string_view()));
  }
  for (int line = texts ? 1 : 0; line < record.lines; ++line) {
    const auto index = static_cast<std::size_t>(first + line);
    if (!decode_values(record, line, lines_[index], numbers_[index])) return false;
  }
  if (version_ < 400) {
    record.message = implied_message(record);
    record.messageText.assign(message_text(record.message));
  }
  return true;
}

// "> EPH G01 LNAV", "> STO E   IFNV", "> ION I10 L1NV KLOB": read by words,
// since real files do not pad the message type ("> EPH C05 D2").
bool NavigationReader::decode_record_line(Record& record) {
  const std::string_view line = lines_[0];
  std::size_t pos = 1;
  const std::string_view kind = next_word(line, pos);
  if (!kind_of_word(kind, record.kind)) {
    return fail(numbers_[0], joined({"unknown record type '", kind, "'"}));
  }
  std::string reason;
  if (!read_satellite(next_word(line, pos), record.satellite, reason)) return fail(numbers_[0], reason);
  const std::string_view message = next_word(line, pos);
  if (message.empty() || message.size() > record.messageText.chars.size() || !is_word(message)) {
    return fail(numbers_[0], joined({"'", message, "' is no message type"}));
  }
  record.messageText.assign(message);
  record.message = record.kind == RecordKind::Ephemeris ? message_of_text(message) : Message::Other;
  record.variant.assign(next_word(line, pos));
  return true;
}

// The satellite (2.x and 3.x, and 4.x ephemerides) and epoch. 2.x writes
// "PP YY MM DD HH MM SS.S" (2.12 "A PP YY ..." a column later), 3.x and 4.x
// "ANN YYYY MM DD HH MM SS".
bool NavigationReader::decode_epoch_line(Record& record, std::string_view line, long number) {
  std::string reason;
  int shift = 0;  // columns before the year that 2.x files give the satellite
  if (version_ < 300) {
    Satellite satellite{fileSystem_, 0};
    const char letter = line.empty() ? ' ' : line[0];
    if (letter != ' ' && (letter < '0' || letter > '9')) {
      shift = 1;
      if (!read_satellite(line.substr(0, 3), satellite, reason)) return fail(number, reason);
    } else if (read_integer(line, 1, 2, satellite.number, reason) != FieldRead::Given) {
      return fail(number, reason.empty() ? "no satellite number" : reason);
    } else if (satellite.system == System::SBAS && satellite.number < 100) {
      satellite.number += 100;
    }
    record.satellite = satellite;
  } else if (version_ < 400 || record.kind == RecordKind::Ephemeris) {
    Satellite satellite;
    if (!read_satellite(column_field(line, 1, 3), satellite, reason)) return fail(number, reason);
    if (version_ >= 400 && satellite != record.satellite) {
      return fail(number, joined({satellite_text(satellite), " under a record line of ", satellite_text(record.satellite)}));
    }
    record.satellite = satellite;
  }
  Epoch& e = record.epoch;
  const bool two = version_ < 300;
  const int year = two ? 4 + shift : 5;
  const int yearWidth = two ? 2 : 4;
  const int after = year + yearWidth;  // the columns of month, day, hour, minute follow in steps of 3
  bool ok = read_integer(line, year, yearWidth, e.year, reason) == FieldRead::Given &&
            read_integer(line, after + 1, 2, e.month, reason) == FieldRead::Given &&
            read_integer(line, after + 4, 2, e.day, reason) == FieldRead::Given &&
            read_integer(line, after + 7, 2, e.hour, reason) == FieldRead::Given &&
            read_integer(line, after + 10, 2, e.minute, reason) == FieldRead::Given &&
            read_real(line, after + 12, two ? 5 : 3, e.second, reason) == FieldRead::Given;
  if (ok && two) e.year += e.year < 80 ? 2000 : 1900;
  // A date that does not exist (30 February, the year -1) or a time beyond
  // 23:59:59 is a damaged line, not an epoch to be carried into other files.
  ok = ok && e.year >= kFirstYear && e.year <= kLastYear && e.month >= 1 && e.month <= 12 && e.day >= 1 && e.day <= days_in_month(e.year, e.month) && e.hour >= 0 &&
       e.hour <= 23 && e.minute >= 0 && e.minute <= 59 && e.second >= 0.0 && e.second < 60.0;
  if (!ok) return fail(number, reason.empty() ? "no valid epoch" : reason);
  return true;
}

bool NavigationReader::decode_values(Record& record, int line, std::string_view text, long number) {
  // The first field of the epoch line follows the epoch; the others stand
  // after an indent of 3 (2.x) or 4 columns.
  const bool letterIn2x = version_ < 300 && !lines_[0].empty() && lines_[0][0] != ' ' &&
                          (lines_[0][0] < '0' || lines_[0][0] > '9');
  const int indent = version_ < 300 && !letterIn2x ? 3 : 4;
  const int start = line == 0 ? indent + 19 + 1 : indent + 1;
  const int fields = line == 0 ? kEpochLineSlots : kSlotsPerLine;
  std::string reason;
  for (int field = 0; field < fields; ++field) {
    double value = 0.0;
    switch (read_real(text, start + kFieldWidth * field, kFieldWidth, value, reason)) {
      case FieldRead::Given: record.set(slot_of(line, field), value); break;
      case FieldRead::Blank: break;
      case FieldRead::Bad: return fail(number, reason);
    }
  }
  return true;
}

bool NavigationReader::check_line_count(const Record& record) {
  if (layout_ == nullptr) return true;  // a type without a layout: as many lines as it has
  const int first = version_ >= 400 ? 1 : 0;
  if (record.lines < layout_->minLines) {
    const bool atEnd = !hasPending_;
    return fail(atEnd ? numbers_[static_cast<std::size_t>(first + record.lines - 1)] : pendingNumber_,
                joined({satellite_text(record.satellite), " record cut short: ", std::to_string(record.lines), " of the ",
                        std::to_string(layout_->lines), " lines of a ", layout_name(record), " record",
                        atEnd ? " at the end of the file" : " before this line"}));
  }
  if (record.lines > layout_->lines) {
    return fail(numbers_[static_cast<std::size_t>(first + layout_->lines)],
                joined({satellite_text(record.satellite), ": line ", std::to_string(layout_->lines + 1), " of a ",
                        layout_name(record), " record, which has ", std::to_string(layout_->lines)}));
  }
  return true;
}

}  // namespace kavril::rinex

// Writes records to RINEX navigation files of versions 2.11 (one system:
// GPS `N` or GLONASS `G`), 3.04, 3.05 and 4.00, walking the layout table of
// the version written: its line count for the record's kind, system and
// message type, the texts of a time-offset record, four fields a line.
#include <cmath>

#include "platform/platform.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

constexpr int kFieldWidth = 19;
constexpr std::size_t kMessageWidth = 4;

// The value of `slot` as `version` writes it. A GLONASS message frame time
// is a second of the UTC week in 3.x and 4.x, of the day in 2.x: a record
// of a later version gives 2.11 the second of its day.
double written_value(const Record& record, int slot, int version) {
  constexpr int kFrameTime = slot_of(0, 2);
  constexpr double kSecondsPerDay = 86400.0;
  const double value = record.value(slot);
  if (version < 300 && slot == kFrameTime && record.satellite.system == System::GLONASS && value >= kSecondsPerDay) {
    return std::fmod(value, kSecondsPerDay);
  }
  return value;
}

// The satellite and epoch that open a record's first line.
const platform::Layout kEpoch2("(I2,1X,I2.2,4(1X,I2),F5.1)");
const platform::Layout kEpoch3("(A1,I2.2,1X,I4,5(1X,I2.2))");
const platform::Layout kEpochWithoutSatellite("(4X,I4,5(1X,I2.2))");

// The number written in the files, "satellite" of 2.x and 3.x: SBAS PRNs
// less 100.
int written_number(Satellite satellite) {
  return satellite.system == System::SBAS && satellite.number >= 100 ? satellite.number - 100 : satellite.number;
}

// A value of a record line: D19.12 in 2.11 (12 significant digits),
// ES19.12 in 3.x and 4.x (13: "-1.674746163189E-04").
void put_value(char* out, double value, int version) {
  if (version < 300) {
    platform::put_D(out, value, kFieldWidth, 12);
  } else {
    platform::put_ES(out, value, kFieldWidth, 12);
  }
}

// `line` without its trailing blanks; a line of blank fields alone keeps its
// width: readers that take a field by its columns without looking for the
// end of the line would find there the values of the line before.
std::string_view value_line(std::string_view line) {
  const std::string_view text = platform::trim_right(line);
  return text.find_first_not_of(' ') == std::string_view::npos ? line : text;
}

}  // namespace

NavigationWriter::NavigationWriter(int unit, int version, System system)
    : unit_(unit), version_(version), system_(system) {}

bool NavigationWriter::holds(const Record& record) const {
  if (version_ >= 400) return true;  // 4.00 carries every record, unknown message types as read
  if (record.kind != RecordKind::Ephemeris || record.message != implied_message(record)) return false;
  if (version_ < 300 && record.satellite.system != system_) return false;
  return find_layout(record.kind, record.satellite.system, version_, record.messageText.view()) != nullptr;
}

NavigationWriter::Result NavigationWriter::write(const Record& record) {
  if (!holds(record)) return Result::NoForm;
  const LineLayout* layout = find_layout(record.kind, record.satellite.system, version_, record.messageText.view());
  // Every line of the version's form, whatever form the record was read in:
  // a GLONASS record of 3.04 (four lines) gets the fifth of 3.05 and 4.00 as
  // blank fields, which readers of those versions count on.
  const int lines = layout != nullptr ? layout->lines : record.lines;
  int status = 0;
  if (version_ >= 400) status = write_record_line(record);
  for (int line = 0; line < lines && status == 0; ++line) {
    line_.clear();
    if (line == 0) {
      start_epoch_line(record);
      if (layout != nullptr && layout->fields[0] == 0) {
        if (record.text.size > 0) line_.append(" ").append(record.text.view());
        status = platform::write_line(unit_, platform::trim_right(line_));
        continue;
      }
    } else {
      line_.assign(version_ < 300 ? 3 : 4, ' ');
    }
    append_values(record, line);
    status = platform::write_line(unit_, value_line(line_));
  }
  return status == 0 ? Result::Written : Result::Failed;
}

// "> EPH G01 LNAV", "> STO E   IFNV", "> ION I10 L1NV KLOB".
int NavigationWriter::write_record_line(const Record& record) {
  line_.assign("> ");
  line_.append(kind_word(record.kind)).append(" ");
  line_ += letter_of(record.satellite.system);
  const int number = written_number(record.satellite);
  if (number == 0) {
    line_.append("  ");
  } else {
    line_ += static_cast<char>('0' + number / 10 % 10);
    line_ += static_cast<char>('0' + number % 10);
  }
  // The message type fills its four columns ("D1  "): readers compare the
  // columns of the line, not its words.
  const std::string_view message = record.messageText.view();
  line_.append(" ").append(message);
  if (message.size() < kMessageWidth) line_.append(kMessageWidth - message.size(), ' ');
  if (record.variant.size > 0) line_.append(" ").append(record.variant.view());
  return platform::write_line(unit_, line_);
}

void NavigationWriter::start_epoch_line(const Record& record) {
  const Epoch& e = record.epoch;
  const int second = static_cast<int>(std::lround(e.second));
  if (version_ < 300) {
    kEpoch2.format(line_, {written_number(record.satellite), e.year % 100, e.month, e.day, e.hour, e.minute, e.second});
  } else if (version_ >= 400 && record.kind != RecordKind::Ephemeris) {
    kEpochWithoutSatellite.format(line_, {e.year, e.month, e.day, e.hour, e.minute, second});
  } else {
    const char letter = letter_of(record.satellite.system);
    kEpoch3.format(line_, {std::string_view(&letter, 1), written_number(record.satellite), e.year, e.month, e.day, e.hour, e.minute,
                           second});
  }
  line_.pop_back();  // the line end of the layout
}

// The fields of line `line` from their slots, a value not given as blanks
// (trailing blanks are cut when the line is written).
void NavigationWriter::append_values(const Record& record, int line) {
  const int fields = line == 0 ? kEpochLineSlots : kSlotsPerLine;
  for (int field = 0; field < fields; ++field) {
    const int slot = slot_of(line, field);
    const std::size_t at = line_.size();
    line_.append(kFieldWidth, ' ');
    if (record.has(slot)) put_value(line_.data() + at, written_value(record, slot, version_), version_);
  }
}

}  // namespace kavril::rinex

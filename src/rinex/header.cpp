// The header of a RINEX navigation file: version and type, and the
// ionosphere and time corrections and leap seconds it holds (2.x ION
// ALPHA/BETA, DELTA-UTC, CORR TO SYSTEM TIME; 3.x IONOSPHERIC CORR, TIME
// SYSTEM CORR; LEAP SECONDS; 4.x MERGED FILE).
#include <array>
#include <cmath>
#include <span>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/columns.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

bool digits_or_blanks(std::string_view text) {
  for (const char c : text) {
    if (c != ' ' && (c < '0' || c > '9')) return false;
  }
  return text.find_first_not_of(' ') != std::string_view::npos;
}

// A line of no header label that starts as a record of the version does:
// "> EPH" (4.x), "G01 2023 " (3.x), " 1 10  7" (2.x).
bool looks_like_record_line(std::string_view line, int major) {
  if (major >= 4) return line.starts_with("> ");
  if (major == 3) {
    return line.size() >= 9 && std::string_view("GRECJIS").find(line[0]) != std::string_view::npos &&
           digits_or_blanks(line.substr(1, 2)) && line[3] == ' ' && digits_or_blanks(line.substr(4, 4)) && line[8] == ' ';
  }
  return line.size() >= 9 && digits_or_blanks(line.substr(0, 2)) && line[2] == ' ' && digits_or_blanks(line.substr(3, 2)) &&
         line[5] == ' ' && digits_or_blanks(line.substr(6, 2)) && line[8] == ' ';
}

// The reference time of a 2.x CORR TO SYSTEM TIME is its date: as the GPS
// week and second of 00:00 that day, the form of 3.x TIME SYSTEM CORR, so
// that the date goes into 3.x files and comes back from them.
void set_reference_of_date(TimeCorrection& c) {
  const std::string date = std::to_string(c.year) + "-" + (c.month < 10 ? "0" : "") + std::to_string(c.month) + "-" +
                           (c.day < 10 ? "0" : "") + std::to_string(c.day);
  double epoch = 0.0;
  if (!nav::parse_iso_time(date, epoch) || epoch < 0.0) return;
  const double week = std::floor(epoch / nav::kSecondsPerWeek);
  c.referenceWeek = static_cast<int>(week);
  c.referenceSeconds = static_cast<int>(epoch - week * nav::kSecondsPerWeek);
}

constexpr std::string_view kVersionLabel = "RINEX VERSION / TYPE";
constexpr std::string_view kNavigationTypes = "NGHLJQI";

// The first non-blank character of columns first..first+width-1, or a blank.
char first_letter(std::string_view line, int first, int width) {
  const std::string_view field = column_field(line, first, width);
  return field.empty() ? ' ' : field.front();
}

// Version (times 100) and type of a version line; false unless it is one of
// a navigation file of version 2, 3 or 4. Real files write the version "2"
// or shifted by a column, and the type at column 21 or a little after.
bool read_version_line(std::string_view line, int& version, char& type) {
  if (header_label(line) != kVersionLabel) return false;
  double number = 0.0;
  if (!platform::parse_real(column_field(line, 1, 20), number) || number < 2.0 || number >= 5.0) return false;
  version = static_cast<int>(std::lround(number * 100.0));
  type = first_letter(line, 21, 20);
  return kNavigationTypes.find(type) != std::string_view::npos && type != ' ';
}

// The system of records that give no letter (2.x): from the file type, or
// for `N` files from column 41 (2.12 QZSS writes `J` there).
System system_of_type(char type, char column41) {
  switch (type) {
    case 'G': return System::GLONASS;
    case 'H': return System::SBAS;
    case 'L': return System::Galileo;
    case 'J':
    case 'Q': return System::QZSS;
    case 'I': return System::NavIC;
    default: break;
  }
  System system = System::GPS;
  return system_of_letter(column41, system) ? system : System::GPS;
}

bool is_comment(std::string_view line) { return header_label(line) == "COMMENT"; }

// The numbers of one header line, read by their columns (a blank one reads
// as zero); `bad` tells that one was no number, `reason` which.
struct HeaderFields {
  std::string_view line;
  std::string reason;
  bool bad = false;

  double real(int first, int width) {
    double value = 0.0;
    if (read_real(line, first, width, value, reason) == FieldRead::Bad) bad = true;
    return value;
  }
  int integer(int first, int width) {
    int value = 0;
    if (read_integer(line, first, width, value, reason) == FieldRead::Bad) bad = true;
    return value;
  }
};

// The first numbers of `text`, separated by blanks, into `values`; false
// unless all of them are there and are integers beyond the first two.
bool numbers_by_words(std::string_view text, std::span<double> values) {
  platform::NumberTokens words(text);
  std::size_t count = 0;
  std::string_view token;
  words.next_reals(values, count, token);
  if (count != values.size()) return false;
  for (std::size_t i = 2; i < count; ++i) {
    if (!(std::fabs(values[i]) < 1e9) || values[i] != std::trunc(values[i])) return false;
  }
  return true;
}

}  // namespace

bool is_navigation_file(std::span<const std::string> lines) {
  for (const std::string& line : lines) {
    if (is_comment(line)) continue;
    int version = 0;
    char type = ' ';
    return read_version_line(line, version, type);
  }
  return false;
}

bool is_navigation_input(std::string_view name) {
  // Comment lines may come before the version line; a header of more than
  // this many of them is not taken for a navigation file.
  constexpr std::size_t kHeadLines = 64;
  platform::FileHead head;
  return platform::read_file_head(name, kHeadLines, head) && is_navigation_file(head.lines);
}

bool NavigationReader::read_header(Header& header) {
  header = Header{};
  std::string line;
  long number = 0;
  bool versionSeen = false;
  for (;;) {
    const platform::ReadResult result = platform::read_line(unit_, line);
    if (result == platform::ReadResult::Error) {
      return fail(platform::line_number(unit_) + 1, platform::status_text(platform::read_status(unit_)));
    }
    if (result == platform::ReadResult::End) {
      return fail(number, versionSeen ? "the header has no END OF HEADER line"
                                      : "no RINEX VERSION / TYPE line: not a RINEX navigation file");
    }
    number = platform::line_number(unit_);
    const std::string_view label = header_label(line);
    if (!versionSeen) {
      if (label == "COMMENT") continue;
      if (!read_version_line(line, header.version, header.fileType)) {
        return fail(number, "not a RINEX navigation file of version 2, 3 or 4 (RINEX VERSION / TYPE)");
      }
      header.systemLetter = first_letter(line, 41, 20);
      header.fileSystem = system_of_type(header.fileType, header.systemLetter);
      versionSeen = true;
      continue;
    }
    HeaderFields fields{line, {}};
    if (label == "END OF HEADER") {
      break;
    } else if (label == "COMMENT") {
      header.comments.emplace_back(platform::trim_right(line.substr(0, 60)));
    } else if (label == "ION ALPHA" || label == "ION BETA") {
      IonosphereCorrection& c = header.ionosphere.emplace_back();
      c.type.assign(label == "ION ALPHA" ? "GPSA" : "GPSB");
      c.valueCount = 4;
      for (int i = 0; i < 4; ++i) c.values[static_cast<std::size_t>(i)] = fields.real(3 + 12 * i, 12);
    } else if (label == "IONOSPHERIC CORR") {
      IonosphereCorrection& c = header.ionosphere.emplace_back();
      c.type.assign(column_field(line, 1, 4));
      c.valueCount = c.type.view() == "GAL" ? 3 : 4;
      for (int i = 0; i < c.valueCount; ++i) c.values[static_cast<std::size_t>(i)] = fields.real(6 + 12 * i, 12);
      c.timeMark = first_letter(line, 55, 1);
      c.satellite = fields.integer(57, 2);
    } else if (label == "DELTA-UTC: A0,A1,T,W") {
      TimeCorrection& c = header.timeCorrections.emplace_back();
      c.type.assign("GPUT");
      c.a0 = fields.real(4, 19);
      c.a1 = fields.real(23, 19);
      c.referenceSeconds = fields.integer(42, 9);
      c.referenceWeek = fields.integer(51, 9);
    } else if (label == "CORR TO SYSTEM TIME") {
      TimeCorrection& c = header.timeCorrections.emplace_back();
      c.type.assign("GLUT");
      c.year = fields.integer(1, 6);
      c.month = fields.integer(7, 6);
      c.day = fields.integer(13, 6);
      c.a0 = fields.real(22, 19);
      set_reference_of_date(c);
    } else if (label == "TIME SYSTEM CORR") {
      TimeCorrection& c = header.timeCorrections.emplace_back();
      c.type.assign(column_field(line, 1, 4));
      c.a0 = fields.real(6, 17);
      c.a1 = fields.real(23, 16);
      c.referenceSeconds = fields.integer(39, 7);
      c.referenceWeek = fields.integer(46, 5);
      c.source.assign(column_field(line, 51, 6));
      c.utcId = fields.integer(57, 3);
      // Some writers give a0 and a1 19 columns each: the four numbers then
      // stand apart, read by words.
      std::array<double, 4> words{};
      if (fields.bad && numbers_by_words(line.substr(5, 55), words)) {
        fields.bad = false;
        c.a0 = words[0];
        c.a1 = words[1];
        c.referenceSeconds = static_cast<int>(words[2]);
        c.referenceWeek = static_cast<int>(words[3]);
        c.source.assign({});
        c.utcId = 0;
      }
    } else if (label == "LEAP SECONDS") {
      LeapSeconds& leap = header.leapSeconds;
      leap.given = true;
      leap.current = fields.integer(1, 6);
      leap.futureGiven = !column_field(line, 7, 6).empty();
      leap.future = fields.integer(7, 6);
      leap.week = fields.integer(13, 6);
      leap.day = fields.integer(19, 6);
      leap.system.assign(column_field(line, 25, 3));
    } else if (label == "MERGED FILE") {
      header.mergedFiles = fields.integer(1, 9);
    } else if (looks_like_record_line(line, header.major())) {
      // Passed over as a header line it would be a record lost without a word.
      return fail(number, "a record line before END OF HEADER");
    }
    if (fields.bad) return fail(number, joined({label, ": ", fields.reason}));
  }
  header.lines = number;
  version_ = header.version;
  fileSystem_ = header.fileSystem;
  lastLine_ = number;
  return true;
}

}  // namespace kavril::rinex

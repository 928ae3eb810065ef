// Round trip through real data: broadcast files made from IGS RINEX 2
// navigation files are read and written as RINEX records, which are then
// compared field by field with the IGS records by a column reader of their
// own (independent of the writer's layouts).
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kIn = 43;
constexpr int kOut = 44;

struct Record {
  std::array<int, 6> head{};  // satellite, yy, mm, dd, hh, mi
  double seconds = 0.0;
  std::array<double, 27> values{};  // clock values and the six orbit lines
};

double d_value(const std::string& line, std::size_t column) {
  std::string field = line.substr(column, 19);
  for (char& c : field) {
    if (c == 'D') c = 'E';
  }
  return std::strtod(field.c_str(), nullptr);
}

// Records of a RINEX navigation file after the header line `headerEnd`
// (compared whole, trailing blanks included); `linesPerRecord` is 8
// for RINEX 2 (orbit line 7 is not compared) and 7 for version 1.
std::vector<Record> read_records(const std::string& text, std::string_view headerEnd,
                                 std::size_t linesPerRecord) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  bool inHeader = true;
  for (std::string line; std::getline(in, line);) {
    if (!inHeader) lines.push_back(line);
    if (line == headerEnd) inHeader = false;
  }
  EXPECT_EQ(lines.size() % linesPerRecord, 0u);
  std::vector<Record> records;
  for (std::size_t k = 0; k + linesPerRecord <= lines.size(); k += linesPerRecord) {
    Record r;
    const std::string& first = lines[k];
    r.head[0] = std::atoi(first.substr(0, 2).c_str());
    for (int i = 1; i < 6; ++i) r.head[i] = std::atoi(first.substr(2 + 3 * (i - 1), 3).c_str());
    r.seconds = std::strtod(first.substr(17, 5).c_str(), nullptr);
    for (int i = 0; i < 3; ++i) r.values[i] = d_value(first, 22 + 19 * i);
    for (int line = 1; line <= 6; ++line) {
      for (int i = 0; i < 4; ++i) r.values[3 + 4 * (line - 1) + i] = d_value(lines[k + line], 3 + 19 * i);
    }
    records.push_back(r);
  }
  return records;
}

// The driver's message loop on one broadcast file, into one RINEX file.
std::string convert(const std::string& broadcastName, const std::string& rinexName) {
  EXPECT_EQ(platform::open_unit(kIn, broadcastName, platform::OpenStatus::Old, true, true), 0);
  EXPECT_EQ(platform::open_unit(kOut, rinexName, platform::OpenStatus::New, true, false), 0);
  std::vector<std::string> title(1);
  EXPECT_TRUE(RDBTIT(kIn, title[0]));
  int irCode = 0;
  RXWTNH(kOut, 6, "KAVRIL", "TEST", "01-JUL-10", "12:00", 1, title, irCode);
  EphemerisArray eph;
  ClockArray clock;
  RinexRecordArray rinex;
  for (int satellite = RDBSAT(kIn); satellite != 0; satellite = RDBSAT(kIn)) {
    RDBBLK(kIn, eph);
    RDBCHK(kIn, eph);
    RDBBLK(kIn, clock);
    V3RXBR(eph, clock, rinex);
    RXWTNR(kOut, 6, satellite, rinex, irCode);
  }
  EXPECT_EQ(platform::close_unit(kIn), 0);
  EXPECT_EQ(platform::close_unit(kOut), 0);
  return test::read_file(rinexName);
}

void expect_round_trip(const std::string& day, std::size_t messages) {
  test::ScratchDir dir;
  const auto igsDir = test::data_dir() / "igs";
  const std::string written = convert((igsDir / (day + ".brd")).string(), dir.file("out.rnx"));
  const std::vector<Record> ours = read_records(written, " ", 7);
  const std::vector<Record> igs = read_records(test::read_file(igsDir / (day + ".10n")),
                                               std::string(60, ' ') + "END OF HEADER       ", 8);
  ASSERT_EQ(ours.size(), messages);
  ASSERT_EQ(igs.size(), messages);
  for (std::size_t k = 0; k < messages; ++k) {
    EXPECT_EQ(ours[k].head, igs[k].head) << day << " record " << k + 1;
    EXPECT_EQ(ours[k].seconds, igs[k].seconds) << day << " record " << k + 1;
    for (std::size_t i = 0; i < ours[k].values.size(); ++i) {
      EXPECT_EQ(ours[k].values[i], igs[k].values[i]) << day << " record " << k + 1 << " value " << i;
    }
  }
  std::istringstream lines(written.substr(written.find("\n \n") + 3));
  for (std::string line; std::getline(lines, line);) ASSERT_EQ(line.size(), 79u) << line;
}

TEST(IGSRoundTrip, EveryFieldOfEveryRecordSurvives) {
  expect_round_trip("brdc1820", 421);
  expect_round_trip("brdc1830", 422);
}

}  // namespace
}  // namespace kavril

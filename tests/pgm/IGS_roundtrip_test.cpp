// Round trip through real data: the broadcast files made from the IGS RINEX 2
// navigation files are read and written as RINEX records, which a column
// reader of this test (independent of the writer's layouts) compares field
// by field with the IGS records.
#include <gtest/gtest.h>

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

// The numbers of one record: satellite, yy, mm, dd, hh, mi, seconds, the three
// clock values and the six orbit lines (the RINEX 2 line 7 is not compared).
std::vector<double> record_fields(const std::vector<std::string>& lines, std::size_t first) {
  std::vector<double> fields;
  const auto number = [&fields](std::string field) {
    for (char& c : field) c = c == 'D' ? 'E' : c;
    fields.push_back(std::strtod(field.c_str(), nullptr));
  };
  number(lines[first].substr(0, 2));
  for (std::size_t column = 2; column < 17; column += 3) number(lines[first].substr(column, 3));
  number(lines[first].substr(17, 5));
  for (std::size_t column = 22; column < 79; column += 19) number(lines[first].substr(column, 19));
  for (std::size_t line = first + 1; line <= first + 6; ++line) {
    EXPECT_EQ(lines[line].size(), 79u);
    for (std::size_t column = 3; column < 79; column += 19) number(lines[line].substr(column, 19));
  }
  return fields;
}

// Records after the header line `headerEnd`, `linesPerRecord` lines each.
std::vector<std::vector<double>> records(const std::string& text, const std::string& headerEnd,
                                         std::size_t linesPerRecord) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line) && line != headerEnd) {
  }
  std::vector<std::string> lines;
  while (std::getline(in, line)) lines.push_back(line);
  EXPECT_EQ(lines.size() % linesPerRecord, 0u);
  std::vector<std::vector<double>> result;
  for (std::size_t k = 0; k + linesPerRecord <= lines.size(); k += linesPerRecord) {
    result.push_back(record_fields(lines, k));
  }
  return result;
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

TEST(IGSRoundTrip, EveryFieldOfEveryRecordSurvives) {
  for (const auto& [day, messages] : {std::pair{"brdc1820", 421u}, std::pair{"brdc1830", 422u}}) {
    test::ScratchDir dir;
    const auto igs = test::data_dir() / "igs" / day;
    const auto ours = records(convert(igs.string() + ".brd", dir.file("out.rnx")), " ", 7);
    const auto theirs =
        records(test::read_file(igs.string() + ".10n"), std::string(60, ' ') + "END OF HEADER       ", 8);
    ASSERT_EQ(ours.size(), messages);
    ASSERT_EQ(theirs.size(), messages);
    for (std::size_t k = 0; k < messages; ++k) EXPECT_EQ(ours[k], theirs[k]) << day << " record " << k + 1;
  }
}

}  // namespace
}  // namespace kavril

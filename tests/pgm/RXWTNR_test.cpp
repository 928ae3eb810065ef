#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kUnit = 41;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The lines RXWTNR writes for one record.
std::vector<std::string> record(int satellite, const RinexRecordArray& rinex) {
  test::ScratchDir dir;
  const std::string name = dir.file("record.rnx");
  EXPECT_EQ(platform::open_unit(kUnit, name, platform::OpenStatus::New, true, false), 0);
  int irCode = -1;
  RXWTNR(kUnit, 6, satellite, rinex, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_EQ(platform::close_unit(kUnit), 0);
  return lines_of(test::read_file(name));
}

// Record with the clock reference time toc, ephemeris time toe and week.
RinexRecordArray epoch(double toc, double toe, double week) {
  RinexRecordArray rinex{};
  rinex[0] = toc;
  rinex[12] = toe;
  rinex[22] = week;
  return rinex;
}

// Columns 1 to 22 of line 1: satellite and epoch.
std::string epoch_text(double toc, double toe, double week) {
  return record(1, epoch(toc, toe, week))[0].substr(0, 22);
}

TEST(RXWTNR, WritesSevenLinesOf79Columns) {
  RinexRecordArray rinex = epoch(7200.0, 7200.0, 1400.0);
  rinex[1] = -0.000123456789012345;
  rinex[3] = 1.0;
  for (int p = 5; p <= 28; ++p) rinex[p - 1] = p == 13 || p == 23 ? rinex[p - 1] : p;
  for (int p = 29; p <= 32; ++p) rinex[p - 1] = 1234.5;  // never written
  const std::vector<std::string> expected = {
      " 5  6 11  5  2  0  0.0-0.123456789012D-03 0.000000000000D+00 0.100000000000D+01",
      "    0.500000000000D+01 0.600000000000D+01 0.700000000000D+01 0.800000000000D+01",
      "    0.900000000000D+01 0.100000000000D+02 0.110000000000D+02 0.120000000000D+02",
      "    0.720000000000D+04 0.140000000000D+02 0.150000000000D+02 0.160000000000D+02",
      "    0.170000000000D+02 0.180000000000D+02 0.190000000000D+02 0.200000000000D+02",
      "    0.210000000000D+02 0.220000000000D+02 0.140000000000D+04 0.240000000000D+02",
      "    0.250000000000D+02 0.260000000000D+02 0.270000000000D+02 0.280000000000D+02"};
  EXPECT_EQ(record(5, rinex), expected);
}

// The week of toc is the rounded week of toe, moved by one when toc and toe
// lie more than half a week (302400 s) apart.
TEST(RXWTNR, EpochWeekFollowsTheHalfWeekRule) {
  EXPECT_EQ(epoch_text(604784.0, 0.0, 1401.0), " 1  6 11 11 23 59 44.0");
  EXPECT_EQ(epoch_text(0.0, 604784.0, 1400.0), " 1  6 11 12  0  0  0.0");
  EXPECT_EQ(epoch_text(302400.0, 0.0, 1400.0), " 1  6 11  8 12  0  0.0");    // exactly half
  EXPECT_EQ(epoch_text(0.0, 302400.0, 1400.0), " 1  6 11  5  0  0  0.0");    // exactly half
  EXPECT_EQ(epoch_text(302400.5, 0.0, 1400.0), " 1  6 11  1 12  0  0.5");    // week 1399
  EXPECT_EQ(epoch_text(0.0, 0.0, 1400.5), " 1  6 11 12  0  0  0.0");         // halves up
  EXPECT_EQ(epoch_text(0.0, 0.0, 1399.4999), " 1  6 10 29  0  0  0.0");
  EXPECT_EQ(epoch_text(0.0, 0.0, 1023.0), " 1 99  8 15  0  0  0.0");
  EXPECT_EQ(epoch_text(0.0, 0.0, 1024.0), " 1 99  8 22  0  0  0.0");  // no roll-over
  EXPECT_EQ(epoch_text(0.0, 0.0, 1043.0), " 1  0  1  2  0  0  0.0");  // year 2000: 0
  EXPECT_EQ(epoch_text(59.96, 59.96, 1400.0), " 1  6 11  5  0  0 60.0");  // as F5.1 rounds
}

TEST(RXWTNR, FieldsTooWideShowAsterisks) {
  EXPECT_EQ(record(100, epoch(0.0, 0.0, 1400.0))[0].substr(0, 5), "**  6");
  EXPECT_EQ(record(-10, epoch(0.0, 0.0, 1400.0))[0].substr(0, 5), "**  6");
  EXPECT_EQ(record(-9, epoch(0.0, 0.0, 1400.0))[0].substr(0, 5), "-9  6");
}

TEST(RXWTNH, HeaderOfTheDriver) {
  test::ScratchDir dir;
  const std::string name = dir.file("header.rnx");
  ASSERT_EQ(platform::open_unit(kUnit, name, platform::OpenStatus::New, true, false), 0);
  const std::vector<std::string> comments = {"IGS BROADCAST EPHEMERIS FILE 2010-07-01"};
  int irCode = -1;
  RXWTNH(kUnit, 6, "KAVRIL", "AGENCY NOT SPECIFIED", "06-DEC-26", "14:05", 1, comments, irCode);
  EXPECT_EQ(irCode, 0);
  ASSERT_EQ(platform::close_unit(kUnit), 0);
  EXPECT_EQ(test::read_file(name),
            "     1              NAVIGATION DATA                         RINEX VERSION / TYPE\n"
            "KAVRIL              AGENCY NOT SPECIFIED06-DEC-26 14:05     PGM / RUN BY / DATE \n"
            "IGS BROADCAST EPHEMERIS FILE 2010-07-01                     COMMENT             \n"
            " \n");
}

// Texts are cut or padded to their fields, never shifting a column.
TEST(RXWTNH, CommentCountAndFieldWidths) {
  test::ScratchDir dir;
  const std::string name = dir.file("header.rnx");
  ASSERT_EQ(platform::open_unit(kUnit, name, platform::OpenStatus::New, true, false), 0);
  const std::vector<std::string> comments = {"A", std::string(70, 'B'), "C", "not written"};
  int irCode = -1;
  RXWTNH(kUnit, 6, "KAVRIL", "", "06-DEC-26", "14:05", 3, comments, irCode);
  RXWTNH(kUnit, 6, std::string(25, 'P'), std::string(25, 'A'), "06-DEC-2026", "14:05:59", 0,
         comments, irCode);
  ASSERT_EQ(platform::close_unit(kUnit), 0);
  const std::vector<std::string> lines = lines_of(test::read_file(name));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[1], "KAVRIL                                  06-DEC-26 14:05     PGM / RUN BY / DATE ");
  EXPECT_EQ(lines[2], "A" + std::string(59, ' ') + "COMMENT" + std::string(13, ' '));
  EXPECT_EQ(lines[3], std::string(60, 'B') + "COMMENT" + std::string(13, ' '));
  EXPECT_EQ(lines[4].substr(0, 1), "C");
  EXPECT_EQ(lines[5], " ");
  EXPECT_EQ(lines[7], std::string(20, 'P') + std::string(20, 'A') + "06-DEC-20 14:05     PGM / RUN BY / DATE ");
  EXPECT_EQ(lines[8], " ");
  for (std::size_t i : {0u, 1u, 2u, 3u, 4u, 6u, 7u}) EXPECT_EQ(lines[i].size(), 80u) << i;
}

}  // namespace
}  // namespace kavril

// The RINEX navigation writers: record (RXWTNR) and header (RXWTNH).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"
#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kUnit = 41;

// Everything `write` writes to kUnit.
template <typename Write>
std::string written(Write write) {
  test::ScratchDir dir;
  EXPECT_EQ(platform::open_unit(kUnit, dir.file("out.rnx"), platform::OpenStatus::New, true, false), 0);
  write();
  EXPECT_EQ(platform::close_unit(kUnit), 0);
  return test::read_file(dir.file("out.rnx"));
}

// A record with clock reference time toc, ephemeris reference time toe and
// GPS week, written for `satellite`.
std::string record(double toc, double toe, double week, int satellite = 1) {
  RinexRecordArray rinex{};
  rinex[0] = toc;
  rinex[12] = toe;
  rinex[22] = week;
  return written([&] {
    int irCode = -1;
    RXWTNR(kUnit, 6, satellite, rinex, irCode);
    EXPECT_EQ(irCode, 0);
  });
}

// The week of toc is the rounded week of toe, moved by one when toc and toe
// lie more than half a week (302400 s) apart.
TEST(RXWTNR, EpochOfTheClockReferenceTime) {
  const auto epoch = [](double toc, double toe, double week) { return record(toc, toe, week).substr(0, 22); };
  EXPECT_EQ(epoch(604784.0, 0.0, 1401.0), " 1  6 11 11 23 59 44.0");
  EXPECT_EQ(epoch(0.0, 604784.0, 1400.0), " 1  6 11 12  0  0  0.0");
  EXPECT_EQ(epoch(302400.0, 0.0, 1400.0), " 1  6 11  8 12  0  0.0");  // exactly half
  EXPECT_EQ(epoch(0.0, 302400.0, 1400.0), " 1  6 11  5  0  0  0.0");  // exactly half
  EXPECT_EQ(epoch(302400.5, 0.0, 1400.0), " 1  6 11  1 12  0  0.5");  // week 1399
  EXPECT_EQ(epoch(0.0, 0.0, 1400.5), " 1  6 11 12  0  0  0.0");       // half a week up
  EXPECT_EQ(epoch(0.0, 0.0, 1399.4999), " 1  6 10 29  0  0  0.0");
  EXPECT_EQ(epoch(0.0, 0.0, 1024.0), " 1 99  8 22  0  0  0.0");       // no roll-over
  EXPECT_EQ(epoch(0.0, 0.0, 1043.0), " 1  0  1  2  0  0  0.0");       // year 2000 is 0
  EXPECT_EQ(epoch(59.96, 59.96, 1400.0), " 1  6 11  5  0  0 60.0");   // as F5.1 rounds
  EXPECT_EQ(record(0.0, 0.0, 1400.0, 100).substr(0, 5), "**  6");
  EXPECT_EQ(record(0.0, 0.0, 1400.0, -10).substr(0, 5), "**  6");
  EXPECT_EQ(record(0.0, 0.0, 1400.0, -9).substr(0, 5), "-9  6");
}

using RecordWriter = void (*)(int, int, int, const RinexRecordArray&, int&);

// A record of `writer` with toc, toe and week, and the value k at every
// other position k, and its return code.
std::string record(RecordWriter writer, double toc, double toe, double week, int& irCode) {
  RinexRecordArray rinex{};
  for (std::size_t k = 0; k < rinex.size(); ++k) rinex[k] = static_cast<double>(k + 1);
  rinex[0] = toc;
  rinex[12] = toe;
  rinex[22] = week;
  return written([&] { writer(kUnit, 6, 1, rinex, irCode); });
}

// The epoch of 2.11 is the one of version 1 with a two-digit year; 3.04
// writes whole seconds exactly and refuses a toc with a fraction.
TEST(RXWTNR2and3, EpochOfEachVersion) {
  struct Case {
    double toc, toe, week;
    const char* v2;
    const char* v3;
  };
  const Case cases[] = {
      {604784, 0, 1401, " 1 06 11 11 23 59 44.0", "G01 2006 11 11 23 59 44"},  // week 1400
      {0, 604784, 1400, " 1 06 11 12  0  0  0.0", "G01 2006 11 12 00 00 00"},  // week 1401
      {302400, 0, 1400, " 1 06 11  8 12  0  0.0", "G01 2006 11 08 12 00 00"},  // exactly half
      {0, 302400, 1400, " 1 06 11  5  0  0  0.0", "G01 2006 11 05 00 00 00"},  // exactly half
      {302401, 0, 1400, " 1 06 11  1 12  0  1.0", "G01 2006 11 01 12 00 01"},  // week 1399
      {-16, 0, 1400, " 1 06 11  4 23 59 44.0", "G01 2006 11 04 23 59 44"},    // the day before
      {518400, 518400, 1042, " 1 00  1  1  0  0  0.0", "G01 2000 01 01 00 00 00"},
      {86400, 86400, 5217, " 1 80  1  1  0  0  0.0", "G01 2080 01 01 00 00 00"},
      {388800, 388800, 5225, " 1 80  2 29 12  0  0.0", "G01 2080 02 29 12 00 00"},
      {59.96, 59.96, 1400, " 1 06 11  5  0  0 60.0", ""},  // 3.04 refuses the fraction
  };
  for (const Case& c : cases) {
    int irc2 = -1;
    int irc3 = -1;
    EXPECT_EQ(record(RXWTNR2, c.toc, c.toe, c.week, irc2).substr(0, 22), c.v2) << c.toc;
    EXPECT_EQ(record(RXWTNR3, c.toc, c.toe, c.week, irc3).substr(0, 23), c.v3) << c.toc;
    EXPECT_EQ(irc2, 0);
    EXPECT_EQ(irc3, *c.v3 ? 0 : 1);
  }
}

// Positions 2 to 30 in their places: lines of 79 (80) columns, line 8 of
// 41 (42) with the transmission time and the fit interval.
TEST(RXWTNR2and3, EightLinesOfEveryPosition) {
  int irCode = -1;
  const std::string v2 = record(RXWTNR2, 7200, 7200, 1400, irCode);
  const std::string v3 = record(RXWTNR3, 7200, 7200, 1400, irCode);
  EXPECT_EQ(v2.substr(0, 80), " 1 06 11  5  2  0  0.0 0.200000000000D+01 0.300000000000D+01 0.400000000000D+01\n");
  EXPECT_EQ(v3.substr(0, 81), "G01 2006 11 05 02 00 00 2.000000000000E+00 3.000000000000E+00 4.000000000000E+00\n");
  EXPECT_EQ(v2.substr(80 * 6), "    0.250000000000D+02 0.260000000000D+02 0.270000000000D+02 0.280000000000D+02\n"
                               "    0.290000000000D+02 0.300000000000D+02\n");
  EXPECT_EQ(v3.substr(81 * 6), "     2.500000000000E+01 2.600000000000E+01 2.700000000000E+01 2.800000000000E+01\n"
                               "     2.900000000000E+01 3.000000000000E+01\n");
  EXPECT_EQ(v2.size(), 80u * 7 + 42);
  EXPECT_EQ(v3.size(), 81u * 7 + 43);
  EXPECT_EQ(v2.substr(80 * 3, 22), "    0.720000000000D+04");  // toe opens line 4
}

// A broadcast message becomes the GPS record a RINEX file gives: the RINEX
// room's writer writes that record as each version's own writer writes the
// message, byte for byte, and the record back as a message is written by
// version 1 as the message itself.
TEST(MessageRecords, TheRoomWritesAMessageAsEachVersionDoes) {
  struct Epoch {
    double toc, toe, week;
  };
  const Epoch epochs[] = {{7200, 7200, 1400}, {604784, 0, 1401}, {-16, 0, 1400}, {388800, 388800, 5225}, {30.5, 0, 1400}};
  const std::pair<RecordWriter, int> versions[] = {{RXWTNR2, 211}, {RXWTNR3, 304}, {RXWTNR4, 400}};
  for (const Epoch& e : epochs) {
    RinexRecordArray rinex{};
    for (std::size_t k = 1; k < 30; ++k) rinex[k] = (k % 2 ? -1.0 : 1.0) * static_cast<double>(k) * 1.234567890123e-7 * std::pow(10.0, k % 9);
    rinex[0] = e.toc;
    rinex[12] = e.toe;
    rinex[22] = e.week;
    rinex::Record record;
    nav::record_of_message(7, rinex, record);
    for (const auto& [writer, number] : versions) {
      SCOPED_TRACE(std::to_string(number) + " toc " + std::to_string(e.toc));
      if (number > 211 && e.toc != std::floor(e.toc)) continue;  // refused before it is written
      int irCode = -1;
      const std::string expected = written([&] { writer(kUnit, 6, 7, rinex, irCode); });
      const std::string actual = written([&] {
        rinex::NavigationWriter room(kUnit, number);
        EXPECT_EQ(room.write(record), rinex::NavigationWriter::Result::Written);
      });
      EXPECT_EQ(actual, expected);
    }
    RinexRecordArray back{};
    int satellite = 0;
    ASSERT_TRUE(nav::message_of_record(record, satellite, back));
    int irCode = -1;
    EXPECT_EQ(written([&] { RXWTNR(kUnit, 6, satellite, back, irCode); }),
              written([&] { RXWTNR(kUnit, 6, 7, rinex, irCode); }));
  }
}

// Texts are cut or padded to their fields, never shifting a column.
TEST(RXWTNH, HeaderLinesOf80Columns) {
  const std::vector<std::string> comments = {"IGS BROADCAST EPHEMERIS FILE", std::string(70, 'B'), "C"};
  const auto header = [&](std::string_view pgm, std::string_view agency, int nCom) {
    return written([&] {
      int irCode = -1;
      RXWTNH(kUnit, 6, pgm, agency, "06-DEC-26", "14:05", nCom, comments, irCode);
      EXPECT_EQ(irCode, 0);
    });
  };
  const std::string version = "     1              NAVIGATION DATA                         RINEX VERSION / TYPE\n";
  EXPECT_EQ(header("KAVRIL", "AGENCY NOT SPECIFIED", 1),
            version + "KAVRIL              AGENCY NOT SPECIFIED06-DEC-26 14:05     PGM / RUN BY / DATE \n"
                      "IGS BROADCAST EPHEMERIS FILE                                COMMENT             \n \n");
  EXPECT_EQ(header(std::string(25, 'P'), "", 0),
            version + std::string(20, 'P') + std::string(20, ' ') + "06-DEC-26 14:05     PGM / RUN BY / DATE \n \n");
  EXPECT_EQ(header("KAVRIL", "", 3).substr(81 * 2, 81 * 3 + 2),
            comments[0] + std::string(32, ' ') + "COMMENT" + std::string(13, ' ') + "\n" +
                std::string(60, 'B') + "COMMENT" + std::string(13, ' ') + "\nC" + std::string(59, ' ') +
                "COMMENT" + std::string(13, ' ') + "\n \n");
}

// 2.11: version 1's program line; 3.04: the run's date and time in UTC.
// Both end with the comments and "END OF HEADER".
TEST(RXWTNH2and3, HeaderOfEachVersion) {
  const std::vector<std::string> comment = {"IGS BROADCAST EPHEMERIS FILE"};
  int irc2 = -1;
  int irc3 = -1;
  const std::string end = comment[0] + std::string(32, ' ') + "COMMENT" + std::string(13, ' ') + "\n" +
                          std::string(60, ' ') + "END OF HEADER       \n";
  EXPECT_EQ(written([&] { RXWTNH2(kUnit, 6, "KAVRIL", "AGENCY", "06-DEC-26", "14:05", 1, comment, irc2); }),
            "     2.11           N: GPS NAV DATA                         RINEX VERSION / TYPE\n"
            "KAVRIL              AGENCY              06-DEC-26 14:05     PGM / RUN BY / DATE \n" + end);
  EXPECT_EQ(written([&] { RXWTNH3(kUnit, 6, "KAVRIL", "AGENCY", "20261206 130500 UTC", 1, comment, irc3); }),
            "     3.04           N: GNSS NAV DATA    G: GPS              RINEX VERSION / TYPE\n"
            "KAVRIL              AGENCY              20261206 130500 UTC PGM / RUN BY / DATE \n" + end);
  EXPECT_EQ(irc2 + irc3, 0);
}

// 4.00: the header waits for the first record, whose epoch gives LEAP
// SECONDS unless a value is set, or for the end of a file without records;
// every record follows its record-type line.
TEST(RXWTNH4andRXWTNR4, HeaderHeldForTheFirstRecord) {
  const std::vector<std::string> comment = {"C"};
  const std::string head = "     4.00           N                   G                   RINEX VERSION / TYPE\n"
                           "KAVRIL              AGENCY              20261206 130500 UTC PGM / RUN BY / DATE \n"
                           "C" + std::string(59, ' ') + "COMMENT             \n";
  const std::string end = std::string(60, ' ') + "END OF HEADER       \n";
  const std::size_t recordSize = 15 + 81 * 7 + 43;
  const struct {
    int records;
    std::optional<int> given;
    int leapSeconds;
  } cases[] = {{2, std::nullopt, 18}, {1, 40, 40}, {0, std::nullopt, platform::gps_leap_seconds_now()}};
  for (const auto& c : cases) {
    set_rinex4_leap_seconds(c.given);
    const std::string text = written([&] {
      int irCode = -1;
      RXWTNH4(kUnit, 6, "KAVRIL", "AGENCY", "20261206 130500 UTC", 1, comment, irCode);
      RinexRecordArray rinex{};
      rinex[0] = rinex[12] = 18;  // 2017-01-01 00:00:18 GPS time, the first second with 18
      rinex[22] = 1930;
      for (int k = 0; k < c.records; ++k) RXWTNR4(kUnit, 6, 5, rinex, irCode);
      EXPECT_EQ(c.records == 0 ? end_rinex4_header(kUnit) : irCode, 0);
    });
    const std::string leap = std::to_string(c.leapSeconds);
    EXPECT_EQ(text.substr(0, head.size() + 162),
              head + std::string(6 - leap.size(), ' ') + leap + std::string(54, ' ') + "LEAP SECONDS        \n" + end);
    ASSERT_EQ(text.size(), head.size() + 162 + c.records * recordSize);
    for (int k = 0; k < c.records; ++k)
      EXPECT_EQ(text.substr(head.size() + 162 + k * recordSize, 39), "> EPH G05 LNAV\nG05 2017 01 01 00 00 18 ");
  }
  set_rinex4_leap_seconds(std::nullopt);
}

}  // namespace
}  // namespace kavril

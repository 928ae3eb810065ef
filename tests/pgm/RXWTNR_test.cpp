// The RINEX navigation writers: record (RXWTNR) and header (RXWTNH).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "support/rinex_columns.h"
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
  EXPECT_EQ(record(0.0, 0.0, 1400.0, 100).substr(0, 5), "**  6");
  EXPECT_EQ(record(0.0, 0.0, 1400.0, -10).substr(0, 5), "**  6");
  EXPECT_EQ(record(0.0, 0.0, 1400.0, -9).substr(0, 5), "-9  6");
}

// Clock reference times just before and after every minute of a week are
// written as the time rounded to the tenth of a second that the record
// shows: the seconds never read 60.0, and the minute, hour and day carry.
// The expected epochs come from integer tenths and the calendar of
// std::chrono; week 5217 (2079) checks the rounding where an MJD holds fewer
// bits of the fraction of day.
TEST(RXWTNR, EpochsNearEveryMinuteOfAWeek) {
  using namespace std::chrono;
  constexpr int kTenthsPerMinute = 600;
  constexpr int kTenthsPerDay = 864000;
  const std::pair<double, int> offsets[] = {{-0.06, -1}, {-0.04, 0}, {0.04, 0}, {0.06, 1}};  // s, tenths
  for (const int week : {1400, 5217}) {
    std::string expected;
    const std::string text = written([&] {
      RinexRecordArray rinex{};
      rinex[22] = week;
      for (int minute = 1; minute < 7 * 1440; ++minute) {
        for (const auto& [seconds, tenths] : offsets) {
          rinex[0] = rinex[12] = 60.0 * minute + seconds;
          int irCode = -1;
          RXWTNR(kUnit, 6, 1, rinex, irCode);
          const int total = minute * kTenthsPerMinute + tenths;
          const year_month_day date{sys_days{1980y / January / 6} + days{7 * week + total / kTenthsPerDay}};
          const int ofDay = total % kTenthsPerDay;
          char line[32];
          std::snprintf(line, sizeof line, " 1%3d%3u%3u%3d%3d%3d.%d", static_cast<int>(date.year()) % 100,
                        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), ofDay / 36000,
                        ofDay % 36000 / kTenthsPerMinute, ofDay % kTenthsPerMinute / 10, ofDay % 10);
          expected += line;
        }
      }
    });
    const auto lines = test::lines_of(text);
    ASSERT_EQ(lines.size() * 22, expected.size() * 7);
    for (std::size_t k = 0; k < lines.size(); k += 7) {
      ASSERT_EQ(lines[k].substr(0, 22), expected.substr(k / 7 * 22, 22)) << "week " << week;
    }
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

}  // namespace
}  // namespace kavril

// The RINEX navigation writers: record (RXWTNR) and header (RXWTNH).
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

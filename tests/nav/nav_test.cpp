// Times, satellite lists, standard names and the records of one output.
#include <gtest/gtest.h>

#include <string>

#include "nav/nav.h"

namespace kavril::nav {
namespace {

double epoch(const char* iso) {
  double e = 0.0;
  EXPECT_TRUE(parse_iso_time(iso, e)) << iso;
  return e;
}

TEST(NavTimes, IsoTimesAreGpsSecondsAndEverythingElseIsRefused) {
  EXPECT_EQ(epoch("1980-01-06"), 0.0);
  EXPECT_EQ(epoch("2010-07-01"), 1590 * kSecondsPerWeek + 4 * kSecondsPerDay);  // Thursday of week 1590
  EXPECT_EQ(epoch("2010-07-01T12:00"), epoch("2010-07-01") + 43200);
  EXPECT_EQ(epoch("2010-07-01 12:00:30"), epoch("2010-07-01") + 43230);
  EXPECT_EQ(epoch("2012-02-29"), epoch("2012-03-01") - kSecondsPerDay);
  for (const char* bad : {"", "2010-7-01", "2010-07-01T", "2010-07-01T12", "2010-07-01T12:00:60", "2010-13-01",
                          "2011-02-29", "2010-06-31", "2010-07-01T24:00", "2010-07-01Z", "+010-07-01", "2010/07/01",
                          "2010-07-01T12:0a"}) {
    double e = 0.0;
    EXPECT_FALSE(parse_iso_time(bad, e)) << bad;
  }
  EXPECT_EQ(iso_text(epoch("2010-07-02T23:59:44")), "2010-07-02 23:59:44");
  EXPECT_EQ(calendar_of(epoch("2010-12-31T01:00")).dayOfYear, 365);
  EXPECT_EQ(duration_text(7264.0), "2:01:04");
  EXPECT_EQ(duration_text(3 * kSecondsPerDay), "72:00:00");
}

TEST(NavSatellites, ListsAndRangesAndTheirErrors) {
  const struct {
    const char* text;
    std::vector<int> satellites;  // empty: refused
  } cases[] = {{"5", {5}},           {"G05,7", {5, 7}},   {"1-3,g32", {1, 2, 3, 32}}, {"99", {99}},
               {"G1-G2", {1, 2}},    {"0", {}},           {"100", {}},                {"R05", {}},
               {"5,", {}},           {",5", {}},          {"3-1", {}},                {"1-", {}},
               {"G", {}},            {"5 ", {}},          {"-3", {}},                 {"G005", {}}};
  for (const auto& c : cases) {
    SatelliteSet set;
    std::string error;
    const bool ok = parse_satellite_list(c.text, set, error);
    EXPECT_EQ(ok, !c.satellites.empty()) << c.text;
    if (!ok) {
      EXPECT_NE(error.find(c.text[0] == ',' ? "\"\"" : "satellite"), std::string::npos) << error;
      continue;
    }
    SatelliteSet expected;
    for (const int sat : c.satellites) expected.set(static_cast<std::size_t>(sat));
    EXPECT_EQ(set, expected) << c.text;
  }
}

TEST(NavNames, ShortAndLongStandardNames) {
  const struct {
    const char* first;
    const char* last;
    const char* shortName;
    const char* longName;
  } cases[] = {
      {"2010-07-01", "2010-07-01T23:59:44", "brdc1820.10n", "BRDC00ORL_U_20101820000_01D_GN.rnx"},
      {"2010-07-01T10:00", "2010-07-01T10:59:59", "brdc1820.10n", "BRDC00ORL_U_20101821000_01H_GN.rnx"},
      {"2010-07-01T10:30", "2010-07-01T11:00", "brdc1820.10n", "BRDC00ORL_U_20101820000_01D_GN.rnx"},
      {"2010-07-01T23:00", "2010-07-02T01:00", "brdc1820.10n", "BRDC00ORL_U_20101820000_02D_GN.rnx"},
      {"2010-07-01", "2010-07-07T23:00", "brdc1820.10n", "BRDC00ORL_U_20101820000_07D_GN.rnx"},
      {"1999-12-31T23:00", "1999-12-31T23:00", "brdc3650.99n", "BRDC00ORL_U_19993652300_01H_GN.rnx"},
      {"2010-01-01", "2010-12-31", "brdc0010.10n", "BRDC00ORL_U_20100010000_53W_GN.rnx"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(short_name("BRDC00ORL", epoch(c.first)), c.shortName) << c.first;
    EXPECT_EQ(long_name("BRDC00ORL", 'U', epoch(c.first), epoch(c.last)), c.longName) << c.first << " " << c.last;
  }
  std::string error;
  for (const char* good : {"BRDC00ORL", "WTZR00DEU"}) EXPECT_TRUE(valid_long_id(good, error)) << good;
  for (const char* bad : {"BRDC00OR", "brdc00ORL", "BRDC0XORL", "BRDC00OR1", "BRDC00ORLX", ""})
    EXPECT_FALSE(valid_long_id(bad, error)) << bad;
}

// Records of one output: the window, repeated messages (satellite, epoch and
// IODE) and the order of --sort, stable among equal epoch and satellite.
TEST(NavOutputRecords, WindowRepetitionAndStableOrder) {
  Selection selection;
  selection.from = 1000.0;
  selection.to = 5000.0;
  selection.unique = true;
  selection.sort = true;
  OutputRecords records(selection);
  InputCounts counts;
  const auto record = [](double toc, double iode, double marker) {
    RinexRecordArray r{};
    r[0] = toc;
    r[4] = iode;
    r[22] = 0.0;  // week 0, so the epoch is toc
    r[12] = toc;
    r[29] = marker;
    return r;
  };
  const struct {
    int sat;
    double toc, iode;
    bool kept;
  } messages[] = {{3, 2000, 1, true},  {1, 2000, 1, true}, {3, 2000, 1, false}, {3, 2000, 2, true},
                  {2, 999, 1, false},  {2, 5000, 1, false}, {2, 1000, 1, true},  {1, 4999, 9, true}};
  double marker = 0;
  for (const auto& m : messages) {
    const auto decision = records.take(m.sat, record(m.toc, m.iode, ++marker), counts);
    EXPECT_EQ(decision, m.kept ? OutputRecords::Decision::Hold : OutputRecords::Decision::LeaveOut) << marker;
  }
  // More records of one satellite and epoch than a sort orders by insertion.
  std::vector<double> expected{7, 2, 1, 4};
  for (int copy = 0; copy < 20; ++copy) {
    records.take(6, record(3000, 100 + copy, ++marker), counts);
    expected.push_back(marker);
  }
  expected.push_back(8);
  EXPECT_EQ(counts.read, 28);
  EXPECT_EQ(counts.written, 25);
  EXPECT_EQ(counts.unselected, 2);
  EXPECT_EQ(counts.duplicates, 1);
  EXPECT_EQ(records.name_start(), 0.0);  // most records in hour 0, one after it: day 0
  EXPECT_EQ(records.last_epoch(), 4999.0);
  std::vector<double> order;
  records.write_sorted([&order](const OutputRecords::Held& held) {
    order.push_back(held.rinex[29]);
    return 0;
  });
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace kavril::nav

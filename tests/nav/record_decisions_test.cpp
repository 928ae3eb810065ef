// The records of one output that a RINEX input feeds: repeats and
// conflicts, the order of --sort and the records it gives back, the name's
// start as for broadcast messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nav/nav.h"
#include "rinex/rinex.h"

namespace kavril::nav {
namespace {

constexpr double kStart = 1'172'361'600.0;  // 2017-03-01 00:00 GPS time
constexpr int kLines = 8;
const int kSent = rinex::slot_of(kLines - 1, 0);  // the transmission time

// A record of satellite `sat` ("R05") at GPS time `gpsTime`, its epoch in
// the system's time, with `value` and `sent` in two of its slots.
rinex::Record record(const char* sat, double gpsTime, double value, double sent = 0.0) {
  rinex::Record r;
  EXPECT_TRUE(rinex::system_of_letter(sat[0], r.satellite.system));
  r.satellite.number = std::stoi(sat + 1);
  r.epoch = rinex::system_epoch(r.satellite.system, gpsTime);
  r.lines = kLines;
  r.messageText.assign("LNAV");
  r.set(0, value);
  r.set(rinex::slot_of(3, 2), -value * 1e-9);
  r.set(kSent, sent);
  return r;
}

std::string written(const rinex::Record& r) {
  return rinex::satellite_text(r.satellite) + "@" + std::to_string(static_cast<long>(rinex::gps_time(r) - kStart)) +
         "=" + std::to_string(r.value(0)) + "/" + std::to_string(r.value(rinex::slot_of(3, 2)) * -1e9) + "/" +
         std::to_string(r.value(kSent)) + (r.has(1) ? "+" : "") + std::string(r.text.view());
}

// --unique with --sort: a copy sent at another time is left out, one with
// other values kept and counted; the order G R E C J I S at one epoch, input
// order among equals, and every record given back as it was taken.
TEST(NavRecordDecisions, RepeatsConflictsAndTheOrderOfEverySystem) {
  Request request;
  request.selection.unique = request.selection.sort = true;
  RecordDecisions decisions(request);
  rinex::Record offset = record("G01", kStart + 30, 7);
  offset.kind = rinex::RecordKind::TimeOffset;
  offset.text.assign("GPUT  some source");
  std::vector<rinex::Record> input = {
      record("C01", kStart, 1),  record("J01", kStart, 2),     record("G05", kStart, 3),  record("E01", kStart, 4),
      record("R01", kStart, 5),  record("G05", kStart, 3, 60), record("G05", kStart, 6),  record("S120", kStart, 8),
      record("I01", kStart, 9),  record("G03", kStart, 10),    record("G05", kStart - 30, 11), offset,
      record("G05", kStart, 6)};
  // More conflicts of one key than a sort orders by insertion.
  for (int i = 0; i < 20; ++i) input.push_back(record("J02", kStart + 60, 100 + i));
  InputCounts counts;
  for (const rinex::Record& r : input) {
    const bool repeat = &r == &input[5] || &r == &input[12];
    EXPECT_EQ(decisions.take(r, counts), repeat ? RecordDecisions::Decision::LeaveOut : RecordDecisions::Decision::Hold)
        << written(r);
  }
  EXPECT_EQ(counts.read, 33);
  EXPECT_EQ(counts.written, 31);
  EXPECT_EQ(counts.duplicates, 2);
  EXPECT_EQ(counts.conflicts, 20);
  EXPECT_EQ(decisions.systems(), rinex::SystemSet::all());
  std::vector<std::string> order;
  EXPECT_EQ(decisions.write_held([&order](const rinex::Record& r) {
    order.push_back(written(r));
    return 0;
  }), 0);
  std::vector<std::string> expected;
  for (const std::size_t i : {10, 9, 2, 6, 4, 3, 0, 1, 8, 7, 11}) expected.push_back(written(input[i]));
  for (std::size_t i = 13; i < input.size(); ++i) expected.push_back(written(input[i]));
  EXPECT_EQ(order, expected);
  EXPECT_EQ(decisions.write_held([](const rinex::Record&) { return 5; }), 0);  // emptied
}

// The name's start and last epoch are those of broadcast messages at the
// same epochs (the hour of most, else the first busy day).
TEST(NavRecordDecisions, NamedAsBroadcastMessagesOfTheSameEpochs) {
  const std::vector<std::vector<double>> days = {
      {0, 600, 1200, 3000},                     // one hour
      {-7200, 0, 3600, 7200, 30000, 80000},     // the evening before, then the day
      {0, 40000, 86400, 120000, 172800 + 10},   // two days and a record of the third
      {3000, 3600, 3700, 3800}};                // an hour and one before it
  for (const auto& epochs : days) {
    Request request;
    RecordDecisions decisions(request);
    OutputRecords broadcast(request.selection);
    InputCounts counts;
    for (const double t : epochs) {
      RinexRecordArray message{};
      message[0] = message[12] = kStart + t;  // toc and toe in week 0
      EXPECT_EQ(broadcast.take(1, message, counts), OutputRecords::Decision::Write);
      EXPECT_EQ(decisions.take(record(t < 0 ? "R02" : "C02", kStart + t, 1), counts), RecordDecisions::Decision::Write);
    }
    EXPECT_EQ(decisions.name_start(), broadcast.name_start()) << epochs.size();
    EXPECT_EQ(decisions.last_epoch(), broadcast.last_epoch());
  }
}

}  // namespace
}  // namespace kavril::nav

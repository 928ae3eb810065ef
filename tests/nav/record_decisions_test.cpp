// The records of one output that a RINEX input feeds, decided by the
// options of a command line: the choice, repeats and conflicts, the order of
// --sort and the records it gives back.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "nav/nav.h"
#include "rinex/rinex.h"

namespace kavril::nav {
namespace {

constexpr double kNewYear = 1'167'264'018.0;  // 2017-01-01 00:00 UTC in GPS time, after a leap second

Request request_of(const std::string& args) {
  std::istringstream split("kavril " + args + " in.brd");
  std::vector<std::string> words{std::istream_iterator<std::string>(split), {}};
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  platform::set_command_line(static_cast<int>(argv.size()), argv.data());
  cli::DirectRun run;
  std::string error;
  EXPECT_TRUE(cli::parse_direct_run(run, error)) << args << ": " << error;
  return run.analyst;
}

// A record of `sat` ("S120") at `after` seconds of GPS time after kNewYear,
// its epoch in its system's time, with `value` first and `sent` last.
rinex::Record record(const char* sat, double after, double value = 0, double sent = 0) {
  rinex::Record r;
  EXPECT_TRUE(rinex::system_of_letter(sat[0], r.satellite.system));
  r.satellite.number = std::stoi(sat + 1);
  r.epoch = rinex::system_epoch(r.satellite.system, kNewYear + after);
  r.lines = 8;
  r.set(0, value);
  r.set(rinex::slot_of(7, 0), sent);  // the transmission time
  return r;
}

// The window at GLONASS (UTC) and BeiDou epochs a second inside and outside
// its ends (the UTC second before it, the leap second, has no epoch); systems
// and satellites by letter. Broadcast messages keep the GPS part of the same
// choice, and the run counts what it selects.
TEST(NavRecordDecisions, ChoiceOfTheCommandLineForEverySystem) {
  const struct {
    const char* args;
    std::vector<rinex::Record> kept, left;
  } cases[] = {
      {"--from 2017-01-01T00:00:18 --to 2017-01-01T01:00:18",
       {record("R01", 0), record("C01", 0), record("R01", 3599), record("C01", 3599), record("E01", 3599)},
       {record("R01", -2), record("C01", -1), record("R01", 3600), record("C01", 3600), record("G01", -1)}},
      {"--sys G,R,E --exclude-sys R", {record("G01", 0), record("E30", 0)}, {record("R01", 0), record("S120", 0)}},
      {"--sat R12,E01-E36,S120,5 --exclude-sat E02", {record("R12", 0), record("S120", 0), record("G05", 0)},
       {record("E02", 0), record("G06", 0), record("R11", 0)}},
      {"--exclude-sat R12", {record("G01", 0), record("R11", 0)}, {record("R12", 0)}},
      {"--exclude-sys G --sat G05,R05", {record("R05", 0)}, {record("G05", 0), record("R06", 0)}},
  };
  for (const auto& c : cases) {
    const Request request = request_of(c.args);
    EXPECT_TRUE(request.selection.active()) << c.args;
    RecordDecisions decisions(request);
    InputCounts counts;
    for (const rinex::Record& r : c.kept) EXPECT_EQ(decisions.take(r, counts), RecordDecisions::Decision::Write);
    for (const rinex::Record& r : c.left) EXPECT_EQ(decisions.take(r, counts), RecordDecisions::Decision::LeaveOut);
    EXPECT_EQ(counts.unselected, static_cast<long>(c.left.size())) << c.args;
    rinex::Record gps = record("G01", 0);
    for (int sat = 1; sat <= 99; ++sat) {
      gps.satellite.number = sat;
      EXPECT_EQ(request.selection.keeps_satellite(sat), request.records.keeps(gps, kNewYear)) << c.args << sat;
    }
  }
  EXPECT_FALSE(request_of("--sat 5 --exclude-sat G01-G03").selection.choosesSystems);
}

// --unique with --sort: a copy sent at another time is left out, one with
// other values kept and counted; the order G R E C J I S at one epoch, input
// order among equals (more than a sort orders by insertion), every record
// given back as it was taken; the name starts at the hour of most records.
TEST(NavRecordDecisions, RepeatsConflictsAndTheOrderOfEverySystem) {
  const Request request = request_of("--unique --sort");
  RecordDecisions decisions(request);
  std::vector<rinex::Record> input = {
      record("C01", 0, 1), record("J01", 0, 2), record("G05", 0, 3), record("E01", 0, 4), record("R01", 0, 5),
      record("G05", 0, 3, 60), record("G05", 0, 6), record("S120", 0, 8), record("I01", 0, 9), record("G03", 0, 10),
      record("G05", -30, 11), record("G05", 0, 6)};
  for (int i = 0; i < 20; ++i) input.push_back(record("J02", 60, 100 + i));
  input[1].text.assign("some text");
  InputCounts counts;
  for (const rinex::Record& r : input) decisions.take(r, counts);
  EXPECT_EQ(counts.duplicates, 2);
  EXPECT_EQ(counts.conflicts, 20);
  EXPECT_EQ(decisions.name_start(), kNewYear - 18);
  EXPECT_EQ(decisions.last_epoch(), kNewYear + 60);
  std::vector<std::size_t> expected = {10, 9, 2, 6, 4, 3, 0, 1, 8, 7};
  for (std::size_t i = 12; i < input.size(); ++i) expected.push_back(i);
  std::size_t next = 0;
  EXPECT_EQ(decisions.write_held([&](const rinex::Record& r) {
    const rinex::Record& in = input[expected[next++]];
    EXPECT_TRUE(r.satellite == in.satellite && r.epoch == in.epoch && r.given == in.given && r.values == in.values &&
                r.text.view() == in.text.view()) << next;
    return 0;
  }), 0);
  EXPECT_EQ(next, expected.size());
}

}  // namespace
}  // namespace kavril::nav

// The selection options of a command line, as the records of every system
// and the messages of broadcast files see them.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/platform.h"
#include "rinex/rinex.h"

namespace kavril::cli {
namespace {

DirectRun parsed(const std::string& args) {
  std::vector<std::string> words{"kavril"};
  std::istringstream split(args + " in.brd");
  for (std::string word; split >> word;) words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  platform::set_command_line(static_cast<int>(argv.size()), argv.data());
  DirectRun run;
  std::string error;
  EXPECT_TRUE(parse_direct_run(run, error)) << args << ": " << error;
  platform::set_command_line(1, argv.data());
  return run;
}

// "R12 2016-12-31 23:59:43": satellite and epoch in the system's own time.
rinex::Record record(const char* text) {
  rinex::Record r;
  char letter = 0;
  int number = 0;
  rinex::Epoch& e = r.epoch;
  EXPECT_EQ(std::sscanf(text, "%c%d %d-%d-%d %d:%d:%lf", &letter, &number, &e.year, &e.month, &e.day, &e.hour,
                        &e.minute, &e.second), 8) << text;
  EXPECT_TRUE(rinex::system_of_letter(letter, r.satellite.system)) << text;
  r.satellite.number = number;
  return r;
}

// The window at GLONASS (UTC, a leap second at its end) and BeiDou epochs a
// second inside and outside its ends; systems and satellites by letter. The
// messages of broadcast files keep the GPS part of the same choice, and the
// run counts what it selects.
TEST(AnalystOptions, SelectionOfEverySystemAndItsGpsPart) {
  const struct {
    const char* args;
    std::vector<const char*> kept, left;
  } cases[] = {
      {"--from 2017-01-01 --to 2017-01-01T01:00",
       {"R01 2016-12-31 23:59:43", "C01 2016-12-31 23:59:46", "R01 2017-01-01 00:59:41", "C01 2017-01-01 00:59:45",
        "E01 2017-01-01 00:59:59"},
       {"R01 2016-12-31 23:59:42", "C01 2016-12-31 23:59:45", "R01 2017-01-01 00:59:42", "C01 2017-01-01 00:59:46",
        "G01 2016-12-31 23:59:59"}},
      {"--sys G,R,E --exclude-sys R --exclude-sat G07", {"G01", "E30"}, {"R01", "C01", "S120", "G07"}},
      {"--sat R12,E01-E36,S120,5 --exclude-sat E02", {"R12", "E01", "E36", "S120", "G05"}, {"E02", "G06", "R11"}},
      {"--exclude-sat R12", {"G01", "R11"}, {"R12"}},
      {"--sys R", {"R01"}, {"G01", "E01"}},
      {"--exclude-sys G --sat G05,R05", {"R05"}, {"G05", "R06"}},
      {"--sat 5,G07-9", {"G05", "G09"}, {"G06", "R05"}},
  };
  for (const auto& c : cases) {
    const DirectRun run = parsed(c.args);
    const nav::Request& a = run.analyst;
    EXPECT_TRUE(a.selection.active()) << c.args;
    for (const auto& [texts, kept] : {std::pair{c.kept, true}, std::pair{c.left, false}}) {
      for (const char* text : texts) {
        std::string full = text;
        if (full.find(' ') == std::string::npos) full += " 2017-01-01 0:0:0";
        const rinex::Record r = record(full.c_str());
        EXPECT_EQ(a.records.keeps(r, rinex::gps_time(r)), kept) << c.args << ": " << full;
      }
    }
    rinex::Record gps = record("G01 2017-01-01 0:0:0");
    for (int sat = 1; sat <= 99; ++sat) {
      gps.satellite.number = sat;
      EXPECT_EQ(a.selection.keeps_satellite(sat), a.records.keeps(gps, a.records.from)) << c.args << " G" << sat;
    }
  }
  EXPECT_FALSE(parsed("--sat 5 --exclude-sat G01-G03").analyst.selection.choosesSystems);
}

}  // namespace
}  // namespace kavril::cli

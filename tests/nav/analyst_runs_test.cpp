// Direct runs that select, merge, name, check and compress, on the bundled
// IGS days: every result is compared with what the test computes itself
// from the records of plain conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/rinex_columns.h"
#include "support/support.h"

namespace kavril {
namespace {

namespace fs = std::filesystem;

const std::string kEndOfHeader = std::string(60, ' ') + "END OF HEADER";

// One record of a RINEX 2.11 file: its eight lines and what the test orders
// and compares it by.
struct Record {
  std::string text;
  long long epoch;  // seconds since 1 January 2000, from the record's own fields
  int sat;
  double iode;
  double health;
};

long long days_from_civil(int y, int m, int d) {  // days since 1970-01-01
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

std::vector<Record> records_of(const std::string& text) {
  const std::vector<std::string> lines = test::lines_of(text);
  std::size_t i = 0;
  while (i < lines.size() && lines[i].rfind(kEndOfHeader, 0) != 0) ++i;
  std::vector<Record> records;
  for (++i; i + 8 <= lines.size(); i += 8) {
    const std::vector<double> f = test::record_fields(lines, i, 2);
    Record r;
    for (std::size_t k = i; k < i + 8; ++k) r.text += lines[k] + "\n";
    r.sat = static_cast<int>(f[0]);
    r.epoch = (days_from_civil(2000 + static_cast<int>(f[1]), static_cast<int>(f[2]), static_cast<int>(f[3])) -
               days_from_civil(2000, 1, 1)) * 86400 + static_cast<long long>(f[4] * 3600 + f[5] * 60 + f[6]);
    r.iode = f[10];
    r.health = f[31];
    records.push_back(r);
  }
  return records;
}

long long at(int day, int hour, int minute = 0, int second = 0) {  // day of July 2010
  return (days_from_civil(2010, 7, day) - days_from_civil(2000, 1, 1)) * 86400 + hour * 3600 + minute * 60 + second;
}

class AnalystRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* day : {"brdc1820.brd", "brdc1830.brd", "30400920.brd", "30400920.05o", "30400920.05n"})
      fs::copy_file(test::data_dir() / "igs" / day, dir.path() / day);
    fs::create_directory(dir.path() / "out");
  }
  int run(const std::string& args) {
    return test::run_kavril(dir.path(), args, dir.path() / "stdout", dir.path() / "stderr");
  }
  std::string file(const std::string& name) { return test::read_file(dir.path() / name); }
  std::vector<Record> converted(const std::string& args, const std::string& output = "out/x.rnx") {
    EXPECT_EQ(run("-r 2 -o " + output + " " + args), 0) << file("stderr");
    return records_of(file(output));
  }
  std::string stderrText() { return file("stderr"); }
  test::ScratchDir dir;
};

std::vector<std::string> texts(const std::vector<Record>& records) {
  std::vector<std::string> t;
  for (const Record& r : records) t.push_back(r.text);
  return t;
}

// --from/--to at message epochs and between them, --sat and --exclude-sat:
// the records written are those of the whole conversion that the test's
// own reading of their epochs and satellites selects; the report counts.
TEST_F(AnalystRuns, SelectionKeepsExactlyTheRecordsOfTheWindowAndSatellites) {
  const std::vector<Record> whole = converted("brdc1820.brd brdc1830.brd");
  ASSERT_EQ(whole.size(), 843u);
  const struct {
    std::string args;
    long long from, to;
    std::set<int> sats;  // empty: all
  } cases[] = {
      {"--from 2010-07-01T02:00 --to 2010-07-01T04:00", at(1, 2), at(1, 4), {}},
      {"--from 2010-07-01T01:59:44 --to 2010-07-01T02:00:00", at(1, 1, 59, 44), at(1, 2), {}},
      {"--from '2010-07-01 23:30' --to 2010-07-02T00:30", at(1, 23, 30), at(2, 0, 30), {}},
      {"--to 2010-07-01T12:00 --sat G05,7-9", 0, at(1, 12), {5, 7, 8, 9}},
      {"--exclude-sat 1-30 --exclude-sat G32", 0, at(9, 0), {31}},
      {"--sat 1-3 --exclude-sat 2 --from 2010-07-02", at(2, 0), at(9, 0), {1, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    std::vector<Record> expected;
    long outside1 = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      const Record& r = whole[i];
      const bool kept = r.epoch >= c.from && r.epoch < c.to && (c.sats.empty() || c.sats.count(r.sat) != 0);
      if (kept) expected.push_back(r);
      if (!kept && i < 421) ++outside1;
    }
    EXPECT_EQ(texts(converted(c.args + " brdc1820.brd brdc1830.brd")), texts(expected));
    EXPECT_NE(stderrText().find("brdc1820.brd                      out/x.rnx                           421" +
                                test::mask_volatile("") +
                                std::string(9 - std::to_string(421 - outside1).size(), ' ') +
                                std::to_string(421 - outside1)),
              std::string::npos)
        << stderrText();
  }
}

// --sort --unique on a merge that repeats a whole day: the records are the
// test's own stable sort by epoch and satellite of the plain merge, the
// repeated messages (satellite, epoch, IODE) left out after the first.
TEST_F(AnalystRuns, SortUniqueEqualsTheTestsOwnOrderingAndDeduplication) {
  const std::vector<Record> plain = converted("brdc1830.brd brdc1820.brd brdc1830.brd");
  std::vector<Record> expected;
  std::set<std::tuple<int, long long, double>> seen;
  for (const Record& r : plain)
    if (seen.insert({r.sat, r.epoch, r.iode}).second) expected.push_back(r);
  std::stable_sort(expected.begin(), expected.end(),
                   [](const Record& a, const Record& b) { return std::tie(a.epoch, a.sat) < std::tie(b.epoch, b.sat); });
  EXPECT_EQ(texts(converted("--sort --unique brdc1830.brd brdc1820.brd brdc1830.brd")), texts(expected));
  EXPECT_NE(stderrText().find("    3  brdc1830.brd                      out/x.rnx                           422        0"
                              "        0       422"),
            std::string::npos)
      << stderrText();
  // Without --sort the first of the repeated messages stays where it was.
  std::vector<Record> firstKept;
  seen.clear();
  for (const Record& r : plain)
    if (seen.insert({r.sat, r.epoch, r.iode}).second) firstKept.push_back(r);
  EXPECT_EQ(texts(converted("--unique brdc1830.brd brdc1820.brd brdc1830.brd")), texts(firstKept));
}

// Every name form of -n: versions 1, 2.11 and 3.04, one day, a merge of two
// days, a window of one hour and one spanning midnight, --source, -z, -d;
// two outputs that would get one name: the second is not written, the
// outputs after it are, and the run ends with status 1.
TEST_F(AnalystRuns, StandardNamesFromTheRecordsOfEachOutput) {
  const struct {
    std::string args;
    std::vector<std::string> names;
  } cases[] = {
      {"-r 1 -n BRDC brdc1820.brd brdc1830.brd", {"brdc1820.10n", "brdc1830.10n"}},
      {"-r 2 -n brdcXYZ -d out brdc1830.brd", {"out/brdc1830.10n"}},
      {"-r 3 -n BRDC00ORL -d out brdc1820.brd", {"out/BRDC00ORL_U_20101820000_01D_GN.rnx"}},
      {"-r 3 -n BRDC00ORL --source R -m -d out brdc1820.brd brdc1830.brd", {"out/BRDC00ORL_R_20101820000_02D_GN.rnx"}},
      // The period runs to the latest epoch, not to the last record written.
      {"-r 3 -n BRDC00ORL -m brdc1830.brd brdc1820.brd", {"BRDC00ORL_U_20101820000_02D_GN.rnx"}},
      // 4 records from 23:00, 30 from 00:00: the hour of most of them.
      {"-r 3 -n BRDC00ORL -m -z --from 2010-07-01T23:00 --to 2010-07-02T01:00 brdc1820.brd brdc1830.brd",
       {"BRDC00ORL_U_20101830000_01H_GN.rnx.gz"}},
      {"-r 3 -n BRDC00ORL --source S --from 2010-07-02T10:00 --to 2010-07-02T11:00 -d out brdc1830.brd",
       {"out/BRDC00ORL_S_20101831000_01H_GN.rnx"}},
      // The station day begins with messages of the evening before: named
      // after its own day, the period running to the next morning.
      {"-r 2 -n ABCD -z 30400920.brd", {"abcd0920.05n.gz"}},
      {"-r 3 -n ABCD00ORL 30400920.brd", {"ABCD00ORL_U_20050920000_02D_GN.rnx"}},
      {"-r 4 --leap-seconds 17 -n BRDC00ORL -m -z --sort --unique -d out brdc1830.brd brdc1820.brd",
       {"out/BRDC00ORL_U_20101820000_02D_GN.rnx.gz"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    ASSERT_EQ(run(c.args), 0) << stderrText();
    for (const std::string& name : c.names) {
      EXPECT_TRUE(fs::exists(dir.path() / name)) << name;
      EXPECT_NE(stderrText().find(" RINEX file named " + name + "\n"), std::string::npos) << stderrText();
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
      EXPECT_EQ(entry.path().filename().string().find("kavril"), std::string::npos) << entry.path();
    if (c.args.starts_with("-r 4")) {  // sorted from the first day's first record, the leap seconds given
      ASSERT_EQ(test::run_command("gzip -dc '" + (dir.path() / c.names.front()).string() + "' > '" +
                                  (dir.path() / "plain").string() + "'"), 0);
      const std::string text = file("plain");
      EXPECT_EQ(text.substr(81 * 3, 81 * 2 + 15 + 23), "    17" + std::string(54, ' ') + "LEAP SECONDS        \n" +
                                                          std::string(60, ' ') + "END OF HEADER       \n" +
                                                          "> EPH G01 LNAV\nG01 2010 07 01 00 00 00");
    }
    for (const std::string& name : c.names) fs::remove(dir.path() / name);
  }
  fs::copy_file(dir.path() / "brdc1820.brd", dir.path() / "again.brd");
  EXPECT_EQ(run("-r 2 -n BRDC -d out brdc1820.brd again.brd brdc1830.brd"), 1);
  EXPECT_NE(stderrText().find("\nkavril: out/brdc1820.10n: an earlier output of this run has this name, "
                              "not written\n"),
            std::string::npos)
      << stderrText();
  EXPECT_EQ(stderrText().find("incomplete"), std::string::npos) << stderrText();
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.path() / "out")) left.insert(entry.path().filename());
  EXPECT_EQ(left, (std::set<std::string>{"brdc1820.10n", "brdc1830.10n"}));
  EXPECT_EQ(records_of(file("out/brdc1820.10n")).size(), 421u);
  // A standard name that is an input of the run: refused, the input intact.
  fs::copy_file(dir.path() / "brdc1820.brd", dir.path() / "brdc1820.10n");
  EXPECT_EQ(run("-r 2 -n BRDC brdc1820.10n"), 1);
  EXPECT_NE(stderrText().find("kavril: brdc1820.10n: the standard name is a file of this run, not written"),
            std::string::npos);
  EXPECT_EQ(file("brdc1820.10n"), file("brdc1820.brd"));
}

// --check: per satellite the counts of the test's own reading, the JSON
// document read by a JSON parser, the SVG read by an XML parser; a file
// holding its messages twice has them all as duplicates, out of order.
TEST_F(AnalystRuns, CheckCountsTableJsonAndPicture) {
  const std::vector<Record> day = converted("brdc1820.brd");
  std::string twice = file("brdc1820.brd");
  twice += twice.substr(twice.find('\n') + 1);
  test::write_file(dir.path() / "twice.brd", twice);
  ASSERT_EQ(run("--check brdc1820.brd twice.brd"), 0) << stderrText();
  const std::string table = file("stdout");
  EXPECT_NE(table.find(" G01     14  2010-07-01 00:00:00  2010-07-01 22:00:00      2:00:00         13           0"
                       "             0\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find(" ALL    842  2010-07-01 00:00:00  2010-07-01 23:59:44"), std::string::npos) << table;

  ASSERT_EQ(run("--check --json --plot out/p.svg brdc1820.brd twice.brd"), 0) << stderrText();
  const nlohmann::json json = nlohmann::json::parse(file("stdout"));
  ASSERT_EQ(json["files"].size(), 2u);
  std::map<std::string, long> perSatellite;
  for (const Record& r : day) ++perSatellite[(r.sat < 10 ? "G0" : "G") + std::to_string(r.sat)];
  for (const auto& s : json["files"][0]["satellites"]) {
    EXPECT_EQ(s["messages"].get<long>(), perSatellite[s["satellite"].get<std::string>()]) << s;
    perSatellite.erase(s["satellite"].get<std::string>());
  }
  EXPECT_TRUE(perSatellite.empty());
  const auto& totals = json["files"][1]["totals"];
  EXPECT_EQ(totals["messages"], 842);
  EXPECT_EQ(totals["duplicates"], 421);
  EXPECT_EQ(totals["out_of_order"], json["files"][1]["satellites"].size());
  EXPECT_EQ(json["files"][1]["complete"], true);
  EXPECT_EQ(json["files"][0]["satellites"][0]["first_epoch"], "2010-07-01T00:00:00");
  if (std::system("command -v xmllint > /dev/null 2>&1") == 0) {
    EXPECT_EQ(test::run_command("xmllint --noout '" + (dir.path() / "out/p.svg").string() + "'"), 0);
  }
  EXPECT_EQ(file("out/p.svg").find("<svg xmlns=\"http://www.w3.org/2000/svg\""), 39u);

  // The picture may not replace an input.
  EXPECT_EQ(run("--check --plot twice.brd brdc1820.brd twice.brd"), 1);
  EXPECT_EQ(file("twice.brd"), twice);

  // A broken file: reported as in a conversion, status 1, the JSON document
  // still printed with that file incomplete.
  test::write_file(dir.path() / "bad.brd", twice.substr(0, 5000));
  EXPECT_EQ(run("--check --json brdc1820.brd bad.brd"), 1);
  EXPECT_EQ(nlohmann::json::parse(file("stdout"))["files"][1]["complete"], false);
  EXPECT_NE(stderrText().find("bad.brd"), std::string::npos);
}

// The check of files made of the day's messages (one moved after the others,
// one repeated at once, hours of one satellite left out), with and without a
// selection: the JSON document is the test's own count of the messages, with
// the keys of the documented schema; --strict exits 2 exactly when something
// was found; the picture marks exactly the gaps over 4 hours, the same on
// standard output (--plot -), and names seven long inputs by their count.
TEST_F(AnalystRuns, CheckOfChangedDaysEqualsTheTestsOwnCounts) {
  const std::vector<Record> day = converted("brdc1820.brd");
  const std::vector<std::string> lines = test::lines_of(file("brdc1820.brd"));
  std::map<int, std::vector<std::size_t>> ofSat;
  std::vector<std::size_t> all, moved, repeated, thinned;
  for (std::size_t i = 0; i < day.size(); ++i) ofSat[day[i].sat].push_back(i);
  for (std::size_t i = 0; i < day.size(); ++i) {
    all.push_back(i);
    if (i != ofSat[5][8]) moved.push_back(i);
    repeated.insert(repeated.end(), i == ofSat[6][3] ? 2 : 1, i);
    if (day[i].sat != 7 || day[i].epoch < at(1, 6) || day[i].epoch >= at(1, 12)) thinned.push_back(i);
  }
  moved.push_back(ofSat[5][8]);
  const std::string noUnhealthy = "--exclude-sat 1,25 ";
  const struct { std::string args; const std::vector<std::size_t>& order; long long from = 0, to = at(9, 0); } rows[] = {
      {"", all}, {noUnhealthy, all}, {noUnhealthy + "--from 2010-07-01T06:00 --to 2010-07-01T18:00", all, at(1, 6), at(1, 18)},
      {noUnhealthy, moved}, {noUnhealthy, repeated}, {noUnhealthy, thinned}};
  const auto iso = [](long long e) {  // of July 2010
    char text[64];
    std::snprintf(text, sizeof text, "2010-07-%02lldT%02lld:%02lld:%02lld", 1 + (e - at(1, 0)) / 86400, e % 86400 / 3600,
                  e % 3600 / 60, e % 60);
    return std::string(text);
  };
  test::write_file(dir.path() / "out/p.svg", "\xEF\xBB\xBF \n<svg/>\n");  // a picture, replaced
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args + std::to_string(row.order.size()));
    std::string text = lines[0] + "\n";
    for (const std::size_t i : row.order)
      for (std::size_t k = 1 + 11 * i; k < 12 + 11 * i; ++k) text += lines[k] + "\n";
    test::write_file(dir.path() / "changed.brd", text);
    const int status = run("--check --strict --json --plot out/p.svg " + row.args + " changed.brd");
    std::map<int, std::vector<long long>> epochs;
    std::map<int, long> unhealthy, duplicates, outOfOrder;
    std::set<std::tuple<int, long long, double>> seen;
    for (const std::size_t i : row.order) {
      const Record& r = day[i];
      if ((!row.args.empty() && (r.sat == 1 || r.sat == 25)) || r.epoch < row.from || r.epoch >= row.to) continue;
      outOfOrder[r.sat] += !epochs[r.sat].empty() && r.epoch < epochs[r.sat].back();
      duplicates[r.sat] += !seen.insert({r.sat, r.epoch, r.iode}).second;
      unhealthy[r.sat] += r.health != 0;
      epochs[r.sat].push_back(r.epoch);
    }
    nlohmann::json satellites = nlohmann::json::array();
    long gaps = 0, found = 0;
    for (auto& [sat, e] : epochs) {
      std::sort(e.begin(), e.end());
      long long longest = 0;
      for (std::size_t k = 1; k < e.size(); ++k) {
        longest = std::max(longest, e[k] - e[k - 1]);
        gaps += e[k] - e[k - 1] > 4 * 3600;
      }
      found += gaps + unhealthy[sat] + duplicates[sat] + outOfOrder[sat];
      satellites.push_back({{"satellite", (sat < 10 ? "G0" : "G") + std::to_string(sat)}, {"messages", e.size()},
                            {"first_epoch", iso(e.front())}, {"last_epoch", iso(e.back())}, {"longest_gap_s", longest},
                            {"unhealthy", unhealthy[sat]}, {"duplicates", duplicates[sat]}, {"out_of_order", outOfOrder[sat]}});
    }
    // The document's schema: the file's keys, each satellite's, and the totals' (a satellite's and their count).
    nlohmann::json checked = nlohmann::json::parse(file("stdout"))["files"][0], totals = checked["totals"];
    EXPECT_EQ(checked.erase("totals"), 1u);
    EXPECT_EQ(checked, nlohmann::json({{"file", "changed.brd"}, {"complete", true}, {"satellites", satellites}}));
    for (const auto& [key, value] : satellites[0].items()) EXPECT_EQ(totals.erase(key), key != "satellite") << key;
    EXPECT_EQ(totals, nlohmann::json({{"satellites", epochs.size()}}));
    EXPECT_EQ(status, found != 0 ? 2 : 0) << stderrText();
    const std::string svg = file("out/p.svg");
    const std::regex gapColour("#ff9f1c");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), gapColour), {}), gaps + 1);  // + legend
  }
  EXPECT_EQ(run("--check --plot - " + noUnhealthy + "changed.brd"), 0);
  EXPECT_EQ(file("stdout"), file("out/p.svg"));
  for (const char* k : {"1", "2", "3", "4", "5", "6", "7"})
    fs::copy_file(dir.path() / "changed.brd", dir.path() / ("changed-" + std::string(20, 'x') + k + ".brd"));
  ASSERT_EQ(run("--check --plot - changed-*.brd"), 0);
  const std::size_t title = file("stdout").find("Broadcast messages per satellite: 7 files, changed-");
  EXPECT_LE(file("stdout").find('<', title) - title - 1, 130u);  // no such title: npos - npos - 1
}

// A .gz output, also standard output with -z, decompresses to the plain file.
TEST_F(AnalystRuns, CompressedOutputDecompressesToThePlainFile) {
  ASSERT_EQ(run("-o out/plain.rnx brdc1820.brd brdc1830.brd"), 0);
  ASSERT_EQ(run("-o out/packed.rnx.gz brdc1820.brd brdc1830.brd"), 0);
  ASSERT_EQ(run("-z -o - brdc1820.brd brdc1830.brd"), 0);
  const std::string d = "cd '" + dir.path().string() + "' && ";
  ASSERT_EQ(test::run_command(d + "gzip -dc out/packed.rnx.gz > out/a && gzip -dc stdout > out/b"), 0);
  const std::string plain = test::mask_volatile(file("out/plain.rnx"));
  EXPECT_EQ(test::mask_volatile(file("out/a")), plain);
  EXPECT_EQ(test::mask_volatile(file("out/b")), plain);
  ASSERT_EQ(run("-z -d out brdc1820.brd"), 0);
  EXPECT_TRUE(fs::exists(dir.path() / "out/brdc1820.rnx.gz"));
}

// A GNSS client computes the same positions with a window covering the
// observations as with the whole navigation file.
TEST_F(AnalystRuns, GnssClientComputesTheSamePositionsWithAWindow) {
  if (std::system("command -v rnx2rtkp > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "rnx2rtkp is not installed (Debian package rtklib): the positions were NOT compared";
  }
  const auto positions = [&](const std::string& nav) {
    EXPECT_EQ(test::run_command("cd '" + dir.path().string() + "' && rnx2rtkp -p 0 30400920.05o " + nav +
                                " -o pos.txt > /dev/null 2>&1"), 0);
    std::vector<std::string> lines;
    for (const auto& line : test::lines_of(file("pos.txt")))
      if (line.rfind('%', 0) != 0) lines.push_back(line);
    return lines;
  };
  ASSERT_EQ(run("-r 2 -o whole.nav 30400920.brd"), 0);
  ASSERT_EQ(run("-r 2 --from 2005-04-01T22:00 --to 2005-04-02T03:00 -o window.nav 30400920.brd"), 0);
  EXPECT_LT(records_of(file("window.nav")).size(), records_of(file("whole.nav")).size() / 2);
  const auto whole = positions("whole.nav");
  EXPECT_EQ(whole.size(), 115u);
  EXPECT_EQ(positions("window.nav"), whole);
}

// Faulty command lines write nothing but what is wrong and the usage.
TEST_F(AnalystRuns, UsageErrorsWriteNothing) {
  const struct {
    const char* args;
    const char* error;
  } cases[] = {
      {"--from 2010-07-32 brdc1820.brd", "--from needs a date"},
      {"--to 2010-07-01T25:00 brdc1820.brd", "--to needs a date"},
      {"--from 2010-07-02 --to 2010-07-02 brdc1820.brd", "--to must be after --from"},
      {"--sat 0 brdc1820.brd", "--sat: satellite must be"},
      {"--exclude-sat 5,,6 brdc1820.brd", "--exclude-sat: satellite must be"},
      {"--sat E05-R07 brdc1820.brd", "--sat: satellite must be"},
      {"--sys G,X brdc1820.brd", "--sys: system must be one of the letters G, R, E, C, J, I, S: \"X\""},
      {"--exclude-sys , brdc1820.brd", "--exclude-sys: system must be"},
      {"--sys G,E --exclude-sys E,G brdc1820.brd", "--sys and --exclude-sys leave no system"},
      {"-r 3 -n BRDC brdc1820.brd", "-n: RINEX 3 name ID"},
      {"-r 2 -n BR brdc1820.brd", "-n: the ID must begin with 4"},
      {"-n BRDC00ORL -o x.rnx brdc1820.brd", "-o and -n cannot be given together"},
      {"-m -o x.rnx brdc1820.brd", "-m needs -n"},
      {"--source X -n BRDC00ORL brdc1820.brd", "--source must be R, S or U"},
      {"--source R brdc1820.brd", "--source needs -n"},
      {"--json brdc1820.brd", "--json, --plot and --strict need --check"},
      {"--strict brdc1820.brd", "--json, --plot and --strict need --check"},
      {"--check -o x brdc1820.brd", "--check writes no RINEX file"},
      {"--check --sort brdc1820.brd", "--check writes no RINEX file to order"},
      {"--check --from 2010-07-02 --to 2010-07-01 brdc1820.brd", "--to must be after --from"},
      {"--check --plot days.png brdc1820.brd", "--plot needs a file name ending in .svg"},
      {"--check --json --plot - brdc1820.brd", "--plot - writes the picture to standard output, where --json"},
      {"--check --plot old.SVG brdc1820.brd", "old.SVG: not an SVG picture, not overwritten"},
  };
  test::write_file(dir.path() / "old.SVG", "\n\n<data/>\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(run(c.args), 1);
    EXPECT_EQ(stderrText().rfind(std::string("kavril: ") + c.error, 0), 0u) << stderrText();
    EXPECT_EQ(file("stdout"), "");
    EXPECT_TRUE(fs::is_empty(dir.path() / "out"));
    EXPECT_FALSE(fs::exists(dir.path() / "brdc1820.rnx"));
  }
  EXPECT_EQ(file("old.SVG"), "\n\n<data/>\n");
}

}  // namespace
}  // namespace kavril

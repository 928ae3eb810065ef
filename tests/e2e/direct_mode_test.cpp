// Runs from options and broadcast files: each writes what the keyword file
// with the same keywords writes, every message is one plain line, and a
// faulty command line writes nothing but what is wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/support.h"

namespace fs = std::filesystem;

namespace kavril::test {
namespace {

const fs::path kCases = KAVRIL_E2E_ROOT "/cases";

// A folder with the bundled broadcast files in data/ (and brdc1820.gz, the
// first compressed), the constants file and an empty folder out/.
void prepare(const fs::path& dir) {
  fs::copy(kCases / "bundled_example/run/data", dir / "data");
  fs::copy(kCases / "bundled_example/run/CONST", dir / "CONST");
  fs::create_directory(dir / "out");
  run_command("gzip -c '" + (dir / "data/brdc1820.brd").string() + "' > '" + (dir / "data/brdc1820.gz").string() + "'");
}

int run(const fs::path& dir, const std::string& args, const std::string& input = "/dev/null") {
  return run_command("cd '" + dir.string() + "' && '" KAVRIL_BINARY "' " + args + " < " + input +
                     " > stdout 2> stderr");
}

struct Example {
  std::string args;
  std::string keywords;                // beside BRDFIL and CONST
  std::vector<std::string> outputs;    // RINEX files written (direct run, keyword run)
  std::string keywordOutput;           // keyword run's name for an output "stdout"
};

TEST(DirectMode, WritesWhatTheKeywordFileWithTheSameKeywordsWrites) {
  const std::string twoDays = "BRDFIL 2\n\"data/brdc1820.brd\"\n\"data/brdc1830.brd\"\n";
  const std::string oneDay = "BRDFIL 1 \"data/brdc1820.brd\"\n";
  const Example examples[] = {
      {"-r 3 -a 'EXAMPLE AGENCY' -o ALL.rnx data/brdc1820.brd data/brdc1830.brd",
       twoDays + "RXNFIL 1 \"ALL.rnx\"\nRXNVER 1 \"3\"\nRUNBY 1 \"EXAMPLE AGENCY\"\n", {"ALL.rnx"}, ""},
      {"data/brdc1820.brd -c CONST -r 2.11 data/brdc1830.brd -d out",
       twoDays + "BRDFIL_PTH_COL_2 1 \"out/\"\nBRDFIL_EXT_COL_2 1 \"rnx\"\nRXNFIL 0\nRXNVER 1 \"2\"\nRUNBY 0\n",
       {"out/brdc1820.rnx", "out/brdc1830.rnx"}, ""},
      {"-r 3 data/brdc1820.brd", oneDay + "RXNFIL 1 \"data/brdc1820.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n",
       {"data/brdc1820.rnx"}, ""},
      {"-r1 -e 10N data/brdc1820.brd", oneDay + "RXNFIL 1 \"data/brdc1820.10N\"\nRUNBY 0\n", {"data/brdc1820.10N"}, ""},
      {"-q --rinex=3.04 -o - -", oneDay + "RXNFIL 1 \"day.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n", {"stdout"}, "day.rnx"},
      // The first command: a broadcast file alone, standard input alone or
      // after an option (to standard output), a compressed file.
      {"data/brdc1820.brd", oneDay + "RXNFIL 1 \"data/brdc1820.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n",
       {"data/brdc1820.rnx"}, ""},
      {"-", oneDay + "RXNFIL 1 \"day.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n", {"stdout"}, "day.rnx"},
      {"-r 2 -", oneDay + "RXNFIL 1 \"day.rnx\"\nRXNVER 1 \"2\"\nRUNBY 0\n", {"stdout"}, "day.rnx"},
      {"data/brdc1820.gz -o ALL.rnx", oneDay + "RXNFIL 1 \"ALL.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n", {"ALL.rnx"}, ""},
      {"-r 4 -o ALL.rnx data/brdc1820.brd data/brdc1830.brd",
       twoDays + "RXNFIL 1 \"ALL.rnx\"\nRXNVER 1 \"4.00\"\nRUNBY 0\n", {"ALL.rnx"}, ""},
      {"-q -r 4.00 -o - -", oneDay + "RXNFIL 1 \"day.rnx\"\nRXNVER 1 \"4\"\nRUNBY 0\n", {"stdout"}, "day.rnx"},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.args);
    ScratchDir direct, keyword;
    prepare(direct.path());
    prepare(keyword.path());
    write_file(keyword.path() / "input.inp", "CONST 1 \"CONST\"\n" + example.keywords);
    ASSERT_EQ(run(direct.path(), example.args, "data/brdc1820.brd"), 0) << read_file(direct.path() / "stderr");
    ASSERT_EQ(run(keyword.path(), "input.inp"), 0) << read_file(keyword.path() / "stdout");
    for (const std::string& name : example.outputs) {
      const std::string written = mask_volatile(read_file(direct.path() / name));
      EXPECT_NE(written, "") << name;
      const std::string keywordName = name == "stdout" ? example.keywordOutput : name;
      EXPECT_EQ(written, mask_volatile(read_file(keyword.path() / keywordName))) << name;
    }
    if (example.outputs.front() != "stdout") {
      EXPECT_EQ(read_file(direct.path() / "stdout"), "");
      EXPECT_NE(read_file(direct.path() / "stderr").find(" FILE  ORLANIC BROADCAST FILE NAME"), std::string::npos);
    }
    if (example.outputs.front() == "stdout") {
      EXPECT_EQ(read_file(direct.path() / "stderr").find("kavril:"), std::string::npos);
    }
    if (example.args.starts_with("-q")) {
      EXPECT_EQ(read_file(direct.path() / "stderr"), "");
    }
  }
}

// Standard input redirected from a file is a file of the run like any input.
TEST(DirectMode, RefusesToWriteOverTheFileOnStandardInput) {
  ScratchDir scratch;
  prepare(scratch.path());
  const std::string input = read_file(scratch.path() / "data/brdc1820.brd");
  EXPECT_EQ(run(scratch.path(), "-o data/brdc1820.brd -", "data/brdc1820.brd"), 1);
  const std::string report = read_file(scratch.path() / "stderr");
  EXPECT_NE(report.find("\nkavril: data/brdc1820.brd: not written: it would overwrite -, a file of this run\n"),
            std::string::npos) << report;
  EXPECT_EQ(read_file(scratch.path() / "data/brdc1820.brd"), input);
}

// A quiet run still shows its errors, in order with the rest of the report;
// a run started with standard output and error closed writes no line of its
// report into a RINEX file that took their numbers.
TEST(DirectMode, ErrorsAlwaysShowAndReportsNeverStrayIntoRinexFiles) {
  ScratchDir scratch;
  prepare(scratch.path());
  for (const std::string quiet : {"-q ", ""}) {
    EXPECT_EQ(run(scratch.path(), quiet + "-r 3 data/missing.brd"), 1);
    const std::string report = read_file(scratch.path() / "stderr");
    const std::size_t error = report.find("kavril: data/missing.brd: No such file or directory\n");
    EXPECT_NE(error, std::string::npos) << report;
    if (quiet.empty()) {
      EXPECT_LT(error, report.find(">>> Program ended")) << report;
    }
  }
  EXPECT_EQ(run_command("cd '" + scratch.path().string() + "' && '" KAVRIL_BINARY "' -d out data/*.brd >&- 2>&-"), 0);
  EXPECT_EQ(read_file(scratch.path() / "out/brdc1830.rnx").find("brdc18"), std::string::npos);
}

// Every message of a direct run is one line "kavril: ..." on standard error,
// in the order of the run; `files` hold what they say afterwards.
TEST(DirectMode, MessagesArePlainLines) {
  const std::string day = "data/brdc1820.brd";
  struct Case {
    std::string setup, args;
    int status;
    std::string messages;                                // the "kavril:" lines
    std::vector<std::pair<std::string, std::string>> files;  // name, contents ("?": any, "=NAME": as NAME)
    std::string input = "/dev/null";                         // standard input
  };
  // Endings of a broadcast file that end its messages as the file itself
  // does, also where a left-out satellite's blocks are passed over.
  const auto endsAsPlain = [&day](const std::string& variant, const std::string& options) {
    return Case{"'" KAVRIL_BINARY "' " + options + " -o plain.rnx " + day + "; " + variant + " > b.brd",
                options + " -o b.rnx b.brd", 0, "", {{"b.rnx", "=plain.rnx"}}};
  };
  const std::string nav = KAVRIL_TEST_DATA "/rinex-nav/brdc3050.12n";
  const std::string mixed = KAVRIL_TEST_DATA "/rinex-nav/Example_Mixed_Rinex305.n";
  const std::string cut = "head -c 2900 " + day + " > cut.brd; gzip -c " + day + " | head -c 2000 > cut.gz; ";
  const std::string keywordFile =
      "printf 'CONST 1 \"CONST\"\\nBRDFIL 1 \"" + day + "\"\\nRXNFIL 1 \"kw.rnx\"\\nRUNBY 0\\n' > kw.inp";
  const Case cases[] = {
      {"", day + " nosuch.brd", 1, "kavril: nosuch.brd: No such file or directory\n", {{"data/brdc1820.rnx", "?"}}},
      {"", "-o no/such/x.rnx " + day, 1, "kavril: no/such/x.rnx: No such file or directory (no folder no)\n", {}},
      {cut + "echo old > cut.rnx", "cut.brd", 1,
       "kavril: cut.brd:34: End of file after 16 of the 20 numbers of a block\n"
       "kavril: cut.rnx: incomplete, not kept (the earlier file is left as it was)\n",
       {{"cut.rnx", "old\n"}}},
      {cut, "-r 2 cut.gz", 1,
       "kavril: cut.gz:93: cannot read: compressed data cut short\n"
       "kavril: cut.rnx: incomplete, not kept (no file of that name)\n",
       {}},
      {"(printf '\\037\\213\\010\\0\\0\\0\\0\\0\\0\\003'; echo not deflate data) > bad.gz", "bad.gz", 1,
       "kavril: bad.gz:1: cannot read: compressed data damaged\n", {}},
      {"", "-o " + day + " " + day, 1,
       "kavril: data/brdc1820.brd: not written: it would overwrite data/brdc1820.brd, a file of this run\n", {}},
      {"", "-o /dev/full " + day, 1, "kavril: /dev/full: No space left on device\n", {}},
      {"", "-c nosuch " + day, 1, "kavril: nosuch: No such file or directory\n", {}},
      {"printf 'C        abc\\n' > bad", "-c bad " + day, 1, "kavril: constants file: value not a number: C        abc\n", {}},
      {": > empty.brd; echo old > empty.rnx", "-r 3 empty.brd", 0,
       "kavril: warning: empty.brd: empty file, empty.rnx not written (the earlier file is left as it was)\n",
       {{"empty.rnx", "old\n"}}},
      {": > empty.brd", "-o ALL.rnx empty.brd " + day + " ./" + day, 0,
       "kavril: warning: ./data/brdc1820.brd: given twice\nkavril: warning: empty.brd: empty file\n", {{"ALL.rnx", "?"}}},
      // An output that got no record is not written.
      {"echo old > s.rnx", "-o s.rnx --sat 33 " + day, 0,
       "kavril: warning: s.rnx: no messages written, not written (the earlier file is left as it was)\n",
       {{"s.rnx", "old\n"}}},
      {"head -n 1 " + day + " > title.brd", "-r 3 title.brd", 0, "kavril: warning: title.rnx: no messages written, not written\n",
       {}},
      {"", "-r 3 -n BRDC00ORL -d archive " + day, 1,
       "kavril: archive/(the output named by -n): No such file or directory (no folder archive)\n", {}},
      {"", "-r 3 -n BRDC00ORL --to 2001-01-01 " + day, 0,
       "kavril: warning: data/brdc1820.brd: no messages to name the output by (-n BRDC00ORL), not written\n", {}},
      // A RINEX navigation file is an input, by name: its default output
      // would be itself; standard input cannot be looked at before it is read.
      {"'" KAVRIL_BINARY "' -q " + day, "-q data/brdc1820.rnx", 1,
       "kavril: data/brdc1820.rnx: not written: it would overwrite data/brdc1820.rnx, a file of this run\n", {}},
      {"cp " + nav + " n.12n", "-q -o x.rnx -", 1,
       "kavril: -:1: a RINEX navigation file on standard input: give it by its file name\n", {}, "n.12n"},
      // Damaged RINEX inputs: the line and what is wrong, the output not written.
      {"sed '19s/0\\.1/0.X/' " + nav + " > bad.12n; echo old > x.rnx", "-o x.rnx bad.12n", 1,
       "kavril: bad.12n:19: '0.X90921127796D-05' in column 4 is not a number\n"
       "kavril: x.rnx: incomplete, not kept (the earlier file is left as it was)\n",
       {{"x.rnx", "old\n"}}},
      {"head -n 25 " + nav + " > cut.12n", "-o x.rnx cut.12n", 1,
       "kavril: cut.12n:25: G04 record cut short: 1 of the 8 lines of a GPS LNAV record at the end of the file\n"
       "kavril: x.rnx: incomplete, not kept (no file of that name)\n", {}},
      {"sed '18s/^G02/X02/' " + mixed + " > sys.rnx; echo old > x.rnx", "-o x.rnx sys.rnx", 1,
       "kavril: sys.rnx:18: unknown system letter 'X'\n"
       "kavril: x.rnx: incomplete, not kept (the earlier file is left as it was)\n", {{"x.rnx", "old\n"}}},
      {"sed '12d' " + mixed + " > lines.rnx; echo old > x.rnx", "-r 4 -o x.rnx lines.rnx", 1,
       "kavril: lines.rnx:17: G01 record cut short: 7 of the 8 lines of a GPS LNAV record before this line\n",
       {{"x.rnx", "old\n"}}},
      {"printf '%9s%11sO%39sRINEX VERSION / TYPE\\n' 3.04 '' '' > obs.rnx", "obs.rnx", 1,
       "kavril: obs.rnx:1: a RINEX observation file, not a broadcast file\n", {}},
      // A record cut after its message number (blanks alone are a blank last line).
      {"head -c 46 " + day + " > c.brd; echo good > good.rnx", "-q -r 3 -o good.rnx c.brd", 1,
       "kavril: c.brd:2: End of file inside a satellite record\n"
       "kavril: good.rnx: incomplete, not kept (the earlier file is left as it was)\n",
       {{"good.rnx", "good\n"}}},
      {"", "-o x.rnx /dev/zero", 1, "kavril: /dev/zero:1: cannot read: Line longer than 1048576 characters\n", {}},
      // The door: without options, a keyword run only for a file of text that
      // is not empty and not a broadcast file, or after "--"; every other
      // command line a direct run whose unreadable inputs are left out.
      {": > brdc1810.brd; cp data/brdc18?0.brd .", "brdc18*.brd", 0,
       "kavril: warning: brdc1810.brd: empty file, brdc1810.rnx not written\n",
       {{"brdc1820.rnx", "?"}, {"brdc1830.rnx", "?"}}},
      {"", "nosuch.brd", 1, "kavril: nosuch.brd: No such file or directory\n", {}},
      {"mkdir adir", "adir", 1, "kavril: adir: Is a directory\n", {}},
      {"printf '\\177ELF\\002\\001\\001\\0\\0\\n' > bin.brd", "bin.brd", 1,
       "kavril: bin.brd:1: not a broadcast file\n", {}},
      {"", "nosuch.brd " + day, 1, "kavril: nosuch.brd: No such file or directory\n", {{"data/brdc1820.rnx", "?"}}},
      {": > empty.brd", "empty.brd", 0, "kavril: warning: empty.brd: empty file, empty.rnx not written\n", {}},
      {keywordFile, "kw.inp", 0, "", {{"kw.rnx", "?"}}},
      {keywordFile + "; mv kw.inp ./-n", "-- -n", 0, "", {{"kw.rnx", "?"}}},
      endsAsPlain("{ cat " + day + "; printf '   '; }", "-q -r 2"),
      endsAsPlain("{ cat " + day + "; printf ' \\t \\n'; }", "-q -r 2 --exclude-sat 5"),
      endsAsPlain("{ sed 's/$/\\r/' " + day + "; printf '   \\r'; }", "-q -r 2"),
      endsAsPlain("sed 's/$/\\r/' " + day + " | head -c -1", "-q -r 2 --exclude-sat 5"),
      endsAsPlain("head -c -1 " + day, "-q"),
      endsAsPlain("{ head -n 2000 " + day + " | gzip -c; tail -n +2001 " + day + " | gzip -c; }", "-q"),
      {"", "-q -z -o x.rnx.gz " + day, 0, "", {{"x.rnx.gz", "?"}}},
      // Messages left unread after a blank line: the file is not converted
      // in part; text that is no broadcast file is left out like binary data.
      {"{ head -n 12 " + day + "; echo; tail -n +13 " + day + "; } > b.brd; echo old > b.rnx", "-q b.brd", 1,
       "kavril: b.brd:13: lines after the end of the messages not read\n"
       "kavril: b.rnx: incomplete, not kept (the earlier file is left as it was)\n",
       {{"b.rnx", "old\n"}}},
      {"printf '# Notes\\n\\nNot a broadcast file.\\n' > notes.txt", "-q notes.txt " + day, 1,
       "kavril: notes.txt:1: not a broadcast file\n", {{"data/brdc1820.rnx", "?"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    ScratchDir scratch;
    prepare(scratch.path());
    run_command("cd '" + scratch.path().string() + "' && (" + (c.setup.empty() ? ":" : c.setup) + ") 2>/dev/null");
    EXPECT_EQ(run(scratch.path(), c.args, c.input), c.status);
    std::string messages;
    std::istringstream report(read_file(scratch.path() / "stderr"));
    for (std::string line; std::getline(report, line);) {
      if (line.starts_with("kavril:")) messages += line + "\n";
    }
    EXPECT_EQ(messages, c.messages);
    for (const auto& [name, contents] : c.files) {
      EXPECT_TRUE(fs::exists(scratch.path() / name)) << name;
      if (contents.starts_with("=")) {
        EXPECT_EQ(mask_volatile(read_file(scratch.path() / name)),
                  mask_volatile(read_file(scratch.path() / contents.substr(1))))
            << name;
      } else if (contents != "?") {
        EXPECT_EQ(read_file(scratch.path() / name), contents) << name;
      }
    }
  }
}

// The interrupt line of a direct run is plain as well (the run waits for
// standard input when it is interrupted).
TEST(DirectMode, TheInterruptLineIsPlain) {
  ScratchDir scratch;
  // Interrupted once its temporary file exists (the title read, the next
  // line awaited), however slowly the machine runs.
  run_command("cd '" + scratch.path().string() + "' && { (echo TITLE; sleep 3) | '" KAVRIL_BINARY
              "' -q -o x.rnx - 2> stderr & pid=$!; } && for i in $(seq 200); do ls -a | grep -q '^\\.x\\.rnx\\.kavril-' && "
              "break; sleep 0.05; done; kill -TERM $pid; wait $pid");
  EXPECT_EQ(read_file(scratch.path() / "stderr"),
            "kavril: interrupted by signal SIGTERM: no RINEX file of the unfinished row was written\n");
  EXPECT_FALSE(fs::exists(scratch.path() / "x.rnx"));
}

// Standard output closed by the caller or full: what the run would write
// there is lost, so the run fails instead of writing it to the /dev/null
// that holds the number of the stream; also a closed standard input, and an
// output that would replace the file behind standard output.
TEST(DirectMode, StandardStreamsAreCheckedAndKept) {
  ScratchDir scratch;
  prepare(scratch.path());
  const std::pair<std::string, std::string> runs[] = {
      {"-q - < data/brdc1820.brd >&-", "Bad file descriptor"},
      {"--version >&-", "Bad file descriptor"},
      {"--check data/brdc1820.brd >&-", "Bad file descriptor"},
      {"--check --json data/brdc1820.brd > /dev/full", "kavril: (standard output): No space left on device\n"},
      {"--check --plot - data/brdc1820.brd > /dev/full", "kavril: (standard output): No space left on device\n"},
      {"-q -o out/x.rnx - <&-", "kavril: -: Bad file descriptor\n"},
      {"-o x.rnx data/brdc1820.brd > x.rnx", "kavril: x.rnx: not written: it would overwrite (standard output), a file"},
      {"--check --plot x.svg data/brdc1820.brd > x.svg", "kavril: x.svg: not written: it would overwrite (standard output)"},
  };
  for (const auto& [args, reason] : runs) {
    SCOPED_TRACE(args);
    EXPECT_EQ(run_command("cd '" + scratch.path().string() + "' && '" KAVRIL_BINARY "' " + args + " 2> stderr"), 1);
    const std::string report = read_file(scratch.path() / "stderr");
    EXPECT_NE(report.find(reason), std::string::npos) << report;
    EXPECT_EQ(report.find("finished successfully"), std::string::npos) << report;
    EXPECT_TRUE(fs::is_empty(scratch.path() / "out"));
  }
}

// What no message can tell is told by the exit status: a report lost on a
// full standard error; a file-size limit is a failed write like a full disk
// (the earlier file kept, no temporary file left), not a killed run.
TEST(DirectMode, LostReportsAndFileSizeLimitsFailTheRun) {
  ScratchDir scratch;
  prepare(scratch.path());
  write_file(scratch.path() / "out/x.rnx", "old\n");
  const std::tuple<std::string, int, std::string> runs[] = {
      {"$K data/brdc1820.brd 2> /dev/full", 1, ""},
      {"$K -q data/brdc1820.brd 2> /dev/full", 0, ""},  // nothing to say, nothing lost
      {"ulimit -f 20; $K -q -o out/x.rnx data/brdc1820.brd 2> stderr", 1,
       "kavril: out/x.rnx: File too large\nkavril: out/x.rnx: incomplete, not kept (the earlier file is left as it was)\n"},
  };
  for (const auto& [command, status, report] : runs) {
    SCOPED_TRACE(command);
    EXPECT_EQ(run_command("cd '" + scratch.path().string() + "' && K='" KAVRIL_BINARY "' && " + command), status);
    if (!report.empty()) {
      EXPECT_EQ(read_file(scratch.path() / "stderr"), report);
    }
    EXPECT_EQ(read_file(scratch.path() / "out/x.rnx"), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path() / "out"), {}), 1);
  }
}

// A symbolic link in a sticky folder that everyone may write (such as /tmp)
// is followed only when it belongs to the user who runs or to the folder's
// owner: root writes nothing through a link that another user planted there.
TEST(DirectMode, RootDoesNotFollowALinkAnotherUserPlantedInASharedFolder) {
  const auto asUser = as_ordinary_user();
  if (!asUser || asUser->empty()) GTEST_SKIP() << "needs root and setpriv to act as the user nobody";
  const std::string named = "BRDC00ORL_U_20101820000_01D_GN.rnx", svg = "<svg></svg>\n";
  const std::string refused = ": a symbolic link of another user in a sticky folder open to all, not followed\n";
  const std::tuple<std::string, std::string, std::string> cases[] = {  // planted in s/, the run, its messages
      {*asUser + "ln -s ../victim out.rnx", "-o s/out.rnx", "kavril: s/out.rnx" + refused},
      {*asUser + "ln -s ../victim " + named, "-r 3 -n BRDC00ORL -d s", "kavril: s/" + named + refused},
      {*asUser + "ln -s ../victim p.svg", "--check --plot s/p.svg", "kavril: s/p.svg" + refused},
      {*asUser + "ln -s .. dl", "-o s/dl/victim", "kavril: s/dl/victim" + refused},  // a folder on the way
      {*asUser + "ln -s .. dl", "-d s/dl", "kavril: s/dl/brdc1820.rnx" + refused},
      {"ln -s ../victim out.rnx", "-o s/out.rnx", ""},                          // root's own link
      {"chown nobody . && " + *asUser + "ln -s ../victim out.rnx", "-o s/out.rnx", ""},  // the folder owner's
  };
  for (const auto& [plant, args, messages] : cases) {
    SCOPED_TRACE(plant + " | " + args);
    ScratchDir scratch;
    prepare(scratch.path());
    fs::create_directory(scratch.path() / "s");
    fs::permissions(scratch.path() / "s", static_cast<fs::perms>(01777));
    write_file(scratch.path() / "victim", svg);
    ASSERT_EQ(run_command("cd '" + (scratch.path() / "s").string() + "' && " + plant), 0);
    EXPECT_EQ(run(scratch.path(), "-q " + args + " data/brdc1820.brd"), messages.empty() ? 0 : 1);
    EXPECT_EQ(read_file(scratch.path() / "stderr"), messages);
    EXPECT_EQ(read_file(scratch.path() / "victim") == svg, !messages.empty());
    EXPECT_FALSE(fs::exists(scratch.path() / "brdc1820.rnx"));
    for (const auto& entry : fs::directory_iterator(scratch.path() / "s")) EXPECT_TRUE(fs::is_symlink(entry.path()));
  }
}

// A RINEX file is synced, renamed onto its name, and then its folder is
// synced, so that the rename survives a crash of the machine. (The leak
// check of a sanitizer build cannot run under strace.)
TEST(DirectMode, TheFolderIsSyncedAfterTheRename) {
  if (run_command("command -v strace > /dev/null") != 0) GTEST_SKIP() << "strace is not installed";
  ScratchDir scratch;
  prepare(scratch.path());
  ASSERT_EQ(run_command("cd '" + scratch.path().string() + "' && ASAN_OPTIONS=detect_leaks=0 strace -o calls -e trace=fsync,rename,openat '"
                        KAVRIL_BINARY "' -q -o out/x.rnx data/brdc1820.brd"), 0);
  // The three calls in a row: the rename, the open of the folder, its sync.
  std::istringstream lines(read_file(scratch.path() / "calls"));
  std::vector<std::string> calls;
  for (std::string line; std::getline(lines, line);) calls.push_back(line.substr(0, line.find("  ")));
  const auto rename = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
    return call.starts_with("rename(") && call.ends_with("\"out/x.rnx\") = 0");
  });
  ASSERT_GE(std::distance(rename, calls.end()), 3) << "no rename with two calls after it";
  ASSERT_TRUE(rename[1].starts_with("openat(AT_FDCWD, \"out\", ")) << rename[1];
  const std::string folder = rename[1].substr(rename[1].rfind(' ') + 1);
  EXPECT_EQ(rename[2], "fsync(" + folder + ")") << "the folder is not synced";
}

TEST(DirectMode, FaultyCommandLineWritesWhatIsWrong) {
  const std::pair<std::string, std::string> faults[] = {
      {"-x data/brdc1820.brd", "unknown option '-x'"},
      {"--rinx 3 data/brdc1820.brd", "unknown option '--rinx'"},
      {"-r 3 data/brdc1820.brd -x", "unknown option '-x'"},
      {"--rinex 3 --bogus data/brdc1820.brd", "unknown option '--bogus'"},
      {"--quiet=1 data/brdc1820.brd", "option '--quiet' takes no value"},
      {"data/brdc1820.brd -r", "option '-r' needs a value"},
      {"-o '' data/brdc1820.brd", "option '-o' needs a value"},
      {"-r 5 data/brdc1820.brd", "RINEX version must be 1, 2, 3, 4, 2.11, 3.04 or 4.00: 5"},
      {"-r 3.0 data/brdc1820.brd", "RINEX version must be 1, 2, 3, 4, 2.11, 3.04 or 4.00: 3.0"},
      {"-r 3.4 data/brdc1820.brd", "RINEX version must be 1, 2, 3, 4, 2.11, 3.04 or 4.00: 3.4"},
      {"-r 4 --leap-seconds 1x data/brdc1820.brd", "leap seconds must be a whole number from 0 to 99: 1x"},
      {"-r 4 --leap-seconds 100 data/brdc1820.brd", "leap seconds must be a whole number from 0 to 99: 100"},
      {"--leap-seconds 18 data/brdc1820.brd", "--leap-seconds is written only in RINEX 4.00 headers (-r 4, or RINEX 4 inputs)"},
      {"-r 3 --leap-seconds 18 data/brdc1820.brd", "--leap-seconds is written only in RINEX 4.00 headers (-r 4, or RINEX 4 inputs)"},
      {"-r 3 -q", "no broadcast file given"},
      {"-o ALL.rnx -d out data/brdc1820.brd", "-o and -d cannot be given together"},
      {"-o - - -", "standard input (-) given more than once"},
      {"-d out -", "standard input (-) cannot go into a folder: use -o NAME"},
      {"-e rinex data/brdc1820.brd", "extension longer than 3 characters: rinex"},
      {"-a 'AGENCY OF 21 LETTERS!' data/brdc1820.brd",
       "agency longer than the 20 characters of the header: AGENCY OF 21 LETTERS!"},
      {"-d out data/" + std::string(250, 'x'), "file name longer than 255 characters: out/" + std::string(250, 'x') + ".rnx"},
      // out/ + 243 x + .rnx is 251 characters, but the check holds the name
      // given: 248 + 3 + 3 + 2 is one more than 255.
      {"-d out data/" + std::string(243, 'x'), "file name longer than 255 characters: data/" + std::string(243, 'x')},
      {"-e abc data/" + std::string(250, 'x'), "file name longer than 255 characters: data/" + std::string(250, 'x') + ".abc"},
      {"-d out data/brdc1820.brd other/brdc1820.brd",
       "data/brdc1820.brd and other/brdc1820.brd would both be written to out/brdc1820.rnx"},
      {"data/brdc1820.brd data/brdc1820.gz",
       "data/brdc1820.brd and data/brdc1820.gz would both be written to data/brdc1820.rnx"},
      {"data/brdc1820.brd data/brdc1820.brd.gz",
       "data/brdc1820.brd and data/brdc1820.brd.gz would both be written to data/brdc1820.rnx"},
      // An output name that is a broadcast file (also inside gzip) is refused.
      {"--check --plot data/brdc1820.brd data/brdc1830.brd",
       "--plot needs a file name ending in .svg (or - for standard output): data/brdc1820.brd"},
      {"-r 3 -o data/brdc1820.brd data/brdc1830.brd", "data/brdc1820.brd: is a broadcast file, not overwritten"},
      {"-e gz data/brdc1830.brd data/brdc1820.brd", "data/brdc1820.gz: is a broadcast file, not overwritten"},
  };
  for (const auto& [args, fault] : faults) {
    SCOPED_TRACE(args);
    ScratchDir scratch;
    prepare(scratch.path());
    EXPECT_EQ(run(scratch.path(), args), 1);
    EXPECT_EQ(read_file(scratch.path() / "stderr"), "kavril: " + fault + "\nTry 'kavril --help'.\n");
    EXPECT_EQ(read_file(scratch.path() / "stdout"), "");
    EXPECT_TRUE(fs::is_empty(scratch.path() / "out"));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path() / "data"), {}), 3);
  }
}

}  // namespace
}  // namespace kavril::test

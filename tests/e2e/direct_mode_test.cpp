// Runs from options and broadcast files: each writes what the keyword file
// with the same keywords writes, and a faulty command line writes nothing but
// what is wrong and the usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/support.h"

namespace fs = std::filesystem;

namespace kavril::test {
namespace {

const fs::path kCases = KAVRIL_E2E_ROOT "/cases";

// A folder with the bundled broadcast files in data/, the constants file and
// an empty folder out/.
void prepare(const fs::path& dir) {
  fs::copy(kCases / "bundled_example/run/data", dir / "data");
  fs::copy(kCases / "bundled_example/run/CONST", dir / "CONST");
  fs::create_directory(dir / "out");
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
  EXPECT_NE(report.find("RINEX file would overwrite a file of this run"), std::string::npos) << report;
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
    const std::size_t error = report.find("*** SR OPNERR: OPEN FAILED");
    EXPECT_NE(error, std::string::npos) << report;
    if (quiet.empty()) {
      EXPECT_LT(error, report.find(">>> Program ended")) << report;
    }
  }
  EXPECT_EQ(run_command("cd '" + scratch.path().string() + "' && '" KAVRIL_BINARY "' -d out data/*.brd >&- 2>&-"), 0);
  EXPECT_EQ(read_file(scratch.path() / "out/brdc1830.rnx").find("brdc18"), std::string::npos);
}

TEST(DirectMode, FaultyCommandLineWritesWhatIsWrongAndTheUsage) {
  const std::string usage = read_file(KAVRIL_E2E_ROOT "/bad_input/args_none/expected/stderr");
  const std::pair<std::string, std::string> faults[] = {
      {"-x -r 3 data/brdc1820.brd", "unknown option -x"},
      {"--rinex 3 --bogus data/brdc1820.brd", "unknown option --bogus"},
      {"--quiet=1 data/brdc1820.brd", "option --quiet takes no value"},
      {"data/brdc1820.brd -r", "option -r needs a value"},
      {"-o '' data/brdc1820.brd", "option -o needs a value"},
      {"-r 4 data/brdc1820.brd", "RINEX version must be 1, 2, 3, 2.11 or 3.04: 4"},
      {"-r 3.0 data/brdc1820.brd", "RINEX version must be 1, 2, 3, 2.11 or 3.04: 3.0"},
      {"-r 3 -q", "no broadcast file given"},
      {"-o ALL.rnx -d out data/brdc1820.brd", "-o and -d cannot be given together"},
      {"-o - - -", "standard input (-) given more than once"},
      {"-r 3 -", "standard input (-) needs -o NAME"},
      {"-e rinex data/brdc1820.brd", "extension longer than 3 characters: rinex"},
      {"-d out data/" + std::string(250, 'x'), "file name longer than 255 characters: data/" + std::string(250, 'x')},
  };
  for (const auto& [args, fault] : faults) {
    SCOPED_TRACE(args);
    ScratchDir scratch;
    prepare(scratch.path());
    EXPECT_EQ(run(scratch.path(), args), 1);
    EXPECT_EQ(read_file(scratch.path() / "stderr"), "kavril: " + fault + "\n" + usage);
    EXPECT_EQ(read_file(scratch.path() / "stdout"), "");
    EXPECT_TRUE(fs::is_empty(scratch.path() / "out"));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path() / "data"), {}), 2);
  }
}

}  // namespace
}  // namespace kavril::test

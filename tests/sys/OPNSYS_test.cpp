// System output files: program output, message unit, merging, the
// default-name warning and the standard-input replacement.
#include <gtest/gtest.h>

#include <filesystem>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

using test::KeyLine;
using test::read_file;
using test::write_file;
namespace fs = std::filesystem;

class OpnsysTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    printFile = dir.file("prog.out");
    errorFile = dir.file("prog.err");
  }
  void TearDown() override { test::reset_run_state(); }

  void run(std::vector<KeyLine> keys) {
    test::set_key_table("input.inp", std::move(keys));
    OPNSYS();
  }
  // Program output as written so far (closes it).
  std::string print_output() { return test::close_and_read(lfnPrtFile, printFile); }

  test::ScratchDir dir;
  std::string printFile;
  std::string errorFile;
};

TEST_F(OpnsysTest, WithoutKeywordsEverythingStaysOnStandardOutput) {
  run({});
  EXPECT_EQ(lfnPrint, 6);
  EXPECT_EQ(lfnError, 6);
  run({{"SYSOUT", {" "}}, {"SYSERR", {"SYSOUT"}}});
  EXPECT_EQ(lfnPrint, 6);
  EXPECT_EQ(lfnError, 6);
  EXPECT_FALSE(fs::exists("SYSOUT"));
}

TEST_F(OpnsysTest, NamedFilesReplaceOldOnes) {
  write_file(printFile, "old program output\n");
  write_file(errorFile, "old messages\n");
  run({{"SYSOUT", {printFile}}, {"SYSERR", {errorFile}}});
  EXPECT_EQ(lfnPrint, 998);
  EXPECT_EQ(lfnError, 997);
  platform::write_line(lfnError, "message");
  EXPECT_EQ(print_output(), "");
  EXPECT_EQ(test::close_and_read(997, errorFile), "message\n");
}

TEST_F(OpnsysTest, MessagesMergeIntoTheProgramOutput) {
  // SYSERR naming SYSOUT, ERRMRG ticked, or no SYSERR at all.
  const std::vector<std::vector<KeyLine>> merged = {
      {{"SYSOUT", {printFile}}, {"SYSERR", {"SYSOUT"}}},
      {{"SYSOUT", {printFile}}, {"SYSERR", {errorFile}}, {"ERRMRG", {"1"}}},
      {{"SYSOUT", {printFile}}},
      {{"SYSOUT", {printFile}}, {"ERRMRG", {"0"}}, {"SYSERR", {"SYSOUT"}}},
      {{"SYSOUT", {printFile}}, {"SYSERR", {printFile}}},
  };
  for (const auto& keys : merged) {
    test::reset_run_state();
    run(keys);
    EXPECT_EQ(lfnError, 998);
    EXPECT_TRUE(platform::unit_connected(998));
    EXPECT_FALSE(fs::exists(errorFile));
    EXPECT_FALSE(fs::exists("SYSOUT"));
  }
  test::reset_run_state();
  run({{"SYSOUT", {printFile}}, {"SYSERR", {errorFile}}, {"ERRMRG", {"0"}}});
  EXPECT_EQ(lfnError, 997);
  EXPECT_TRUE(fs::exists(errorFile));
}

TEST_F(OpnsysTest, DefaultLookingNameWarnsUnlessDefaultIsSelected) {
  struct Case {
    const char* name;
    const char* sysodef;
    bool warned;
  };
  const Case cases[] = {{"prog01", "0", true},   {"prog 1", "0", true}, {"prog-1", "0", true},
                        {"progab", "0", false},  {"proga1", "0", false}, {"prog+1", "0", true},
                        {"prog01", "1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::reset_run_state();
    const std::string name = dir.file(c.name);
    run({{"SYSOUT", {name}}, {"SYSODEF", {c.sysodef}}});
    const std::string warning =
        "\n ### SR OPNSYS: Special program output requested, but default file name found.\n"
        "                Program output: " +
        std::string(platform::trim_right(name)) + "\n\n";
    EXPECT_EQ(test::close_and_read(998, std::string(platform::trim_right(name))),
              c.warned ? warning : "");
  }
}

TEST_F(OpnsysTest, FailuresStopTheRun) {
  const std::string output = dir.file("stdout");
  EXPECT_EXIT(
      ([&] {
        test::redirect_stdout(output);
        run({{"SYSINP", {dir.file("missing.inp")}}});
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_NE(read_file(output).find(" *** SR OPNERR: OPEN FAILED\n"
                                   "                FILE NAME : " + dir.file("missing.inp") + "\n"
                                   "                PGM./SUBR.:     OPNSYS\n"),
            std::string::npos);
  EXPECT_NE(read_file(output).find("                FILE UNIT :      5\n"), std::string::npos);

  // A bad check box is reported (messages still on standard output), the
  // other steps still run, then the stop.
  EXPECT_EXIT(
      ([&] {
        test::redirect_stdout(output);
        run({{"SYSOUT", {printFile}}, {"ERRMRG", {"2"}}, {"SYSERR", {errorFile}}});
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_NE(read_file(output).find(" *** SR CKOPTI: The value for keyword \"ERRMRG\" exceeds the range.\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(errorFile));
}

TEST_F(OpnsysTest, SysinpReplacesStandardInput) {
  const std::string input = dir.file("sysinp.txt");
  write_file(input, "first line of the replacement\n");
  EXPECT_EXIT(
      ([&] {
        run({{"SYSINP", {input}}});
        std::string line;
        const bool ok = platform::read_line(5, line) == platform::ReadResult::Ok &&
                        line == "first line of the replacement";
        platform::exit_process(ok ? 0 : 3);
      }()),
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kavril

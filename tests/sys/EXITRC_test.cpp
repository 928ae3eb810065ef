// Termination: the notices by run phase, the exit steps of a normal run
// (deletion of the listed files), the end-of-run line and the exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

using test::read_file;
using test::write_file;
namespace fs = std::filesystem;

constexpr int kMessageUnit = 50;

class ExitrcTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    messages = dir.file("messages");
    output = dir.file("stdout");
  }
  void TearDown() override { test::reset_run_state(); }

  // Messages into a file, as with a separate message file.
  void messages_to_file() {
    ASSERT_EQ(platform::open_unit(kMessageUnit, messages, platform::OpenStatus::Unknown, true, false), 0);
    lfnError = kMessageUnit;
  }

  test::ScratchDir dir;
  std::string messages;
  std::string output;
};

TEST_F(ExitrcTest, StopNoticeNamesThePhaseAndSkipsTheDeletion) {
  struct Case {
    int runPhase;
    int inOpnfil;
    const char* pgm;
    const char* notice;
  };
  const Case cases[] = {
      {1, 0, "KAVRIL", "\n ### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING INITIALIZATION\n\n"},
      {2, -1, "KAVRIL", "\n ### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL\n\n"},
      {1, -1, "KAVRIL", "\n ### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL\n\n"},
      {3, 0, "KAVRIL", "\n ### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING EXITING\n\n"},
      {0, 0, "KAVRIL", ""},
      {1, 0, "VESTRO", ""},
  };
  const std::string listed = dir.file("listed.tmp");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    write_file(listed, "keep me\n");
    write_file(messages, "");
    EXPECT_EXIT(
        ([&] {
          test::set_key_table("input.inp", {}, {listed});
          inpKey.runPhase = c.runPhase;
          inpKey.inOpnfil = c.inOpnfil;
          pgmNam = c.pgm;
          messages_to_file();
          EXITRC(2);
        }()),
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_file(messages), c.notice);
    EXPECT_TRUE(fs::exists(listed));
  }
}

TEST_F(ExitrcTest, ReturnCodesOneAndZeroEndSuccessfullyTwoWithAnError) {
  struct Case {
    int irCode;
    int status;
    const char* line;
  };
  const Case cases[] = {{0, 0, ">>> Program finished successfully"},
                        {1, 0, ">>> Program finished successfully"},
                        {2, 1, ">>> Program ended with an error"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.irCode);
    EXPECT_EXIT(
        ([&] {
          test::redirect_stdout(output);
          CPU_START(true);
          test::set_key_table("input.inp", {});
          pgmNam = "KAVRIL  ";
          EXITRC(c.irCode);
        }()),
        testing::ExitedWithCode(c.status), "");
    const std::string printed = read_file(output);
    EXPECT_NE(printed.find(">>> CPU/Real time for pgm \"KAVRIL\": "), std::string::npos) << printed;
    EXPECT_NE(printed.find(std::string(65, '-') + "\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find(std::string(c.line) + "\n\n"), std::string::npos) << printed;
  }
}

TEST_F(ExitrcTest, NormalEndDeletesListedFilesAndClosesTheProgramUnits) {
  const std::string plain = dir.file("plain.tmp");
  const std::string held = dir.file("held.tmp");
  const std::string unresolved = dir.file("${TMP}.tmp");
  const std::string written = dir.file("written.out");
  for (const auto& name : {plain, held, unresolved}) write_file(name, "data\n");
  EXPECT_EXIT(
      ([&] {
        test::set_key_table("input.inp", {},
                            {plain, held, unresolved, dir.file("missing.tmp"), " "});
        pgmNam = "KAVRIL  ";
        platform::open_unit(20, held, platform::OpenStatus::Old, true, false);
        platform::open_unit(998, written, platform::OpenStatus::Unknown, true, false);
        platform::write_line(998, "last line");
        EXITRC(0);
      }()),
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(fs::exists(plain));
  EXPECT_FALSE(fs::exists(held));
  EXPECT_TRUE(fs::exists(unresolved));
  EXPECT_EQ(read_file(written), "last line\n");
}

TEST_F(ExitrcTest, NothingIsDeletedBeforeAProgramRegisteredItsName) {
  const std::string listed = dir.file("listed.tmp");
  write_file(listed, "data\n");
  EXPECT_EXIT(
      ([&] {
        test::set_key_table("input.inp", {}, {listed});
        EXITRC(0);
      }()),
      testing::ExitedWithCode(0), "");
  EXPECT_TRUE(fs::exists(listed));
}

TEST_F(ExitrcTest, AUnitThatCannotBeClosedTurnsSuccessIntoAnError) {
  // The last records of a full disk are lost when the unit is closed: the
  // run must not end with status 0.
  EXPECT_EXIT(([&] {
                test::redirect_stdout(output);
                test::set_key_table("input.inp", {});
                platform::open_unit(20, "/dev/full", platform::OpenStatus::Old, true, false);
                platform::write_line(20, "lost record");
                EXITRC(0);
              }()),
              testing::ExitedWithCode(1), "");
  EXPECT_EQ(read_file(output), "  *** SR EXIT_PGM: Cannot close LFN 20\n");
}

}  // namespace
}  // namespace kavril

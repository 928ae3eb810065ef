// Opening files: status mapping, upper-casing by run phase, variables in
// names and the deletion list, closing what stands in the way, and the
// unknown-keyword stop.
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

class OpnfilTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {{"ENVIRONMENT", {"\"D\" \"" + dir.path().string() + "\""}}});
  }
  void TearDown() override { test::reset_run_state(); }

  int open(int lfn, const std::string& name, std::string_view status, std::string_view form = " ",
           std::string_view action = " ") {
    int ios = -1;
    OPNFIL(lfn, name, status, form, action, " ", ios);
    return ios;
  }

  test::ScratchDir dir;
};

TEST_F(OpnfilTest, NewOpensAnExistingFileAndRewritesItFromTheStart) {
  const std::string name = dir.file("out.txt");
  write_file(name, "old first line\nold second line\n");
  ASSERT_EQ(open(30, name, "NEW"), 0);
  EXPECT_EQ(inpKey.inOpnfil, 0);
  platform::write_line(30, "new");
  platform::close_unit(30);
  EXPECT_EQ(read_file(name), "new\n");
}

TEST_F(OpnfilTest, KeywordsInLowerCaseAreAcceptedBeforeTheExit) {
  const std::string name = dir.file("in.txt");
  write_file(name, "line\n");
  for (int phase : {0, 1, 2}) {
    inpKey.runPhase = phase;
    ASSERT_EQ(open(30, name, "old", "formatted", "readonly "), 0) << phase;
    std::string line;
    EXPECT_EQ(platform::read_line(30, line), platform::ReadResult::Ok);
    EXPECT_EQ(line, "line");
  }
  ASSERT_EQ(open(30, name, "Scratch", "Binary"), 0);
  ASSERT_EQ(open(30, name, "unknown", "unformatted"), 0);
}

TEST_F(OpnfilTest, LeadingBlanksAreDroppedAndANameHeldByAnotherUnitMovesOver) {
  const std::string name = dir.file("moved.txt");
  ASSERT_EQ(open(31, "   " + name, "UNKNOWN"), 0);
  EXPECT_TRUE(fs::exists(name));
  ASSERT_EQ(open(32, name, "OLD"), 0);
  EXPECT_FALSE(platform::unit_connected(31));
  EXPECT_TRUE(platform::unit_connected(32));
}

TEST_F(OpnfilTest, OldOnAMissingFileReturnsTheStatusQuietly) {
  testing::internal::CaptureStdout();
  const int ios = open(30, dir.file("missing.txt"), "OLD");
  platform::flush_all();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_NE(ios, 0);
  EXPECT_NE(ios % 256, 0);
  EXPECT_EQ(inpKey.inOpnfil, 0);
  EXPECT_FALSE(platform::unit_connected(30));
}

TEST_F(OpnfilTest, VariablesAreResolvedOnceTheInputFileIsReadAndTheDeletionListFollows) {
  const std::string given = "${D}/a.tmp";
  const std::string indented = "  ${D}/b.tmp";
  inpKey.delFil = {"other", given, given, "${D}/b.tmp"};
  inpKey.nDel = 4;
  ASSERT_EQ(open(30, given, "NEW"), 0);
  ASSERT_EQ(open(31, indented, "NEW"), 0);
  EXPECT_TRUE(fs::exists(dir.file("a.tmp")));
  EXPECT_TRUE(fs::exists(dir.file("b.tmp")));
  EXPECT_EQ(platform::trim_right(inpKey.delFil[1]), dir.file("a.tmp"));
  EXPECT_EQ(inpKey.delFil[2], given);         // only the first match follows
  EXPECT_EQ(inpKey.delFil[3], "${D}/b.tmp");  // equal only after left-justification
  EXPECT_EQ(inpKey.delFil[0], "other");

  // While the input file is read, names are used as given.
  inpKey.runPhase = 1;
  const std::string literal = dir.file("${D}.tmp");
  ASSERT_EQ(open(32, literal, "NEW"), 0);
  EXPECT_TRUE(fs::exists(literal));
}

TEST_F(OpnfilTest, AFailedInquiryStopsTheRunInsideOpnfilWithoutDeleting) {
  const std::string loop = dir.file("loop");
  const std::string listed = dir.file("listed.tmp");
  fs::create_symlink("loop", loop);  // the inquiry by name fails
  write_file(listed, "keep\n");
  const std::string messages = dir.file("messages");
  EXPECT_EXIT(([&] {
                test::set_key_table("input.inp", {}, {listed});
                pgmNam = "KAVRIL  ";
                test::messages_to(50, messages);
                const int ios = open(30, loop, "OLD");
                if (inpKey.inOpnfil != -1) platform::exit_process(3);
                OPNERR(lfnError, 30, ios, loop, "TEST");
              }()),
              testing::ExitedWithCode(1), "");
  const std::string text = read_file(messages);
  EXPECT_NE(text.find(" *** SR OPNERR: OPEN FAILED\n"), std::string::npos);
  EXPECT_NE(text.find("\n ### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL\n\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(listed));
}

TEST_F(OpnfilTest, UnknownKeywordStopsWithTheBlockOnStandardOutput) {
  const std::string output = dir.file("stdout");
  const std::string name = dir.file("f.txt");
  EXPECT_EXIT(
      ([&] {
        test::redirect_stdout(output);
        open(30, "  " + name, "OLD", "FORMATTED", "read");
      }()),
      testing::ExitedWithCode(1), "");
  EXPECT_EQ(read_file(output),
            "\n"
            " SR OPNFIL: UNKNOWN KEYWORD    : READ                \n"
            "            LOGICAL FILENUMBER : 30\n"
            "            FILENAME           : " + platform::fit(name, 255) + "\n"
            "\n"
            "\n"
            " ### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL\n"
            "\n");
  EXPECT_FALSE(fs::exists(name));

  struct Case {
    int phase;
    const char* status;
    const char* form;
    const char* shown;
  };
  // During the exit only upper case matches; units above 99 show as **.
  const Case cases[] = {{2, "APPEND", " ", "APPEND              "},
                        {2, "OLD", "text", "TEXT                "},
                        {3, "old", " ", "old                 "}};
  for (const Case& c : cases) {
    EXPECT_EXIT(
        ([&] {
          test::redirect_stdout(output);
          inpKey.runPhase = c.phase;
          open(123, name, c.status, c.form);
        }()),
        testing::ExitedWithCode(1), "");
    const std::string printed = read_file(output);
    EXPECT_EQ(printed.substr(0, printed.find("            FILENAME")),
              "\n SR OPNFIL: UNKNOWN KEYWORD    : " + std::string(c.shown) +
                  "\n            LOGICAL FILENUMBER : **\n");
  }
}

}  // namespace
}  // namespace kavril

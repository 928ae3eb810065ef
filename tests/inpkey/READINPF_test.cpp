#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

using Values = std::vector<std::string>;

class READINPFTest : public test::KeywordTest {
 protected:
  // Reads `contents`, which must stop the run, and checks the decoding-error
  // block that shows `shownLine`.
  void expect_decoding_error(const std::string& contents, const std::string& shownLine);
};
using READINPFDeathTest = READINPFTest;

const t_key& record(int i) { return inpKey.keys.at(static_cast<std::size_t>(i)); }

TEST_F(READINPFTest, KeywordLinesCountsAndValueLines) {
  const std::string name = load(
      "# written by the menu\n"
      "\n"
      "   ! indented comment\n"
      "  NONE 0 \"ignored\" , 'x\n"
      "ONE 1 \"brdc1820.10n\" trailing items\n"
      "MANY 3\n"
      "  \"first\"\n"
      "  * a comment between the value lines\n"
      "  second,ignored\n"
      "\n"
      "  'third'\n"
      "NEGATIVE -2\n"
      "A_KEYWORD_OF_MORE_THAN_32_CHARACTERS 1 v\n"
      "ONE 1 \"second occurrence\"\n");
  EXPECT_EQ(inpKey.inpFilNam, name);
  EXPECT_EQ(inpKey.runPhase, 2);
  ASSERT_EQ(inpKey.nKey, 6);
  ASSERT_EQ(inpKey.keys.size(), 6u);
  EXPECT_EQ(record(0).name, "NONE");
  EXPECT_EQ(record(0).value, Values{""});
  EXPECT_EQ(record(1).value, Values{"brdc1820.10n"});
  EXPECT_EQ(record(2).name, "MANY");
  EXPECT_EQ(record(2).value, (Values{"first", "second", "third"}));
  EXPECT_TRUE(record(3).value.empty());
  EXPECT_TRUE(record(3).hasValue);
  EXPECT_EQ(record(4).name, "A_KEYWORD_OF_MORE_THAN_32_CHARAC");
  EXPECT_EQ(record(5).value, Values{"second occurrence"});
  EXPECT_EQ(inpKey.nDel, 0);
}

TEST_F(READINPFTest, VerbatimValuesLongValuesAndHashMarks) {
  const std::string longValue(300, 'v');
  load(
      "QUOTE 1 \"say \"\"hi\"\"\"\n"
      "ENVIRONMENT 2\n"
      "  \"USER\"  \"#alice smith#\"  \n"
      "  \"HOME\" , \"/home/alice\"\n"
      "HASHES 1 \"##\"\n"
      "WRAPPED 1 \"#Bern 2010#\" #x#\n"
      "LONG 2\n" +
      longValue + "\n" + std::string(254, ' ') + "X\n");
  EXPECT_EQ(record(0).value, Values{"\"say \"\"hi\"\"\""});
  EXPECT_EQ(record(1).value, (Values{"\"USER\"  \"alice smith\"", "\"HOME\" , \"/home/alice\""}));
  EXPECT_EQ(record(2).value, Values{""});
  EXPECT_EQ(record(3).value, Values{"Bern 2010"});
  EXPECT_EQ(record(4).value, (Values{std::string(255, 'v'), "X"}));
}

TEST_F(READINPFTest, EmptyFileGivesACompleteEmptyTable) {
  load("# only a comment\n\n   \n");
  EXPECT_EQ(inpKey.nKey, 0);
  EXPECT_TRUE(inpKey.keys.empty());
  EXPECT_EQ(inpKey.runPhase, 2);
}

TEST_F(READINPFTest, DeletionListNamesFilesOrKeywords) {
  load(
      "DELETE_FILES 3\n"
      "  TMPFIL\n"
      "  BLANKFIL\n"
      "  scratch.tmp\n"
      "TMPFIL 1 \"run.tmp\"\n"
      "TMPFIL 1 \"other.tmp\"\n"
      "BLANKFIL 0\n");
  EXPECT_EQ(inpKey.nDel, 3);
  EXPECT_EQ(inpKey.delFil, (Values{"run.tmp", "", "scratch.tmp"}));

  load("DELETE_FILES 1 first.tmp\nDELETE_FILES 2\n a.tmp\n b.tmp\n");
  EXPECT_EQ(inpKey.delFil, (Values{"a.tmp", "b.tmp"}));
  EXPECT_EQ(record(0).value, Values{"first.tmp"});

  load("DELETE_FILES 0\n");
  EXPECT_EQ(inpKey.nDel, 0);
  EXPECT_TRUE(inpKey.delFil.empty());
  load("DELETE_FILES -1\n");
  EXPECT_EQ(inpKey.nDel, 0);
}

TEST_F(READINPFTest, SameNameAgainKeepsTheTableOtherNamesReadAnew) {
  const std::string name = load("KEY 1 old\n");
  test::write_file(name, "KEY 1 new\n");
  READINPF(name, inpKey);
  EXPECT_EQ(record(0).value, Values{"old"});

  const std::string other = dir.file("other.inp");
  test::write_file(other, "OTHER 0\nDELETE_FILES 1 x\n");
  READINPF(other, inpKey);
  EXPECT_EQ(inpKey.inpFilNam, other);
  EXPECT_EQ(record(0).name, "OTHER");
  EXPECT_EQ(inpKey.delFil, Values{"x"});

  // A blank name takes the name from the command line, split by the shell.
  const std::string spaced = dir.file("my panel.inp");
  test::write_file(spaced, "SPACED 0\n");
  const std::string first = dir.file("my");
  const char* argv[] = {"kavril", first.c_str(), "panel.inp"};
  platform::set_command_line(3, argv);
  READINPF(" ", inpKey);
  EXPECT_EQ(inpKey.inpFilNam, spaced);
  EXPECT_EQ(record(0).name, "SPACED");
  platform::set_command_line(1, argv);
}

// The decoding-error block, followed by the stop notice of the run.
std::string decoding_error(const std::string& panel, const std::string& line) {
  return "\n*** SR READKEYS: Error decoding keyword line\n"
         "                 panel: " +
         panel +
         "\n"
         "                 line : " +
         line + "\n\n";
}

void READINPFTest::expect_decoding_error(const std::string& contents,
                                         const std::string& shownLine) {
  clear_messages();
  EXPECT_EXIT(load(contents), testing::ExitedWithCode(1), "") << contents;
  const std::string text = messages();
  EXPECT_EQ(text.substr(0, text.find("\n\n") + 2), decoding_error(dir.file("panel.inp"), shownLine))
      << contents;
}

TEST_F(READINPFDeathTest, UndecodableKeywordLinesStopTheRun) {
  expect_decoding_error("GOOD 0\nNOCOUNT\n", "NOCOUNT");
  expect_decoding_error("WORD many\n", "WORD many");
  expect_decoding_error("SLASH / 1\n", "SLASH / 1");
  expect_decoding_error("REPEAT 2*3\n", "REPEAT 2*3");
  expect_decoding_error("EMPTY,,1\n", "EMPTY,,1");
  expect_decoding_error("'OPEN 1 x\n", "'OPEN 1 x");
  expect_decoding_error("BIG 99999999999\n", "BIG 99999999999");
}

TEST_F(READINPFDeathTest, MissingOrUndecodableValuesStopTheRun) {
  expect_decoding_error("NOVALUE 1\n", "NOVALUE 1");
  expect_decoding_error("SHORT 3\n a\n b\n", "SHORT 3");
  expect_decoding_error("HUGE 2000000000\n a\n", "HUGE 2000000000");
  expect_decoding_error("BAD 2\n 'open\n b\n", "'open");
  expect_decoding_error("BAD 2\n a\n ,b\n", ",b");
}

TEST_F(READINPFDeathTest, AFileThatCannotBeOpenedStopsTheRun) {
  INIT_INPKEY(inpKey);
  EXPECT_EXIT(READINPF(dir.file("missing.inp"), inpKey), testing::ExitedWithCode(1), "");
  EXPECT_NE(messages().find(dir.file("missing.inp")), std::string::npos);
}

}  // namespace
}  // namespace kavril

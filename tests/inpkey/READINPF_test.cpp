#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

class READINPFTest : public test::KeywordTest {
 protected:
  // The table as text: a line per record, its name and each value in brackets.
  static std::string table() {
    std::string text;
    for (const t_key& key : inpKey.keys) {
      text += key.name;
      for (const std::string& value : key.value) text += " [" + value + "]";
      text += "\n";
    }
    return text;
  }
};
using READINPFDeathTest = READINPFTest;

TEST_F(READINPFTest, KeywordLinesValueLinesAndComments) {
  const std::string name = load(
      "# written by the menu\n\n   ! indented comment\n"
      "  NONE 0 \"ignored\" , 'x\n"
      "ONE 1 \"brdc1820.10n\" trailing items\n"
      "MANY 3\n  \"first\"\n  * a comment between the value lines\n  second,ignored\n\n  'x'\n"
      "NEGATIVE -2\n"
      "SLASHED 1 / value\n"
      "A_KEYWORD_OF_MORE_THAN_32_CHARACTERS 1 v\n"
      "ONE 1 \"second occurrence\"\n");
  EXPECT_EQ(table(),
            "NONE []\nONE [brdc1820.10n]\nMANY [first] [second] [x]\nNEGATIVE\nSLASHED []\n"
            "A_KEYWORD_OF_MORE_THAN_32_CHARAC [v]\nONE [second occurrence]\n");
  EXPECT_EQ(inpKey.nKey, 7);
  EXPECT_EQ(inpKey.inpFilNam, name);
  EXPECT_EQ(inpKey.runPhase, 2);

  load("# only a comment\n\n   \n");
  EXPECT_EQ(inpKey.nKey, 0);
  EXPECT_EQ(inpKey.runPhase, 2);
}

TEST_F(READINPFTest, VerbatimValuesHashMarksAndLongLines) {
  load(
      "QUOTE 1 \"say \"\"hi\"\"\"\n"
      "ENVIRONMENT 2\n  \"USER\"  \"#alice smith#\"  \n  \"HOME\" , \"/home\"\n"
      "HASHES 1 \"##\"\n"
      "WRAPPED 1 \"#Bern 2010#\" #x#\n"
      "FIELDS 2\n \"#x#\",\"#y y#\"\n \"#a\" \"b#\"\n"
      "LONG 2\n" +
      std::string(300, 'v') + "\n" + std::string(254, ' ') + "X\n");
  EXPECT_EQ(table(),
            "QUOTE [\"say \"\"hi\"\"\"]\n"
            "ENVIRONMENT [\"USER\"  \"alice smith\"] [\"HOME\" , \"/home\"]\n"
            "HASHES []\nWRAPPED [Bern 2010]\nFIELDS [\"x\",\"y y\"] [\"#a\" \"b#\"]\nLONG [" +
                std::string(255, 'v') + "] [X]\n");
}

TEST_F(READINPFTest, DeletionListNamesFilesOrKeywords) {
  load(
      "DELETE_FILES 3\n  TMPFIL\n  BLANKFIL\n  scratch.tmp\n"
      "TMPFIL 1 \"run.tmp\"\nTMPFIL 1 \"other.tmp\"\nBLANKFIL 0\n");
  EXPECT_EQ(inpKey.nDel, 3);
  EXPECT_EQ(inpKey.delFil, (std::vector<std::string>{"run.tmp", "", "scratch.tmp"}));
  // The list follows the last DELETE_FILES keyword; lookups find the first.
  load("DELETE_FILES 1 first.tmp\nDELETE_FILES 2\n a.tmp\n b.tmp\n");
  EXPECT_EQ(inpKey.delFil, (std::vector<std::string>{"a.tmp", "b.tmp"}));
  EXPECT_EQ(table(), "DELETE_FILES [first.tmp]\nDELETE_FILES [a.tmp] [b.tmp]\n");
  load("DELETE_FILES 0\n");
  EXPECT_EQ(inpKey.nDel, 0);
  EXPECT_TRUE(inpKey.delFil.empty());
}

TEST_F(READINPFTest, SameNameAgainKeepsTheTableOtherNamesReadAnew) {
  const std::string name = load("KEY 1 old\n");
  test::write_file(name, "KEY 1 new\n");
  READINPF(name, inpKey);
  EXPECT_EQ(table(), "KEY [old]\n");
  load("OTHER 0\n", "other.inp");
  EXPECT_EQ(table(), "OTHER []\n");

  // A blank name takes the name from the command line, as the shell split it.
  test::write_file(dir.file("my panel.inp"), "SPACED 0\n");
  const std::string first = dir.file("my");
  const char* argv[] = {"kavril", first.c_str(), "panel.inp"};
  platform::set_command_line(3, argv);
  READINPF(" ", inpKey);
  platform::set_command_line(1, argv);
  EXPECT_EQ(inpKey.inpFilNam, dir.file("my panel.inp"));
  EXPECT_EQ(table(), "SPACED []\n");
}

// Every failure shows the first faulty line of the file, whichever pass
// would meet it, with its line number.
TEST_F(READINPFDeathTest, UndecodableLinesAndMissingValuesStopTheRun) {
  constexpr const char* kDecoding = "Error decoding keyword line";
  constexpr const char* kSlash = "Value holding a slash must be in double quotes";
  constexpr const char* kFewer = "Fewer value lines than the count of the keyword line";
  const struct {
    const char* contents;
    const char* shownLine;
    int number;
    const char* what = kDecoding;
  } cases[] = {
      {"GOOD 0\n\n# c\nNOCOUNT\n", "NOCOUNT", 4},
      {"WORD many\n", "WORD many", 1},
      {"SLASH / 1\n", "SLASH / 1", 1},
      {"REPEAT 2*3\n", "REPEAT 2*3", 1},
      {"EMPTY,,1\n", "EMPTY,,1", 1},
      {"'OPEN 1 x\n", "'OPEN 1 x", 1},
      {"BIG 99999999999\n", "BIG 99999999999", 1},
      {"QUOTED \"1\" \"X\"\n", "QUOTED \"1\" \"X\"", 1},
      {"QUOTED '1' X\n", "QUOTED '1' X", 1},
      {"NOVALUE 1\n", "NOVALUE 1", 1},
      {"SHORT 3\n a\n b\n", "SHORT 3", 1, kFewer},
      {"HUGE 2000000000\n a\n", "HUGE 2000000000", 1, kFewer},
      {"BAD 2\n 'open\n b\n", "'open", 2},
      {"BAD 2\n a\n ,b\n", ",b", 3},
      // file order: a value that cannot be decoded before missing value lines
      {"FIRST 1 ok\nLATER 1 \"open\nLAST 3\n", "LATER 1 \"open", 2},
      {"KEY/WORD 0\n", "KEY/WORD 0", 1, kSlash},
      {"COUNT 1/ x\n", "COUNT 1/ x", 1, kSlash},
      {"LIST 2\n \"a/b\"\n out/\n", "out/", 3, kSlash},
  };
  for (const auto& c : cases) {
    clear_messages();
    EXPECT_EXIT(load(c.contents), testing::ExitedWithCode(1), "") << c.contents;
    const std::string block = std::string("\n*** SR READKEYS: ") + c.what + "\n" +
                              std::string(17, ' ') + "panel: " + dir.file("panel.inp") + "\n" +
                              std::string(17, ' ') + "line : " + c.shownLine + "\n" +
                              std::string(17, ' ') + "at   : line " + std::to_string(c.number) +
                              "\n\n";
    EXPECT_EQ(messages().substr(0, block.size()), block) << c.contents;
  }
}

// A slash standing alone still ends the line; text a count of 0 leaves
// unread is not looked at; tabs are blanks.
TEST_F(READINPFTest, SlashesThatEndTheLineAndTabs) {
  load("ALONE 1 x /a/b\nNONE 0 a/b\nQUOTED 1 \"a/b\"/c\n\t# tabbed comment\n\t\n"
       "\tTABS\t2\t\n\tone\t/\n\t\"two\"\t\n");
  EXPECT_EQ(table(), "ALONE [x]\nNONE []\nQUOTED [a/b]\nTABS [one] [two]\n");
}

}  // namespace
}  // namespace kavril

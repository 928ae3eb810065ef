// Integer option check: value statuses, results by severity, the reports and
// their alignment, and the misuse stops.
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

class CkoptiTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {{"DESCR_DESCRIBED", {"From the input file"}}});
    messages = dir.file("messages");
    test::messages_to(50, messages);
  }
  void TearDown() override { test::reset_run_state(); }
  std::string report() { return test::close_and_read(50, messages); }

  test::ScratchDir dir;
  std::string messages;
  int errCount = 10;
  int numBad = -5, numGood = -5, firstResult = -5, numValues = -5;
  std::vector<int> result = std::vector<int>(4, -5);

  CkoptiOptional all_outputs() {
    CkoptiOptional opt;
    opt.numBad = &numBad;
    opt.numGood = &numGood;
    opt.firstResult = &firstResult;
    opt.numValues = &numValues;
    opt.result = &result;
    return opt;
  }
};

const std::vector<std::string> kMixed = {"5", "   ", "x", "12"};

TEST_F(CkoptiTest, EachKindOfBadValueHasItsReportInOrder) {
  CkoptiOptional opt = all_outputs();
  opt.lowLimit = 1;
  opt.upLimit = 10;
  opt.errorVal = -9;
  opt.lineNum = 7;          // shown only for a keyword with one value
  opt.entryTitle = "entry";
  opt.colTitle = "Column title";
  CKOPTI(1, "KEY   ", kMixed, "CALLER  ", "My option", 0, errCount, opt);
  EXPECT_EQ(errCount, 13);
  EXPECT_EQ(numGood, 1);
  EXPECT_EQ(numBad, 3);
  EXPECT_EQ(numValues, 4);
  EXPECT_EQ(firstResult, 5);
  EXPECT_EQ(result, (std::vector<int>{5, -9, -9, -9}));
  const std::string head = "                Input file:  input.inp\n"
                           "                Called by:   CALLER\n"
                           "                Option:      My option\n"
                           "                Column:      Column title\n";
  EXPECT_EQ(report(),
            "\n *** SR CKOPTI: An integer string is expected for keyword \"KEY\"\n" + head +
                "                Bad value:   \" \"  in line 2\n"
                "                             An empty string is not allowed here!\n"
                "\n"
                "\n *** SR CKOPTI: An integer string is expected for keyword \"KEY\"\n" + head +
                "                Bad value:   \" x \"   in line 3\n"
                "                             The string could not be converted to an integer!\n"
                "\n"
                "\n *** SR CKOPTI: The value for keyword \"KEY\" exceeds the range.\n" + head +
                "                Bad value:    12     in line 4\n"
                "                Valid range: (  1 <= value <= 10 )\n"
                "\n");
}

TEST_F(CkoptiTest, EmptyValueReplacementIsValidWithoutALimitCheck) {
  CkoptiOptional opt = all_outputs();
  opt.lowLimit = 1;
  opt.upLimit = 10;
  opt.emptyVal = 0;
  CKOPTI(1, "KEY", kMixed, "CALLER", "My option", 0, errCount, opt);
  EXPECT_EQ(errCount, 12);
  EXPECT_EQ(numGood, 2);
  EXPECT_EQ(result, (std::vector<int>{5, 0, -5, -5}));  // no errorVal: bad ones keep theirs
  EXPECT_EQ(report().find("An empty string"), std::string::npos);
}

TEST_F(CkoptiTest, WarningsHandOutTheDecodedValuesAndCountNothing) {
  CkoptiOptional opt = all_outputs();
  opt.upLimit = 10;
  opt.errorVal = -9;
  CKOPTI(0, "KEY", {"x", "12", "1.5", "2147483648"}, "CALLER", "My option", 0, errCount, opt);
  EXPECT_EQ(errCount, 10);
  EXPECT_EQ(numBad, 4);
  EXPECT_EQ(result, (std::vector<int>{0, 12, 0, 0}));
  EXPECT_EQ(firstResult, 0);  // nothing valid: the first value's decoded value
  const std::string text = report();
  EXPECT_NE(text.find(" ### SR CKOPTI: An integer string is expected for keyword \"KEY\"\n"),
            std::string::npos);
  EXPECT_NE(text.find("                Bad value:   \" 2147483648 \"  in line 4\n"),
            std::string::npos);
  EXPECT_NE(text.find("                Expected:    ( value <= 10 )\n"), std::string::npos);
  EXPECT_EQ(text.find("***"), std::string::npos);
}

TEST_F(CkoptiTest, FirstItemOfAValueIsDecoded) {
  std::vector<int> decoded(8, 0);
  CkoptiOptional opt;
  opt.result = &decoded;
  CKOPTI(1, "KEY", {"7,8", "  -3 x", "+4", "-0", " 9/", "1e3", "\t5\t6", "\t"}, "CALLER", "", 0,
         errCount, opt);
  EXPECT_EQ(errCount, 13);
  EXPECT_EQ(decoded, (std::vector<int>{7, -3, 4, 0, 0, 0, 5, 0}));
}

TEST_F(CkoptiTest, SingleValueReportShowsEntryAndLineWithoutTag) {
  CkoptiOptional opt;
  opt.lowLimit = -5;
  opt.lineNum = 123456;  // wider than its 5 columns
  opt.entryTitle = "Station";
  opt.firstResult = &firstResult;
  opt.errorVal = 99;
  CKOPTI(1, "DESCRIBED", {"-17"}, "CALLER", "Caller's text", 0, errCount, opt);
  EXPECT_EQ(firstResult, 99);
  EXPECT_EQ(report(),
            "\n *** SR CKOPTI: The value for keyword \"DESCRIBED\" exceeds the range.\n"
            "                Input file:  input.inp\n"
            "                Called by:   CALLER\n"
            "                Option:      From the input file\n"
            "                Entry for:   Station\n"
            "                Line number: *****\n"
            "                Bad value:    -17\n"
            "                Expected:    ( value >= -5 )\n"
            "\n");
}

TEST_F(CkoptiTest, MissingKeywordOnlyCountsOneWhateverTheSeverity) {
  CkoptiOptional opt = all_outputs();
  opt.initVal = 3;
  opt.errorVal = -1;
  CKOPTI(0, "KEY", {" "}, "CALLER", "", 1, errCount, opt);
  EXPECT_EQ(errCount, 11);
  EXPECT_EQ(numBad, 99);
  EXPECT_EQ(numGood, 0);
  EXPECT_EQ(numValues, 0);
  EXPECT_EQ(firstResult, -1);
  EXPECT_EQ(result, (std::vector<int>{-1, -1, -1, -1}));
  EXPECT_EQ(report(), "");
}

TEST_F(CkoptiTest, TooManyValuesAreAnErrorEvenForWarnings) {
  CkoptiOptional opt = all_outputs();
  opt.maxVal = 2;
  opt.initVal = 3;
  CKOPTI(0, "KEY", kMixed, "CALLER", "", 0, errCount, opt);
  EXPECT_EQ(errCount, 11);
  EXPECT_EQ(numBad, 2);
  EXPECT_EQ(numGood, 0);
  EXPECT_EQ(firstResult, 3);
  const std::string text = report();
  EXPECT_NE(text.find(" *** SR CKOPTN: Too many items found for keyword \"KEY\".\n"),
            std::string::npos);
  EXPECT_EQ(text.find("CKOPTI"), std::string::npos);
}

TEST_F(CkoptiTest, LongDescriptionWarnsAndShowsItsFirst45Characters) {
  const std::string fifty = "A description of fifty characters, far too long.!";
  ASSERT_EQ(fifty.size() + 1, 50u);
  CKOPTI(1, "KEY", {"x"}, "CALLER", fifty + "!", 0, errCount);
  EXPECT_EQ(errCount, 11);
  const std::string text = report();
  EXPECT_EQ(text.substr(0, text.find("\n *** SR CKOPTI")),
            "\n"
            " ### SR CKOPTI: Dear programmer, please give a shorter description\n"
            "                for this option - not more than 45 chr. are possible\n"
            "                to get a \"nice\" error message.\n"
            "                You have a description with  50 characters.\n"
            "                Keyword:  KEY\n\n");
  EXPECT_NE(text.find("                Option:      " + fifty.substr(0, 45) + "\n"),
            std::string::npos);
}

TEST_F(CkoptiTest, MisuseStopsTheRun) {
  EXPECT_EXIT(CKOPTI(5, "KEY", {"1"}, "CALLER", "", 0, errCount), testing::ExitedWithCode(1), "");
  EXPECT_EQ(test::read_file(messages),
            "\n"
            " *** SR CKOPTI: Dear programmer, you did a FATAL ERROR!!!\n"
            "                The first parameter has to be \"0\" or \"1\".\n"
            "                Keyword:  KEY\n"
            "\n");

  CkoptiOptional opt = all_outputs();
  opt.maxVal = 5;
  EXPECT_EXIT(CKOPTI(1, "KEY", {"1"}, "CALLER", "", 0, errCount, opt),
              testing::ExitedWithCode(1), "");
  EXPECT_EQ(test::read_file(messages),
            "\n"
            " *** SR CKOPTI: Dear programmer, you did a FATAL ERROR!!!\n"
            "                The optional parameter \"maxVal\" is bigger than the\n"
            "                size of the \"result\" array.\n"
            "                Keyword:  KEY\n"
            "\n");
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

using Values = std::vector<std::string>;

const char* const kPanel =
    "ZERO 0\n"
    "THREE 3\n a\n b\n c\n"
    "NEGATIVE -1\n"
    "THREE 1 again\n";

class READKEYSTest : public test::KeywordTest {};

TEST_F(READKEYSTest, ValuesOfTheFirstOccurrence) {
  load(kPanel);
  Values keyValue{"stale", "stale"};
  int irCode = -1;
  READKEYS("ZERO", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_EQ(keyValue, Values{""});
  READKEYS("THREE   ", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_EQ(keyValue, (Values{"a", "b", "c"}));
  READKEYS("NEGATIVE", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_TRUE(keyValue.empty());
  READKEYS("ZERO", keyValue, irCode);  // fewer values than the call before
  EXPECT_EQ(keyValue, Values{""});
  EXPECT_EQ(messages(), "");
}

TEST_F(READKEYSTest, BlankAsksForTheFileNameAndStarForAllNames) {
  const std::string name = load(kPanel);
  Values keyValue;
  int irCode = -1;
  READKEYS("", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_EQ(keyValue, Values{name});
  READKEYS("*", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_EQ(keyValue, (Values{"ZERO", "THREE", "NEGATIVE", "THREE"}));

  load("\n");
  READKEYS("*", keyValue, irCode);
  EXPECT_EQ(irCode, 0);
  EXPECT_TRUE(keyValue.empty());
}

TEST_F(READKEYSTest, MissingKeywordsAreReportedExceptDummyKey) {
  const std::string name = load(kPanel);
  Values keyValue{"a", "b"};
  int irCode = -1;
  READKEYS("DUMMY_KEY", keyValue, irCode);
  EXPECT_EQ(irCode, 1);
  EXPECT_EQ(keyValue, Values{""});
  EXPECT_EQ(messages(), "");

  READKEYS("three", keyValue, irCode);  // lookups are case-sensitive
  EXPECT_EQ(irCode, 1);
  EXPECT_EQ(keyValue, Values{""});
  EXPECT_EQ(messages(), "\n *** SR READKEYS: Keyword \"three\" not found.\n" +
                            std::string(18, ' ') + "Input file name:  " + name + "\n\n");
  EXPECT_FALSE(TSTKEY("three"));
  EXPECT_TRUE(TSTKEY("THREE"));
}

TEST_F(READKEYSTest, NothingIsServedBeforeTheTableIsComplete) {
  load(kPanel);
  inpKey.runPhase = 1;
  Values keyValue;
  int irCode = -1;
  READKEYS("ZERO", keyValue, irCode);
  EXPECT_EQ(irCode, 1);
  EXPECT_EQ(keyValue, Values{""});
  READKEYS("MISSING", keyValue, irCode);
  EXPECT_FALSE(TSTKEY("ZERO"));
  EXPECT_EQ(messages(), "");
  INIT_INPKEY(inpKey);
}

TEST_F(READKEYSTest, KeywordsBeyond32CharactersNeverMatch) {
  load("A_KEYWORD_OF_EXACTLY_32_CHARACTE 1 x\n");
  Values keyValue;
  int irCode = -1;
  READKEYS("A_KEYWORD_OF_EXACTLY_32_CHARACTE", keyValue, irCode);
  EXPECT_EQ(keyValue, Values{"x"});
  EXPECT_FALSE(TSTKEY("A_KEYWORD_OF_EXACTLY_32_CHARACTERS"));
}

}  // namespace
}  // namespace kavril

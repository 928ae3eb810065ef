#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inpkey/inpkey.h"
#include "support/keyword_file.h"

namespace kavril {
namespace {

using Values = std::vector<std::string>;

class READKEYSTest : public test::KeywordTest {
 protected:
  Values lookup(std::string_view keyWord, int expectedCode) {
    READKEYS(keyWord, keyValue, irCode);
    EXPECT_EQ(irCode, expectedCode) << keyWord;
    return keyValue;
  }
  Values keyValue{"stale", "stale"};
  int irCode = -1;
};

TEST_F(READKEYSTest, ValuesNamesAndTheFileName) {
  const std::string name = load("ZERO 0\nTHREE 3\n a\n b\n c\nNEGATIVE -1\nTHREE 1 again\n");
  EXPECT_EQ(lookup("THREE   ", 0), (Values{"a", "b", "c"}));
  EXPECT_EQ(lookup("ZERO", 0), Values{""});  // fewer values than the call before
  EXPECT_EQ(lookup("NEGATIVE", 0), Values{});
  EXPECT_EQ(lookup("", 0), Values{name});
  EXPECT_EQ(lookup("*", 0), (Values{"ZERO", "THREE", "NEGATIVE", "THREE"}));
  EXPECT_EQ(lookup("DUMMY_KEY", 1), Values{""});
  EXPECT_EQ(messages(), "");
  EXPECT_TRUE(TSTKEY("THREE"));

  // Case-sensitive; a missing keyword is reported.
  EXPECT_EQ(lookup("three", 1), Values{""});
  EXPECT_FALSE(TSTKEY("three"));
  EXPECT_EQ(messages(), "\n *** SR READKEYS: Keyword \"three\" not found.\n" +
                            std::string(18, ' ') + "Input file name:  " + name + "\n\n");
}

TEST_F(READKEYSTest, NothingIsServedBeforeTheTableIsComplete) {
  load("ZERO 0\nA_KEYWORD_OF_EXACTLY_32_CHARACTE 1 x\n");
  EXPECT_FALSE(TSTKEY("A_KEYWORD_OF_EXACTLY_32_CHARACTERS"));
  EXPECT_EQ(lookup("A_KEYWORD_OF_EXACTLY_32_CHARACTE", 0), Values{"x"});
  inpKey.runPhase = 1;
  EXPECT_EQ(lookup("ZERO", 1), Values{""});
  EXPECT_EQ(lookup("MISSING", 1), Values{""});
  EXPECT_FALSE(TSTKEY("ZERO"));
  EXPECT_EQ(messages(), "");
}

}  // namespace
}  // namespace kavril

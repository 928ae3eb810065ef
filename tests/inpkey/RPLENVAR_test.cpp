#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/keyword_file.h"
#include "support/support.h"

namespace kavril {
namespace {

const std::string kPanel = std::string(
                               "ENVIRONMENT 8\n"
                               "  \"USER\" \"alice\"\n"
                               "  \"X\"    \"/data\"\n"
                               "  \"BAD\"  \"${USER}/x\"\n"
                               "  \"BAD\"  \"good\"\n"
                               "  \"V\"    \"$x\"\n"
                               "  \"'\"  \n"
                               "  \"E\" \"\"\n"
                               "  \"LONG\" \"") +
                           std::string(200, 'L') + "\"\n";

class RPLENVARTest : public test::KeywordTest {
 protected:
  void SetUp() override {
    KeywordTest::SetUp();
    load(kPanel);
  }
  // The text after substitution, without the blanks that pad it to its length.
  std::string replaced(std::string text, int mode = 0) {
    RPLENVAR(mode, text);
    return std::string(platform::trim_right(text));
  }
};
using RPLENVARDeathTest = RPLENVARTest;

TEST_F(RPLENVARTest, ReferencesAreReplacedByTheirDefinitions) {
  EXPECT_EQ(replaced("${USER}"), "alice");
  EXPECT_EQ(replaced("$X/brdc1820.10n"), "/data/brdc1820.10n");
  EXPECT_EQ(replaced("${BAD}"), "good");  // a definition holding "$" is never used
  EXPECT_EQ(replaced("a${E}b"), "ab");
  // Directly following references are resolved too.
  EXPECT_EQ(replaced("${X}${USER}$X"), "/dataalice/data");
  EXPECT_EQ(replaced("${E}${E}$X"), "/data");
}

TEST_F(RPLENVARTest, UnresolvedReferencesStayAndModeZeroIsSilent) {
  for (const char* text : {"${user}", "${V}", "$", "x$", "${}", "$ x", "${NONE}/${USER"}) {
    EXPECT_EQ(replaced(text), text);
  }
  EXPECT_EQ(replaced("a"), "a");
  EXPECT_EQ(messages(), "");
}

TEST_F(RPLENVARTest, ModeOneWarnsAndGoesOn) {
  EXPECT_EQ(replaced("${USER$X", 1), "${USER/data");
  EXPECT_EQ(replaced("${NONE}", 1), "${NONE}");
  EXPECT_EQ(messages(),
            "\n ### SR RPLENVAR: \"}\" is missing in: ${USER$X\n\n"
            "\n ### SR RPLENVAR: Variable NONE not resolved in: ${NONE}\n\n");
}

TEST_F(RPLENVARTest, TextsGrowUpTo255AndKeepALongerLength) {
  std::string grows = "${X}";
  RPLENVAR(0, grows);
  EXPECT_EQ(grows, "/data");
  std::string field = platform::fit("${X}${USER}", 300);
  RPLENVAR(0, field);
  EXPECT_EQ(field, platform::fit("/dataalice", 300));
  std::string twice = "${LONG}${LONG}";
  RPLENVAR(0, twice);
  EXPECT_EQ(twice, std::string(255, 'L'));
}

TEST_F(RPLENVARTest, WithoutEnvironmentNothingIsResolved) {
  load("USER 1 bob\n");
  std::string text = "${USER}";
  RPLENVAR(0, text);
  EXPECT_EQ(text, "${USER}");
}

TEST_F(RPLENVARDeathTest, ModeTwoStopsTheRun) {
  std::string text = "/x/${NONE}/y";
  EXPECT_EXIT(RPLENVAR(2, text), testing::ExitedWithCode(1), "");
  const std::string expected =
      "\n *** SR RPLENVAR: Variable NONE not resolved in: /x/${NONE}/y\n\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace kavril

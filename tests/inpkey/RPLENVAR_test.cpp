#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/keyword_file.h"

namespace kavril {
namespace {

class RPLENVARTest : public test::KeywordTest {
 protected:
  void SetUp() override {
    KeywordTest::SetUp();
    load(
        "ENVIRONMENT 8\n"
        "  \"USER\" \"alice\"\n  \"X\" \"/data\"\n"
        "  \"BAD\" \"${USER}/x\"\n  \"BAD\" \"good\"\n"
        "  \"V\" \"$x\"\n  \"'\"\n"  // the second cannot be decoded
        "  \"E\" \"\"\n"
        "  \"LONG\" \"" +
        std::string(200, 'L') + "\"\n");
  }
  // The text after substitution, without the blanks that pad it to its length.
  static std::string replaced(std::string text, int mode = 0) {
    RPLENVAR(mode, text);
    return std::string(platform::trim_right(text));
  }
};
using RPLENVARDeathTest = RPLENVARTest;

TEST_F(RPLENVARTest, ReferencesAreReplacedByUsableDefinitions) {
  EXPECT_EQ(replaced("${USER}"), "alice");
  EXPECT_EQ(replaced("$X/brdc1820.10n"), "/data/brdc1820.10n");
  EXPECT_EQ(replaced("${BAD}"), "good");  // a definition holding "$" is never used
  // References right after a replaced one are resolved too.
  EXPECT_EQ(replaced("${X}${USER}$X"), "/dataalice/data");
  EXPECT_EQ(replaced("${E}${E}$X"), "/data");
  for (const char* text : {"${user}", "${V}", "$", "x$", "${}", "$ x", "${NONE}/${USER"}) {
    EXPECT_EQ(replaced(text), text);
  }
  EXPECT_EQ(messages(), "");
}

TEST_F(RPLENVARTest, TextsGrowUpTo255AndKeepALongerLength) {
  std::string field = platform::fit("${X}${USER}", 300);
  RPLENVAR(0, field);
  EXPECT_EQ(field, platform::fit("/dataalice", 300));
  EXPECT_EQ(replaced("${LONG}${LONG}"), std::string(255, 'L'));
}

TEST_F(RPLENVARTest, ModeOneWarnsAndGoesOnWithoutEnvironmentNothingResolves) {
  EXPECT_EQ(replaced("${USER$X", 1), "${USER/data");
  EXPECT_EQ(replaced("${NONE}", 1), "${NONE}");
  EXPECT_EQ(messages(),
            "\n ### SR RPLENVAR: \"}\" is missing in: ${USER$X\n\n"
            "\n ### SR RPLENVAR: Variable NONE not resolved in: ${NONE}\n\n");
  load("USER 1 bob\n");
  EXPECT_EQ(replaced("${USER}"), "${USER}");
}

TEST_F(RPLENVARDeathTest, ModeTwoStopsTheRun) {
  EXPECT_EXIT(replaced("/x/${NONE}/y", 2), testing::ExitedWithCode(1), "");
  const std::string expected =
      "\n *** SR RPLENVAR: Variable NONE not resolved in: /x/${NONE}/y\n\n";
  EXPECT_EQ(messages().substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace kavril

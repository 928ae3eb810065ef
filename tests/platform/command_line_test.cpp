#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {
namespace {

TEST(CommandLine, ArgumentsExcludeTheProgramNameAndAreOneBased) {
  const char* argv[] = {"kavril", "my input", "second"};
  set_command_line(3, argv);
  EXPECT_EQ(argument_count(), 2);
  EXPECT_EQ(argument(1), "my input");
  EXPECT_EQ(argument(2), "second");
  EXPECT_EQ(argument(0), "");
  EXPECT_EQ(argument(3), "");
}

// Each parse starts afresh (the C library parser keeps state between calls),
// finds options before, between and after operands, and stops at "--". An
// option of a long name only is told by its place in the table.
TEST(CommandLine, OptionsAreParsedAfreshEveryTime) {
  const CommandOption options[] = {{'r', "rinex", true}, {0, "sort", false}, {'q', "quiet", false}};
  struct Parse {
    std::vector<const char*> argv;
    std::string given, operands, error;  // given as letter=value;...
  };
  const Parse parses[] = {
      {{"kavril", "a", "-qr3", "b", "--rinex", "2", "--", "-q"}, "q=;r=3;r=2;", "a,b,-q,", ""},
      {{"kavril", "-q", "x", "--rinex=3.04", "-", "--sort"}, "q=;r=3.04;sort=;", "x,-,", ""},
      {{"kavril", "x", "-qz"}, "q=;", "x,", "unknown option '-z'"},
      {{"kavril", "x", "--quiet", "--rinex"}, "q=;", "x,", "option '--rinex' needs a value"},
  };
  for (int round = 0; round < 2; ++round) {
    for (const Parse& parse : parses) {
      set_command_line(static_cast<int>(parse.argv.size()), parse.argv.data());
      std::vector<GivenOption> given;
      std::vector<std::string> operands;
      std::string error;
      EXPECT_EQ(parse_options(options, given, operands, error), parse.error.empty()) << parse.argv[1];
      std::string givenText, operandText;
      for (const GivenOption& option : given) {
        const CommandOption& named = options[option.index];
        givenText += (named.letter != 0 ? std::string{named.letter} : named.longName) + ("=" + option.value) + ";";
      }
      for (const std::string& operand : operands) operandText += operand + ",";
      EXPECT_EQ(error, parse.error);
      EXPECT_EQ(givenText + " " + operandText, parse.given + " " + parse.operands);
    }
  }
}

}  // namespace
}  // namespace kavril::platform

#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {
namespace {

TEST(MYGETARG, JoinsTheArgumentsWithSingleBlanks) {
  std::string text;
  const char* split[] = {"kavril", "  my", "panel file.inp  ", "", "x"};
  platform::set_command_line(5, split);
  MYGETARG(text);
  EXPECT_EQ(text, "my panel file.inp x");

  const std::string longArgument(300, 'a');
  const char* tooLong[] = {"kavril", "b", longArgument.c_str()};
  platform::set_command_line(3, tooLong);
  MYGETARG(text);
  // Cut at 255 before the final shift, which removes the leading blank.
  EXPECT_EQ(text, "b " + std::string(252, 'a'));

  const char* none[] = {"kavril"};
  platform::set_command_line(1, none);
  MYGETARG(text);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace kavril

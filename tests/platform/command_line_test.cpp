#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kavril::platform

// Input text quoted in messages.
#include <gtest/gtest.h>

#include <string>

#include "util/util.h"

namespace kavril {
namespace {

TEST(printable, KeepsPrintableAsciiAndMarksEveryOtherByte) {
  EXPECT_EQ(printable("BRDFIL 1 \"a b\" ~!"), "BRDFIL 1 \"a b\" ~!");
  EXPECT_EQ(printable(std::string("\0\t\r\x1b[31m\x7f", 9)), "????[31m?");
  EXPECT_EQ(printable("M\xc3\xbcnchen \x80\xff"), "M??nchen ??");  // one mark per byte
  EXPECT_EQ(printable(""), "");
}

}  // namespace
}  // namespace kavril

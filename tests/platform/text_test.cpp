#include <gtest/gtest.h>

#include "platform/platform.h"

namespace kavril::platform {
namespace {

TEST(Text, TrailingBlanksNeverMatter) {
  EXPECT_EQ(trim_right("ab  "), "ab");
  EXPECT_EQ(trim_right("  "), "");
  EXPECT_EQ(trim_right(" a\t"), " a\t");  // only the blank counts
  EXPECT_TRUE(is_blank(""));
  EXPECT_TRUE(is_blank("   "));
  EXPECT_FALSE(is_blank(" \t "));
  EXPECT_TRUE(same_text("ABC", "ABC   "));
  EXPECT_TRUE(same_text("", "  "));
  EXPECT_FALSE(same_text("ABC", "abc"));
  EXPECT_FALSE(same_text("AB", "ABC"));
  EXPECT_FALSE(same_text("AB C", "AB"));
}

TEST(Text, FitCutsOrPadsOnTheRight) {
  EXPECT_EQ(fit("abcdef", 3), "abc");
  EXPECT_EQ(fit("ab", 4), "ab  ");
  EXPECT_EQ(fit("", 0), "");
  std::string field = "previous content";
  assign_fit(field, "new", 5);
  EXPECT_EQ(field, "new  ");
  assign_fit(field, field, 2);  // a field assigned to itself
  EXPECT_EQ(field, "ne");
}

}  // namespace
}  // namespace kavril::platform

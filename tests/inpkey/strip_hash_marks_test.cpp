#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"

namespace kavril {
namespace {

std::string stripped(std::string value) {
  strip_hash_marks(value);
  return value;
}

TEST(HashMarks, EnclosingMarksAreRemoved) {
  EXPECT_EQ(stripped("##"), "");
  EXPECT_EQ(stripped("#Bern 2010#"), "Bern 2010");
  EXPECT_EQ(stripped("#text#   "), "text");
  EXPECT_EQ(stripped("#"), "#");
  EXPECT_EQ(stripped("#text"), "#text");
}

TEST(HashMarks, MarkedQuotedFieldsLoseTheirMarks) {
  EXPECT_EQ(stripped("\"#a b#\" \"c\""), "\"a b\" \"c\"");
  EXPECT_EQ(stripped("\"##\""), "\"\"");
  // The scan resumes at the closing quote, so a following field is handled too.
  EXPECT_EQ(stripped("\"#x#\",\"#y#\""), "\"x\",\"y\"");
  // Enclosing marks first, then the field inside.
  EXPECT_EQ(stripped("#\"#x#\"#"), "\"x\"");
}

TEST(HashMarks, UnclosedFieldsStayUnchanged) {
  EXPECT_EQ(stripped("\"#abc"), "\"#abc");
  EXPECT_EQ(stripped("\"#a\" b#\""), "\"#a\" b#\"");  // a quote ends the search
  EXPECT_EQ(stripped("\"#\""), "\"#\"");
}

TEST(DecodeItems, SlashesFailuresAndQuotes) {
  std::string items[3] = {"old1", "old2", "old3"};
  EXPECT_EQ(decode_items("KEY 1 / value", items), 2);
  EXPECT_EQ(items[0], "KEY");
  EXPECT_EQ(items[1], "1");
  EXPECT_EQ(items[2], "old3");  // not reached: keeps its content

  EXPECT_EQ(decode_items("'a, b/c' , \"d\"\"e\" f", items), 3);
  EXPECT_EQ(items[0], "a, b/c");
  EXPECT_EQ(items[1], "d\"e");
  EXPECT_EQ(items[2], "f");

  EXPECT_EQ(decode_items("KEY 1", items), -1);
  EXPECT_EQ(decode_items("KEY,,1 x", items), -1);
  EXPECT_EQ(decode_items("KEY 1 'open", items), -1);
}

}  // namespace
}  // namespace kavril

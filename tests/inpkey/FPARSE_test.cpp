#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"

namespace kavril {
namespace {

// The return code and the parts as "code|device|dir|name|ext".
std::string parse(int mode, std::string fileName) {
  std::string device, dir, name, ext;
  int irCode = -1;
  FPARSE(mode, fileName, device, dir, name, ext, irCode);
  return std::to_string(irCode) + "|" + device + "|" + dir + "|" + name + "|" + ext;
}

TEST(FPARSE, PartsReturnCodesAndSeparators) {
  EXPECT_EQ(parse(1, "C:\\GPSDATA\\ORB\\BRDC1820.10N"), "0|C:|\\GPSDATA\\ORB\\|BRDC1820.|10N");
  EXPECT_EQ(parse(0, "C:\\GPSDATA\\ORB\\BRDC1820.10N"), "0|C|\\GPSDATA\\ORB|BRDC1820|10N");
  // "/" separates directories too; a dot left of the directory end is no extension.
  EXPECT_EQ(parse(1, "  /data/run.d/brdc1820"), "0||/data/run.d/|brdc1820|");
  EXPECT_EQ(parse(0, "a\\b/c\\d.e"), "0||a\\b/c|d|e");
  // Separators out of order: all parts blank.
  EXPECT_EQ(parse(1, "C:\\DIR\\A:B.TXT"), "2||||");
  EXPECT_EQ(parse(1, "A.B:C"), "2||||");
  // No name.
  EXPECT_EQ(parse(0, "C:\\DIR\\.EXT"), "2|C|\\DIR||EXT");
  EXPECT_EQ(parse(1, "C:\\DIR\\.EXT"), "2|C:|\\DIR\\|.|EXT");
  EXPECT_EQ(parse(1, std::string("   \0\0", 5)), "1||||");
}

TEST(FPARSE, LeadingBlanksGoInPlaceTrailingNulsAreIgnored) {
  std::string fileName("   dir/name.ext\0\0  ", 19), device, dir, name, ext;
  int irCode = -1;
  FPARSE(1, fileName, device, dir, name, ext, irCode);
  EXPECT_EQ(fileName, std::string("dir/name.ext\0\0  ", 16));
  EXPECT_EQ(ext, "ext");
  EXPECT_EQ(LENGT0(std::string(" \0 \0", 4)), 0);
  EXPECT_EQ(LENGT0(std::string(" a\0b \0\0 ", 8)), 4);
}

}  // namespace
}  // namespace kavril

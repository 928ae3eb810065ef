#include <gtest/gtest.h>

#include <string>

#include "inpkey/inpkey.h"

namespace kavril {
namespace {

struct Parts {
  std::string spec, device, dir, name, ext;
  int irCode = -1;
};

Parts parse(int mode, std::string spec) {
  Parts p;
  FPARSE(mode, spec, p.device, p.dir, p.name, p.ext, p.irCode);
  p.spec = spec;
  return p;
}

TEST(FPARSE, BothModesSplitDeviceDirectoryNameAndExtension) {
  const Parts keep = parse(1, "C:\\GPSDATA\\ORB\\BRDC1820.10N");
  EXPECT_EQ(keep.device, "C:");
  EXPECT_EQ(keep.dir, "\\GPSDATA\\ORB\\");
  EXPECT_EQ(keep.name, "BRDC1820.");
  EXPECT_EQ(keep.ext, "10N");
  EXPECT_EQ(keep.irCode, 0);

  const Parts drop = parse(0, "C:\\GPSDATA\\ORB\\BRDC1820.10N");
  EXPECT_EQ(drop.device, "C");
  EXPECT_EQ(drop.dir, "\\GPSDATA\\ORB");
  EXPECT_EQ(drop.name, "BRDC1820");
  EXPECT_EQ(drop.ext, "10N");
  EXPECT_EQ(drop.irCode, 0);
}

TEST(FPARSE, SlashIsADirectorySeparatorAndDotsLeftOfItAreNoExtension) {
  const Parts p = parse(1, "/data/run.d/brdc1820");
  EXPECT_EQ(p.device, "");
  EXPECT_EQ(p.dir, "/data/run.d/");
  EXPECT_EQ(p.name, "brdc1820");
  EXPECT_EQ(p.ext, "");
  EXPECT_EQ(p.irCode, 0);
  // The rightmost of either separator ends the directory.
  EXPECT_EQ(parse(0, "a\\b/c\\d.e").dir, "a\\b/c");
}

TEST(FPARSE, SeparatorsOutOfOrderGiveCode2WithAllPartsBlank) {
  for (const char* spec : {"C:\\DIR\\A:B.TXT", "A.B:C"}) {
    const Parts p = parse(1, spec);
    EXPECT_EQ(p.irCode, 2) << spec;
    EXPECT_EQ(p.device + p.dir + p.name + p.ext, "") << spec;
  }
}

TEST(FPARSE, MissingNameGivesCode2) {
  EXPECT_EQ(parse(0, "C:\\DIR\\.EXT").irCode, 2);
  EXPECT_EQ(parse(1, "C:\\DIR\\.EXT").irCode, 2);
  EXPECT_EQ(parse(0, "C:\\DIR\\").irCode, 2);
}

TEST(FPARSE, BlankSpecificationGivesCode1AndLeadingBlanksAreRemovedInPlace) {
  EXPECT_EQ(parse(1, "").irCode, 1);
  EXPECT_EQ(parse(1, std::string("   \0\0", 5)).irCode, 1);

  const Parts p = parse(1, std::string("   dir/name.ext\0\0  ", 19));
  EXPECT_EQ(p.spec.substr(0, 12), "dir/name.ext");
  EXPECT_EQ(p.dir, "dir/");
  EXPECT_EQ(p.ext, "ext");
}

TEST(LENGT0, IgnoresTrailingBlanksAndNuls) {
  EXPECT_EQ(LENGT0(""), 0);
  EXPECT_EQ(LENGT0(std::string(" \0 \0", 4)), 0);
  EXPECT_EQ(LENGT0(std::string(" a\0b \0\0 ", 8)), 4);
}

TEST(CHRCOUNT, CountsTheFirstCharacterAndGivesItsFirstPosition) {
  int first = -1;
  EXPECT_EQ(CHRCOUNT("\"", "KEY 1 \"a\"\"b\"", first), 4);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(CHRCOUNT("ab", "xbxa", first), 1);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(CHRCOUNT("\"", "no quotes", first), 0);
  EXPECT_EQ(first, 0);
}

}  // namespace
}  // namespace kavril

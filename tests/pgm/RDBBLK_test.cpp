// The readers of the broadcast navigation file: title, satellite record,
// blocks of 20 numbers and the check of the ephemeris block.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "support/support.h"

namespace kavril {
namespace {

constexpr int kUnit = 42;

// A broadcast file with `text`, open on kUnit while the object lives.
class BroadcastFile {
 public:
  explicit BroadcastFile(std::string_view text) {
    test::write_file(dir_.file("input.brd"), text);
    EXPECT_EQ(platform::open_unit(kUnit, dir_.file("input.brd"), platform::OpenStatus::Old, true, true), 0);
  }
  ~BroadcastFile() { platform::close_unit(kUnit); }

 private:
  test::ScratchDir dir_;
};

using Block = std::array<double, 20>;

Block one_to_twenty() {
  Block b{};
  for (int i = 0; i < 20; ++i) b[i] = i + 1;
  return b;
}

TEST(RDBTIT, TitleIsColumnsOneTo53) {
  const std::string longTitle = std::string(53, 'T') + "CUT AFTER 53";
  BroadcastFile file(longTitle + "\nshort\n");
  std::string title;
  ASSERT_TRUE(RDBTIT(kUnit, title));
  EXPECT_EQ(title, std::string(53, 'T'));
  ASSERT_TRUE(RDBTIT(kUnit, title));
  EXPECT_EQ(title, "short" + std::string(48, ' '));
  EXPECT_FALSE(RDBTIT(kUnit, title));  // no line left: no title
}

TEST(RDBSAT, OnlyColumns12To14Count) {
  BroadcastFile file(
      "          12 \n"          // columns 11 to 12: only the 2 is in the field
      "12345678901 5 99\n"      // number elsewhere on the line is not seen
      "           + 5\n"        // a sign and inner blanks, like an I3 field
      "           -17\n"
      "           1 2\n"        // inner blanks are ignored
      "          \n"            // short line: blank field
      "              \n"        // blank field
      "             0\n"
      "           7");          // last line without a line end
  for (int expected : {2, 5, 5, -17, 12, 0, 0, 0, 7, 0}) EXPECT_EQ(RDBSAT(kUnit), expected);
}

TEST(RDBBLK, LayoutOfTheNumbersDoesNotMatter) {
  BroadcastFile file(
      "1 2 3 4\n5,6,7,8\n 9 , 10 11 12\n13 14 15 16\n17 18 19 20\n"  // 4 per line
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"          // all on one line
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 99 98 97\n"  // 3 more, ignored
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 not,checked/\n"
      "1 2 3\n\n4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n");    // empty line inside
  for (int i = 0; i < 5; ++i) {
    Block block{};
    RDBBLK(kUnit, block);
    EXPECT_EQ(block, one_to_twenty()) << "block " << i;
  }
}

TEST(RDBBLK, ExponentsAndSigns) {
  BroadcastFile file(
      "0.123D-05 0.123E-05 0.123d-05 0.123e-05 +.5 -5. 1D3 -0.0\n"
      "1.0D-400 4.9406564584124654D-324 -3.999999999999999999999999 0.1234567890123456789D+01\n"
      "1 2 3 4 5 6 7 8\n");
  Block block{};
  RDBBLK(kUnit, block);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(block[i], 0.123e-05) << i;
  EXPECT_EQ(block[4], 0.5);
  EXPECT_EQ(block[5], -5.0);
  EXPECT_EQ(block[6], 1000.0);
  EXPECT_EQ(block[7], 0.0);
  EXPECT_EQ(block[8], 0.0);  // underflow reads as the nearest double
  EXPECT_EQ(block[9], 4.9406564584124654e-324);
  EXPECT_EQ(block[10], -4.0);
  EXPECT_EQ(block[11], 1.234567890123456789);
}

TEST(RDBCHK, AcceptsWeeksThatFitAnIntAndNonNegativeAxes) {
  BroadcastFile file("");
  EphemerisArray eph{};
  for (double week : {0.0, 1590.0, 2147483647.4, -2147483647.4}) {
    eph[0] = week;
    for (double axis : {0.0, -0.0, 26560000.0}) {
      eph[2] = axis;
      RDBCHK(kUnit, eph);
    }
  }
}

}  // namespace
}  // namespace kavril

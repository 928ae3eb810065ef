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
  std::string name() const { return dir_.file("input.brd"); }

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

// `text` as a regular expression that matches exactly it.
std::string literal(std::string_view text) {
  std::string regex;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) regex += '\\';
    regex += c;
  }
  return regex;
}

// Runs `read` on a broadcast file holding `text` and expects the run to stop
// with status 1 after the input error report. The report goes to the message
// unit (standard output), which the dying child sends to standard error,
// where the death test looks.
template <typename Read>
void expect_input_error(std::string_view text, Read read, long line, std::string_view reason) {
  BroadcastFile file(text);
  const std::string report = "\n *** PG KAVRIL: Error reading broadcast file\n" + std::string(16, ' ') +
                             "File name  : " + file.name() + "\n" + std::string(16, ' ') +
                             "Line number: " + std::to_string(line) + "\n" + std::string(16, ' ') +
                             "Reason     : " + std::string(reason) + "\n\n";
  EXPECT_EXIT(
      {
        dup2(2, 1);
        read();
      },
      testing::ExitedWithCode(1), "^" + literal(report) + "$")
      << text;
}

void read_block() {
  Block block{};
  RDBBLK(kUnit, block);
}

TEST(RDBBLKDeathTest, AnythingButAPlainNumberStopsTheRun) {
  const std::string twenty = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n";
  expect_input_error(twenty + "1 2 3*1.0 4\n", [] { read_block(); read_block(); }, 2,
                     "Not a number: \"3*1.0\"");
  expect_input_error("1 2,,3\n", read_block, 1, "Empty value between two commas");
  for (const char* token : {"/", "1/", "nan", "NaN", "inf", "-Infinity", "0x1p3", "1.0D999",
                            "-1e309", "1.0.0", "1e", "--1", "1.0Q0", "\x01"}) {
    expect_input_error("0.5\n 1 " + std::string(token) + " 3\n", read_block, 2,
                       "Not a number: \"" + std::string(token) + "\"");
  }
  expect_input_error("1 2 3\n4 5\n", read_block, 2, "End of file after 5 of the 20 numbers of a block");
  expect_input_error("", read_block, 0, "End of file after 0 of the 20 numbers of a block");
  expect_input_error(std::string(30, ' ') + "x", read_block, 1, "Not a number: \"x\"");
}

TEST(RDBSATDeathTest, SatelliteFieldThatIsNoIntegerStopsTheRun) {
  const auto read_satellite = [] { RDBSAT(kUnit); };
  expect_input_error("           1x\n", read_satellite, 1,
                     "Satellite number in columns 12 to 14 is not an integer: \"1x\"");
  expect_input_error("\n           1.5\n", [] { RDBSAT(kUnit); RDBSAT(kUnit); }, 2,
                     "Satellite number in columns 12 to 14 is not an integer: \"1.5\"");
  expect_input_error("           +  \n", read_satellite, 1,
                     "Satellite number in columns 12 to 14 is not an integer: \"+  \"");
  expect_input_error("           \t12\n", read_satellite, 1,  // a tab is no blank
                     "Satellite number in columns 12 to 14 is not an integer: \"\t12\"");
}

TEST(RDBCHKDeathTest, WeekBeyondIntAndNegativeAxisStopTheRun) {
  const auto check = [](double week, double axis) {
    return [week, axis] {
      EphemerisArray eph{};
      eph[0] = week;
      eph[2] = axis;
      RDBCHK(kUnit, eph);
    };
  };
  expect_input_error("", check(2147483647.5, 1.0), 0,
                     "GPS week of the ephemeris block out of range: 0.214748364750D+10");
  expect_input_error("", check(-2147483648.0, 1.0), 0,
                     "GPS week of the ephemeris block out of range: -0.214748364800D+10");
  expect_input_error("", check(1590.0, -26560000.0), 0,
                     "Semi-major axis of the ephemeris block negative: -0.265600000000D+08");
}

}  // namespace
}  // namespace kavril

// The readers of the broadcast navigation file: title, satellite record,
// blocks of 20 numbers, the check of the ephemeris block, input errors.
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
  explicit BroadcastFile(std::string_view text) : name_(dir_.file("input.brd")) {
    test::write_file(name_, text);
    EXPECT_EQ(platform::open_unit(kUnit, name_, platform::OpenStatus::Old, true, true), 0);
  }
  ~BroadcastFile() { platform::close_unit(kUnit); }
  const std::string& name() const { return name_; }

 private:
  test::ScratchDir dir_;
  std::string name_;
};

using Block = std::array<double, 20>;

Block read_block() {
  Block block{};
  RDBBLK(kUnit, block);
  return block;
}

TEST(RDBTIT, TitleIsColumnsOneTo53) {
  BroadcastFile file(std::string(53, 'T') + "CUT\nshort\n");
  std::string title;
  ASSERT_TRUE(RDBTIT(kUnit, title));
  EXPECT_EQ(title, std::string(53, 'T'));
  ASSERT_TRUE(RDBTIT(kUnit, title));
  EXPECT_EQ(title, "short" + std::string(48, ' '));
  EXPECT_FALSE(RDBTIT(kUnit, title));  // no line: no title
}

TEST(RDBTIT, TitleIsCopiedAsItIs) {
  const std::string binary("A\tB\0C\x7f\x01\xff", 8);
  BroadcastFile file(binary + "\n");
  std::string title;
  ASSERT_TRUE(RDBTIT(kUnit, title));
  EXPECT_EQ(title, binary + std::string(45, ' '));
}

TEST(RDBSAT, OnlyColumns12To14Count) {
  BroadcastFile file(
      "          12 \n"       // only the 2 is in the field
      "12345678901 5 99\n"   // numbers elsewhere are not seen
      "           + 5\n"     // sign and inner blanks, as in an I3 field
      "          \t\t9\t\n"   // a tab counts as a blank
      "          \n"         // short line: a blank field ends the messages
      "             0\n"
      "           \t\t\t\n"   // a field of tabs is blank
      "           7");       // last line without a line end; then the end
  for (int expected : {2, 5, 5, 9, 0, 0, 0, 7, 0}) EXPECT_EQ(RDBSAT(kUnit), expected);
}

TEST(RDBBLK, NumbersInAnyLayoutAndExponentForm) {
  Block oneToTwenty{};
  for (int i = 0; i < 20; ++i) oneToTwenty[i] = i + 1;
  BroadcastFile file(
      "1 2 3 4\n5,6,7,8\n 9 , 10 11 12\n\n13 14 15 16\n17 18 19 20\n"  // 4 per line
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 99 x/,\n"    // rest ignored
      "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"
      "0.123D-05 0.123E-05 0.123d-05 0.123e-05 +.5 -5. 1D-400 4.9406564584124654D-324\n"
      "-3.999999999999999999999999 1 2 3 4 5 6 7 8 9 10 11\n");
  EXPECT_EQ(read_block(), oneToTwenty);
  EXPECT_EQ(read_block(), oneToTwenty);
  EXPECT_EQ(read_block(), oneToTwenty);
  const Block forms = read_block();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(forms[i], 0.123e-05) << i;
  EXPECT_EQ(forms[4], 0.5);
  EXPECT_EQ(forms[5], -5.0);
  EXPECT_EQ(forms[6], 0.0);  // underflow reads as the nearest double
  EXPECT_EQ(forms[7], 4.9406564584124654e-324);
  EXPECT_EQ(forms[8], -4.0);
}

// A regular expression that matches exactly `text`.
std::string exactly(std::string_view text) {
  std::string regex = "^";
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) regex += '\\';
    regex += c;
  }
  regex += '$';
  return regex;
}

// Runs `read` on a broadcast file holding `text` and expects the input error
// report and exit status 1. The report goes to the message unit (standard
// output), which the dying child sends to standard error for the death test.
template <typename Read>
void expect_input_error(std::string_view text, Read read, long line, std::string_view reason) {
  BroadcastFile file(text);
  const std::string indent(16, ' ');
  const std::string report = "\n *** PG KAVRIL: Error reading broadcast file\n" + indent +
                             "File name  : " + file.name() + "\n" + indent + "Line number: " +
                             std::to_string(line) + "\n" + indent + "Reason     : " +
                             std::string(reason) + "\n\n";
  EXPECT_EXIT((dup2(2, 1), read()), testing::ExitedWithCode(1), exactly(report)) << text;
}

TEST(RDBBLKDeathTest, AnythingButAPlainNumberStopsTheRun) {
  for (const char* token : {"3*1.0", "/", "1/", "nan", "inf", "-Infinity", "0x1p3", "1.0.0", "1e",
                            "--1", "1.0Q0"}) {
    expect_input_error("0.5\n 1 " + std::string(token) + " 3\n", read_block, 2,
                       "Not a number: \"" + std::string(token) + "\"");
  }
  // Bytes of a binary file are not copied into the report.
  expect_input_error(std::string("1\x01\x1b[2J\xff\0 2\n", 11), read_block, 1, "Not a number: \"1??[2J??\"");
  for (const char* token : {"1.0D999", "-1e309"}) {
    expect_input_error("0.5\n 1 " + std::string(token) + " 3\n", read_block, 2,
                       "Number beyond the range of double precision: \"" + std::string(token) + "\"");
  }
  expect_input_error("1 2,,3\n", read_block, 1, "Empty value between two commas");
  expect_input_error("1 2 3\n4 5\n", read_block, 2, "End of file after 5 of the 20 numbers of a block");
  expect_input_error("", read_block, 0, "End of file after 0 of the 20 numbers of a block");
}

TEST(RDBSATDeathTest, SatelliteFieldThatIsNoIntegerStopsTheRun) {
  const auto read_twice = [] { RDBSAT(kUnit), RDBSAT(kUnit); };
  const std::string reason = "Satellite number in columns 12 to 14 is not an integer: ";
  expect_input_error("\n           1x\n", read_twice, 2, reason + "\"1x\"");
  expect_input_error("\n           1.5\n", read_twice, 2, reason + "\"1.5\"");
  expect_input_error("           +  \n", read_twice, 1, reason + "\"+  \"");
  expect_input_error("           \x01" "12\n", read_twice, 1, reason + "\"?12\"");
  const std::string range = "Satellite number in columns 12 to 14 not between 1 and 99: ";
  for (const char* field : {"-17", "100", " -1", "999"}) {
    expect_input_error("           " + std::string(field) + "\n", read_twice, 1, range + "\"" + field + "\"");
  }
}

TEST(RDBCHKDeathTest, WeekBeyondIntAndNegativeAxisStopTheRun) {
  const auto check = [](double week, double axis) {
    return [week, axis] { RDBCHK(kUnit, EphemerisArray{week, 0.0, axis}); };
  };
  {
    BroadcastFile file("");
    for (double week : {0.0, 2147483647.4, -2147483648.0, -2147483648.4}) {
      for (double axis : {0.0, -0.0, 26560000.0}) check(week, axis)();  // accepted
    }
  }
  const std::string week = "GPS week of the ephemeris block out of range: ";
  expect_input_error("", check(2147483647.5, 1.0), 0, week + "0.214748364750D+10");
  expect_input_error("", check(-2147483648.5, 1.0), 0, week + "-0.214748364850D+10");
  expect_input_error("", check(-2147483649.0, 1.0), 0, week + "-0.214748364900D+10");
  expect_input_error("", check(1590.0, -26560000.0), 0,
                     "Semi-major axis of the ephemeris block negative: -0.265600000000D+08");
}

TEST(RDBTOCDeathTest, ClockTimeOrItsWeekBeyondTheIntRangeStopsTheRun) {
  const auto check = [](double toc, double week = 0.0, double toe = 0.0) {
    return [=] {
      EphemerisArray eph{};
      eph[0] = week;
      eph[1] = toe;
      ClockArray clock{};
      clock[10] = toc;
      RDBTOC(kUnit, eph, clock);
    };
  };
  {
    BroadcastFile file("");
    for (double toc : {0.0, 604800.0, -5.0, 1.2987e15, -1.2987e15}) check(toc)();  // accepted
    check(604784.0, 2147483647.0, 604784.0)();  // the last week of the int range
    check(0.0, -2147483647.0, 604784.0)();      // one week more
    check(604784.0, -2147483647.0, 0.0)();      // one week less: the first week
  }
  const std::string reason = "Clock reference time of the clock block out of range: ";
  expect_input_error("", check(1.2988e15), 0, reason + "0.129880000000D+16");
  expect_input_error("", check(-1e300), 0, reason + "-0.100000000000+301");
  // The half-week rule moves the week beyond the int range.
  expect_input_error("", check(0.0, 2147483647.0, 604784.0), 0,
                     "GPS week of the clock reference time out of range: 0.214748364800D+10");
}

}  // namespace
}  // namespace kavril

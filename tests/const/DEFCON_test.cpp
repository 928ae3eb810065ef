#include <gtest/gtest.h>

#include <string>

#include "const/const.h"
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

constexpr int kErrorUnit = 62;

class Defcon : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    constants = ConstantsBlock{};
  }
  void TearDown() override {
    test::reset_run_state();
    constants = ConstantsBlock{};
  }

  // A complete keyword table whose CONST keyword names a constants file
  // holding `contents`.
  void constants_file(const std::string& contents) {
    const std::string path = dir_.file("CONST.");
    test::write_file(path, contents);
    test::set_key_table(dir_.file("KAVRIL.INP"), {{"CONST", {path}}});
  }

  test::ScratchDir dir_;
};

// Lines in the file's columns: name 1-6, value field 10-25.
std::string line(const std::string& name, const std::string& value) {
  return platform::fit(name, 9) + value + "\n";
}

TEST_F(Defcon, ReadsKnownNamesExactlyAndDerivesWavelengthsAndSatelliteTables) {
  constants_file("CONSTANTS OF THE PROCESSING\n"
                 "\n" +
                 line("C", "3.D0") + line("FREQ1", "2") + line("FREQ2", "1.0E0,9") +
                 line("FRQE5a", "7/") + line("FRQE5A", "99") + line(" FREQ5", "99") +
                 line("freq1", "99") + line("GM", " -3.986004418D14") +
                 line("ET-UTC", "32.184 ignored") + line("HUMREF", "50.0") +
                 line("HUMREF", "60.0") + "WGTCOD   0.5           and a comment after column 25\n");
  DEFCON(1);

  EXPECT_EQ(constants.C, 3.0);
  EXPECT_EQ(constants.FREQ[0], 2.0);
  EXPECT_EQ(constants.FREQ[1], 1.0);
  EXPECT_EQ(constants.FREQ[2], 0.0);  // " FREQ5" is not "FREQ5"
  EXPECT_EQ(constants.FRQE[2], 7.0);  // only "FRQE5a" matches, case matters
  EXPECT_EQ(constants.GM, -3.986004418e14);
  EXPECT_EQ(constants.ETUTC, 32.184);
  EXPECT_EQ(constants.HUMREF, 60.0);  // the last line of a name wins
  EXPECT_EQ(constants.WGTCOD, 0.5);
  EXPECT_EQ(constants.constDefined, 1);

  const std::array<double, 5> wavelengths = {1.5, 3.0, 1.0, -1.5, 3.0};
  EXPECT_EQ(constants.WLGT, wavelengths);
  for (std::size_t sat = 0; sat < 100; ++sat) {
    EXPECT_EQ(constants.FREQSAT[sat][0], 2.0) << sat;
    EXPECT_EQ(constants.FREQSAT[sat][1], 1.0) << sat;
    EXPECT_EQ(constants.WLGTSAT[sat], wavelengths) << sat;
  }
  EXPECT_FALSE(platform::unit_connected(lfnLocal));
  EXPECT_EQ(runDate.size(), 9u);
  EXPECT_EQ(runTime.size(), 5u);
  EXPECT_DOUBLE_EQ(constants.PI, 3.14159265358979323846);
  EXPECT_DOUBLE_EQ(constants.R2D * constants.PI, 180.0);
  EXPECT_DOUBLE_EQ(constants.RA2S, 3600.0 * constants.R2D);
}

TEST_F(Defcon, EmptyFileLeavesConstantsZeroButMarksThemDefined) {
  constants.GM = 5.0;
  constants.WGTCOD = 0.25;
  constants_file("");
  DEFCON(1);
  EXPECT_EQ(constants.GM, 0.0);        // cleared before reading
  EXPECT_EQ(constants.WGTCOD, 0.25);   // the code weight is kept
  EXPECT_EQ(constants.C, 0.0);
  EXPECT_EQ(constants.constDefined, 1);
  EXPECT_FALSE(platform::unit_connected(lfnLocal));
}

TEST_F(Defcon, FlagOtherThanOneSetsOnlyPiAndRunDate) {
  inpKey = t_inpkey{};  // no keyword table: nothing may be looked up or opened
  DEFCON(0);
  EXPECT_DOUBLE_EQ(constants.PI, 3.14159265358979323846);
  EXPECT_EQ(constants.constDefined, 0);
  EXPECT_EQ(runDate[2], '-');
  EXPECT_FALSE(platform::unit_connected(lfnLocal));
}

// Runs DEFCON(1) in a child process that must stop with exit status 1;
// returns what it wrote to the message unit.
std::string stopped_run_messages(const std::string& errorPath) {
  EXPECT_EXIT(
      {
        test::messages_to(kErrorUnit, errorPath);
        DEFCON(1);
      },
      testing::ExitedWithCode(1), "");
  return test::read_file(errorPath);
}

TEST_F(Defcon, UndecodableOrBlankValueStopsWithTheLineShown) {
  constants_file(line("GM", "3.986D14") + line("C", "ABC") + line("FREQ1", "1"));
  EXPECT_EQ(stopped_run_messages(dir_.file("abc.err")),
            "\n *** SR DEFCON: ERROR DECODING DATA ON THE FOLLOWING LINE:\n"
            " C        ABC             \n\n");

  constants_file("FREQ2    \n");
  EXPECT_EQ(stopped_run_messages(dir_.file("blank.err")),
            "\n *** SR DEFCON: ERROR DECODING DATA ON THE FOLLOWING LINE:\n"
            " FREQ2                    \n\n");

  constants_file(line("FREQ2", "1.5.3"));
  EXPECT_NE(stopped_run_messages(dir_.file("malformed.err")).find(" FREQ2    1.5.3"),
            std::string::npos);
}

}  // namespace
}  // namespace kavril

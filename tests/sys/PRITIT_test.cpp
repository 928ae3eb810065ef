#include <gtest/gtest.h>

#include <string>

#include "const/const.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/program_output.h"
#include "sys/sys.h"

namespace kavril {
namespace {

constexpr const char* kDescription = "Transfer Orlanic navigation files to RINEX";

// The date of the block comes from the clock.
std::string masked(const std::string& block) { return test::mask_volatile(block); }

// A blank, `width` marks and the line end.
std::string rule(char mark, int width) {
  std::string line(1, ' ');
  line.append(static_cast<std::size_t>(width), mark);
  return line + '\n';
}

// The block down to the rule before the campaign, with the driver's arguments.
std::string block_head() {
  std::string head = "\n";
  head += rule('=', 79);
  head += " Orlanic GNSS Software, Version 5.2\n";
  head += rule('-', 79);
  head += " Program        : KAVRIL\n Purpose        : Transfer Orlanic navigation files to RINEX\n";
  head += rule('-', 79);
  return head;
}

class Pritit : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    constants.constDefined = 1;
  }
  void TearDown() override {
    test::reset_run_state();
    constants = ConstantsBlock{};
  }
};

TEST_F(Pritit, FullBlockWithTitleCampaignSessionAndUser) {
  test::set_key_table("KAVRIL.INP", {{"ENVIRONMENT", {"USER alice"}},
                       {"TITLE", {"Daily conversion   "}},
                       {"CAMPAIGN", {"  EXAMPLE"}},
                       {"SES_INFO", {"1230"}},
                       {"YR4_INFO", {"2026"}}});
  const test::Outputs out = test::capture_outputs([] { PRITIT("KAVRIL", kDescription); });

  const std::string expected = block_head() +
                               " Campaign       :   EXAMPLE\n"
                               " Default session: 1230 year 2026\n"
                               " Date           : DD-Mmm-YYYY HH:MM:SS\n"
                               " User name      : alice\n" +
                               rule('=', 79) + "\n\n Daily conversion\n" + rule('-', 79) + "\n\n";
  EXPECT_EQ(masked(out.print), expected);
  EXPECT_EQ(out.error, "");
  EXPECT_EQ(pgmNam, "KAVRIL  ");
}

TEST_F(Pritit, WithoutKeywordsWarnsAboutTitleAndUsesDefaults) {
  test::set_key_table("KAVRIL.INP", {{"BRDFIL", {"brdc1820.10n"}}});
  const test::Outputs out = test::capture_outputs([] { PRITIT("KAVRIL", kDescription); });

  const std::string expected = block_head() +
                               " Campaign       :\n"
                               " Default session: unknown\n"
                               " Date           : DD-Mmm-YYYY HH:MM:SS\n"
                               " User name      : none\n" +
                               rule('=', 79) + "\n\n";
  EXPECT_EQ(masked(out.print), expected);
  // Only the title warning: keywords not in the input file are not looked up.
  EXPECT_EQ(out.error, "\n ### SR PRITIT: Please enter a title to characterize the program run.\n\n");
}

TEST_F(Pritit, SessionNeedsBothPartsAndUserNeedsADefinition) {
  test::set_key_table("KAVRIL.INP", {{"TITLE", {"t"}},
                       {"SES_INFO", {"1230"}},
                       {"YR4_INFO", {"  "}},
                       {"ENVIRONMENT", {"HOME /home/alice"}}});
  const test::Outputs out = test::capture_outputs([] { PRITIT("KAVRIL", kDescription); });
  EXPECT_NE(out.print.find(" Default session: unknown\n"), std::string::npos);
  EXPECT_NE(out.print.find(" User name      : none\n"), std::string::npos);
}

TEST_F(Pritit, BlankDescriptionDropsPurposeLineAndWarns) {
  test::set_key_table("KAVRIL.INP", {{"TITLE", {"t"}}});
  const test::Outputs out = test::capture_outputs([] { PRITIT("KAVRIL", "   "); });
  EXPECT_EQ(out.print.find("Purpose"), std::string::npos);
  EXPECT_NE(out.print.find(" Program        : KAVRIL\n" + rule('-', 79)), std::string::npos);
  EXPECT_EQ(out.error, "\n ### SR PRITIT: There should be a short description of the program.\n\n");
}

TEST_F(Pritit, WidthCutsRulesAndTextLines) {
  const std::string longTitle = std::string(50, 'a') + std::string(70, 'b');
  test::set_key_table("KAVRIL.INP", {{"TITLE", {longTitle}}});
  const std::string at79 =
      test::capture_outputs([] { PRITIT("KAVRIL", kDescription); }).print;
  EXPECT_NE(at79.find("\n " + longTitle.substr(0, 79) + "\n"), std::string::npos);

  const std::string at40 =
      test::capture_outputs([] { PRITIT("KAVRIL", kDescription, 40); }).print;
  EXPECT_NE(at40.find("\n" + rule('=', 40)), std::string::npos);
  EXPECT_NE(at40.find("\n " + longTitle.substr(0, 40) + "\n" + rule('-', 40)), std::string::npos);
  EXPECT_NE(at40.find("\n Purpose        : Transfer Orlanic naviga\n"), std::string::npos);
  // Every line holds at most the leading blank and 40 characters.
  std::size_t start = 0;
  for (std::size_t end; (end = at40.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start, 41u) << at40.substr(start, end - start);
  }
}

TEST_F(Pritit, RunDateIsSetOnlyWhenConstantsWereNotRead) {
  test::set_key_table("KAVRIL.INP", {{"TITLE", {"t"}}});
  runDate = "XXXXXXXXX";
  test::capture_outputs([] { PRITIT("KAVRIL", kDescription); });
  EXPECT_EQ(runDate, "XXXXXXXXX");
  constants.constDefined = 0;
  test::capture_outputs([] { PRITIT("KAVRIL", kDescription); });
  EXPECT_EQ(runDate[2], '-');
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <string>

#include "support/run_state.h"
#include "sys/program_output.h"
#include "sys/sys.h"

namespace kavril {
namespace {

// A blank, n dashes and the line end.
std::string dashes(int n) {
  std::string line(1, ' ');
  line.append(static_cast<std::size_t>(n), '-');
  return line + '\n';
}

std::string head(int underline, int width) {
  return " INPUT AND OUTPUT FILENAMES\n" + dashes(underline) + "\n" + dashes(width);
}

std::string tail(int width) { return dashes(width) + "\n\n"; }

class Prflna : public testing::Test {
 protected:
  void SetUp() override { test::reset_run_state(); }
  void TearDown() override { test::reset_run_state(); }
};

TEST_F(Prflna, KnownSystemFilesFirstOwnFilesInInputOrderAuxiliaryFilesLast) {
  test::set_key_table("KAVRIL.INP", {
      {"DESCR_SYSOUT", {"Program output"}},
      {"SYSOUT", {"KAVRIL.OUT"}},
      {"DESCR_BRDFIL", {"Broadcast files"}},
      {"BRDFIL", {"brdc1820.10n", "brdc1830.10n"}},
      {"RXNFIL", {"  "}},
      {"DESCR_RXNFIL", {"RINEX navigation files"}},
      {"DESCR_CONST", {"General constants"}},
      {"CONST", {"${X}/CONST."}},
      {"descr_ABBREV", {"lower-case prefix: not a description"}},
      {"DESCR_SYSERR", {}},
      {"SYSERR", {}},
  });
  const test::Outputs out = test::capture_outputs([] { PRFLNA(79); });
  EXPECT_EQ(out.print, head(26, 79) +
                           " General constants               : ${X}/CONST.\n"
                           " Broadcast files                 : brdc1820.10n\n"
                           " RINEX navigation files          :  ---\n"
                           " Program output                  : KAVRIL.OUT\n"
                           "                                 :  ---\n" +
                           tail(79));
  EXPECT_EQ(out.error, "");
}

TEST_F(Prflna, DescriptionsAndNamesAreCutToTheirColumns) {
  test::set_key_table("KAVRIL.INP", {
      {"DESCR_ORBFIL", {"A description that is longer than the column"}},
      {"ORBFIL", {"/a/rather/long/path/to/the/orbit/file.pre"}},
      {"DESCR_MISSING", {"File keyword not in the input"}},
  });
  const test::Outputs out = test::capture_outputs([] { PRFLNA(); });
  EXPECT_EQ(out.print, head(26, 79) +
                           " A description that is longer tha: /a/rather/long/path/to/the/orbit\n"
                           " File keyword not in the input   :  ---\n" +
                           tail(79));
  // The lookup of the missing file keyword reports it.
  EXPECT_NE(out.error.find("Keyword \"MISSING\" not found."), std::string::npos);
}

TEST_F(Prflna, RuleWidthsFollowTheLineWidth) {
  test::set_key_table("KAVRIL.INP", {});
  EXPECT_EQ(test::capture_outputs([] { PRFLNA(20); }).print, head(20, 20) + tail(20));
  EXPECT_EQ(test::capture_outputs([] { PRFLNA(40); }).print, head(26, 40) + tail(40));
  EXPECT_EQ(test::capture_outputs([] { PRFLNA(300); }).print, head(26, 255) + tail(255));
  EXPECT_EQ(test::capture_outputs([] { PRFLNA(0); }).print, head(0, 0) + tail(0));
  EXPECT_EQ(test::capture_outputs([] { PRFLNA(-5); }).print, head(0, 0) + tail(0));
}

}  // namespace
}  // namespace kavril

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

constexpr int kPrintUnit = 61;

// Runs `action` with the program output on a scratch file; returns what was
// written there, and in `stdOut` what went to standard output.
template <typename Action>
std::string program_output(Action action, std::string& stdOut) {
  test::ScratchDir dir;
  const std::string path = dir.file("print.out");
  EXPECT_EQ(platform::open_unit(kPrintUnit, path, platform::OpenStatus::Unknown, true, false), 0);
  lfnPrint = kPrintUnit;
  platform::flush_all();
  testing::internal::CaptureStdout();
  action();
  platform::flush_all();
  stdOut = testing::internal::GetCapturedStdout();
  platform::close_unit(kPrintUnit);
  lfnPrint = 6;
  return test::read_file(path);
}

// Timing figures vary from run to run: mask them.
std::string masked(const std::string& text) { return test::mask_volatile(text); }

class CpuEnd : public testing::Test {
 protected:
  void SetUp() override { test::reset_run_state(); }
  void TearDown() override {
    test::reset_run_state();
    CPU_START(false);
  }
};

TEST_F(CpuEnd, WritesTimingLineToStandardOutputAndEndOfRunBlockToProgramOutput) {
  CPU_START(true);
  pgmNam = "KAVRIL  ";
  std::string stdOut;
  const std::string print = program_output([] { CPU_END(0); }, stdOut);
  const std::string line = ">>> CPU/Real time for pgm \"KAVRIL\": H:MM:SS.mmm / H:MM:SS.mmm";
  EXPECT_EQ(masked(stdOut), "\n" + line + "\n\n");
  EXPECT_EQ(masked(print), "\n\n" + std::string(65, '-') + "\n" + line +
                               "\n>>> Program finished successfully\n\n");
}

TEST_F(CpuEnd, ReturnCodeOneCountsAsSuccessAndTwoAsError) {
  CPU_START(true);
  pgmNam = "KAVRIL  ";
  std::string stdOut;
  EXPECT_NE(program_output([] { CPU_END(1); }, stdOut).find(">>> Program finished successfully\n"),
            std::string::npos);
  EXPECT_NE(program_output([] { CPU_END(2); }, stdOut).find(">>> Program ended with an error\n"),
            std::string::npos);
}

TEST_F(CpuEnd, NothingWithoutProgramNameOrWithoutStartedTiming) {
  std::string stdOut;
  CPU_START(true);
  EXPECT_EQ(program_output([] { CPU_END(0); }, stdOut), "");
  EXPECT_EQ(stdOut, "");

  CPU_START(false);
  pgmNam = "KAVRIL  ";
  EXPECT_EQ(program_output([] { CPU_END(0); }, stdOut), "");
  EXPECT_EQ(stdOut, "");
  EXPECT_EQ(program_output([] { CPU_NOW("step"); }, stdOut), "");
  EXPECT_EQ(stdOut, "");
}

TEST_F(CpuEnd, IntermediateLineShowsLabelAndTimesSinceStartAndSinceLastLine) {
  CPU_START(true);
  pgmNam = "KAVRIL  ";
  std::string stdOut;
  const std::string print = program_output([] { CPU_NOW("reading   "); }, stdOut);
  EXPECT_EQ(print, "");
  EXPECT_EQ(masked(stdOut), "\n>>> CPU/Real time at \"reading\": H:MM:SS.mmm / H:MM:SS.mmm  ( H:MM:SS.mmm / H:MM:SS.mmm )\n\n");
}

}  // namespace
}  // namespace kavril

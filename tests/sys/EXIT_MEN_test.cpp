// Return code into the menu-auxiliary program's input file (sibling program
// HOLDRIM only).
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

using test::read_file;
using test::write_file;

class ExitMenTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {});
    inpKey.runPhase = 3;  // as during the exit steps
    menuAuxFile = dir.file("holdrim.inp");
  }
  void TearDown() override { test::reset_run_state(); }
  test::ScratchDir dir;
};

TEST_F(ExitMenTest, OnlyTheReturnCodeLineChanges) {
  const std::string longLine(300, 'x');
  write_file(menuAuxFile, "TITLE  1  \"run\"   \n"
                          "HOLDRIM_IRCODE  1  \"0\"\n"
                          "  HOLDRIM_IRCODE not at column 1\n"
                          "\n" + longLine + "\n"
                          "LAST  0");
  pgmNam = "HOLDRIM ";
  EXIT_MEN(2);
  EXPECT_EQ(read_file(menuAuxFile), "TITLE  1  \"run\"\n"
                                    "HOLDRIM_IRCODE  1  \"2\"\n"
                                    "  HOLDRIM_IRCODE not at column 1\n"
                                    "\n" + longLine + "\n"
                                    "LAST  0\n");
  EXIT_MEN(0);
  EXPECT_NE(read_file(menuAuxFile).find("HOLDRIM_IRCODE  1  \"0\"\n"), std::string::npos);
}

TEST_F(ExitMenTest, ARunOfMoreThanThousandEmptyLinesEndsTheFile) {
  std::string contents = "HOLDRIM_IRCODE  1  \"0\"\n";
  for (int i = 0; i < 1001; ++i) contents += "\n";
  contents += "DROPPED  0\n";
  write_file(menuAuxFile, contents);
  pgmNam = "HOLDRIM ";
  EXIT_MEN(2);
  EXPECT_EQ(read_file(menuAuxFile), "HOLDRIM_IRCODE  1  \"2\"\n");
}

TEST_F(ExitMenTest, OtherProgramsAndMissingFilesChangeNothing) {
  write_file(menuAuxFile, "HOLDRIM_IRCODE  1  \"0\"   \n");
  pgmNam = "KAVRIL  ";
  EXIT_MEN(2);
  EXPECT_EQ(read_file(menuAuxFile), "HOLDRIM_IRCODE  1  \"0\"   \n");

  pgmNam = "HOLDRIM ";
  menuAuxFile = dir.file("missing.inp");
  EXIT_MEN(2);  // returns silently
  EXPECT_FALSE(std::filesystem::exists(menuAuxFile));
}

}  // namespace
}  // namespace kavril

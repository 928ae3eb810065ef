// Inquiries by unit and by file name with optional answers.
#include <gtest/gtest.h>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "support/run_state.h"
#include "support/support.h"
#include "sys/sys.h"

namespace kavril {
namespace {

class InquireTest : public testing::Test {
 protected:
  void SetUp() override {
    test::reset_run_state();
    test::set_key_table("input.inp", {{"ENVIRONMENT", {"\"D\" \"" + dir.path().string() + "\""}}});
    file = dir.file("held.txt");
    test::write_file(file, "x\n");
    ASSERT_EQ(platform::open_unit(40, file, platform::OpenStatus::Old, true, false), 0);
  }
  void TearDown() override { test::reset_run_state(); }
  test::ScratchDir dir;
  std::string file;
};

TEST_F(InquireTest, ByUnit) {
  std::string name = "untouched";
  bool exist = false, opened = false;
  int number = 7;
  InquireArgs args;
  args.unit = 40;
  args.file = "ignored";
  args.name = &name;
  args.exist = &exist;
  args.opened = &opened;
  args.number = &number;
  INQUIRE(args);
  EXPECT_EQ(platform::trim_right(name), file);
  EXPECT_TRUE(exist);
  EXPECT_TRUE(opened);
  EXPECT_EQ(number, 7);  // a unit inquiry leaves the number alone

  args.unit = 41;
  INQUIRE(args);
  EXPECT_TRUE(exist);
  EXPECT_FALSE(opened);
}

TEST_F(InquireTest, ByFileNameWithVariables) {
  std::string name = "untouched";
  bool exist = false, opened = false;
  int number = 0;
  InquireArgs args;
  args.file = "${D}/held.txt";
  args.name = &name;
  args.exist = &exist;
  args.opened = &opened;
  args.number = &number;
  INQUIRE(args);
  EXPECT_TRUE(exist);
  EXPECT_TRUE(opened);
  EXPECT_EQ(number, 40);
  EXPECT_EQ(name, "untouched");

  args.file = "${D}/missing.txt";
  INQUIRE(args);
  EXPECT_FALSE(exist);
  EXPECT_FALSE(opened);
  EXPECT_EQ(number, -1);

  // Neither unit nor file: nothing is answered.
  exist = true;
  INQUIRE(InquireArgs{.unit = std::nullopt, .file = std::nullopt, .name = nullptr,
                      .exist = &exist, .opened = nullptr, .number = nullptr});
  EXPECT_TRUE(exist);
}

}  // namespace
}  // namespace kavril

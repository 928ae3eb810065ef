#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/support.h"

namespace kavril::platform {
namespace {

std::string run(std::string_view layout, std::initializer_list<Arg> args) {
  std::string out;
  Layout(layout).format(out, args);
  return out;
}

TEST(Layout, DescriptorsAndLiterals) {
  EXPECT_EQ(run("(1X,A,I5)", {"N:", 42}), " N:   42\n");
  EXPECT_EQ(run("(A5,'|',A2,'|')", {"ab", "abcdef"}), "ab   |ab|\n");
  EXPECT_EQ(run("('it''s',\"say \"\"x\"\"\")", {}), "it'ssay \"x\"\n");
  EXPECT_EQ(run("(F5.1, 2X, L3)", {59.95, true}), " 60.0    T\n");
  EXPECT_EQ(run("(I2.2,':',I2.2)", {7, 5}), "07:05\n");
  EXPECT_EQ(run("( 3X , 2 D19.12 )", {1.0, -2.0}), "    0.100000000000D+01-0.200000000000D+01\n");
  EXPECT_EQ(run("(4X,2es19.12)", {1.0, -2.0}), "     1.000000000000E+00-2.000000000000E+00\n");
  EXPECT_EQ(run("(E12.4)", {1234.5}), "  0.1234E+04\n");  // exact tie: to even
  EXPECT_EQ(run("(i3,a)", {1, "lower"}), "  1lower\n");
}

TEST(Layout, SlashesMakeLinesAndEmptyLinesAtTheEnds) {
  EXPECT_EQ(run("(/,A,/)", {"text"}), "\ntext\n\n");
  EXPECT_EQ(run("(A/A)", {"a", "b"}), "a\nb\n");
  EXPECT_EQ(run("(/,A,2(/,16X,A),/)", {"x", "y", "z"}),
            "\nx\n" + std::string(16, ' ') + "y\n" + std::string(16, ' ') + "z\n\n");
  EXPECT_EQ(run("(/)", {}), "\n\n");
  EXPECT_EQ(run("(2/)", {}), "\n\n\n");
}

TEST(Layout, OutputStopsAtTheFirstDescriptorWithoutItem) {
  EXPECT_EQ(run("(A,I3,A)", {"x", 5}), "x  5\n");
  EXPECT_EQ(run("(A,I3,'lit',2X,I2)", {"x", 5}), "x  5lit  \n");
  EXPECT_EQ(run("(/,A,I5,/16X,A,/)", {"only"}), "\nonly\n");
  EXPECT_EQ(run("(A)", {}), "\n");
}

TEST(Layout, ReversionRestartsAtTheLastTopLevelGroup) {
  EXPECT_EQ(run("(2(A,I3))", {"x", 5, "y", 6, "z"}), "x  5y  6\nz\n");
  EXPECT_EQ(run("(A,(A,I3))", {"x", "y", 5, "z", 6}), "xy  5\nz  6\n");
  EXPECT_EQ(run("(I3)", {1, 2, 3}), "  1\n  2\n  3\n");
  EXPECT_EQ(run("('no data')", {1}), "no data\n");  // nothing to take the item: no endless loop
}

TEST(Layout, ListsSupplyOneItemPerElement) {
  const std::vector<double> reals = {1.0, 2.0, 3.0, 4.0, 5.0};
  const std::vector<int> ints = {1, 2};
  std::string out;
  static const Layout kLine("(3X,4D19.12)");
  kLine.format(out, {std::span<const double>(reals)});
  EXPECT_EQ(out,
            "    0.100000000000D+01 0.200000000000D+01 0.300000000000D+01 0.400000000000D+01\n"
            "    0.500000000000D+01\n");
  // A repeated descriptor takes its values across list ends and single items.
  const std::span<const double> two(reals.data(), 2);
  EXPECT_EQ(run("(4D10.3)", {two, 3.0, two.first(1)}), " 0.100D+01 0.200D+01 0.300D+01 0.100D+01\n");
  EXPECT_EQ(run("(2D10.3,A)", {two.first(1), 5.0, "!"}), " 0.100D+01 0.500D+01!\n");
  EXPECT_EQ(run("(3F5.1,E10.3)", {two, 3.0, two.first(1)}), "  1.0  2.0  3.0 0.100E+01\n");
  EXPECT_EQ(run("(I2,I2,A)", {std::span<const int>(ints), "!"}), " 1 2!\n");
  EXPECT_EQ(run("(I2,A)", {std::span<const int>(), 3, "!"}), " 3!\n");
}

TEST(Layout, MalformedLayoutsAndMismatchedItemsAbort) {
  EXPECT_DEATH(Layout("A,I5"), "layout");
  EXPECT_DEATH(Layout("(A,I5"), "layout");
  EXPECT_DEATH(Layout("(Q5)"), "layout");
  EXPECT_DEATH(run("(I5)", {1.5}), "does not suit");
  EXPECT_DEATH(run("(D19.12)", {3}), "does not suit");
  EXPECT_DEATH(run("(I5)", {"text"}), "does not suit");
}

TEST(Layout, WritesToUnits) {
  test::ScratchDir dir;
  const std::string name = dir.file("out");
  ASSERT_EQ(open_unit(50, name, OpenStatus::New, true, false), 0);
  static const Layout kMessage("(/,A,/)");
  EXPECT_EQ(kMessage.write(50, {" *** SR X: text"}), 0);
  EXPECT_EQ(write_layout(50, "(A,I4)", {"n=", 12}), 0);
  EXPECT_EQ(write_list(50, {"Cannot close LFN", 998, 1.5, false}), 0);
  EXPECT_EQ(write_list(50, {}), 0);
  ASSERT_EQ(close_unit(50), 0);
  EXPECT_EQ(test::read_file(name), "\n *** SR X: text\n\nn=  12\n Cannot close LFN 998 1.5 F\n\n");
}

}  // namespace
}  // namespace kavril::platform

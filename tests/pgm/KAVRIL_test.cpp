// The built program on two real days of IGS broadcast ephemerides (1 and 2
// July 2010, made from the IGS RINEX 2 files brdc1820.10n and brdc1830.10n):
// every numeric field and epoch of every record it writes is compared with
// the IGS records through a column reader, and every line of every RINEX
// file is checked for its exact length.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/rinex_columns.h"
#include "support/support.h"

namespace kavril {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kDays = {"brdc1820", "brdc1830"};

std::string igsText(const std::string& day, const char* extension) {
  return test::read_file(test::data_dir() / "igs" / (day + extension));
}

// The records of the IGS RINEX 2 file of `day`.
std::vector<std::vector<double>> igsRecords(const std::string& day) {
  return test::rinex_records(igsText(day, ".10n"), std::string(60, ' ') + "END OF HEADER       ", 8);
}

// The title line of the broadcast file of `day`: the comment of its header.
std::string broadcastTitle(const std::string& day) { return test::lines_of(igsText(day, ".brd")).front(); }

// One run of the program in a scratch folder holding the two broadcast files,
// the constants file and a keyword file whose RXNFIL keyword is `rxnfil`.
class RealDays : public testing::Test {
 protected:
  void run(const std::string& rxnfil) {
    for (const auto& day : kDays) fs::copy_file(test::data_dir() / "igs" / (day + ".brd"), dir.path() / (day + ".brd"));
    fs::copy_file(test::data_dir() / ".." / ".." / "examples" / "CONST", dir.path() / "CONST");
    test::write_file(dir.path() / "kavril.inp",
                     "TITLE 1 \"Two IGS days\"\n"
                     "CONST 1 \"CONST\"\n"
                     "BRDFIL 2\n  \"brdc1820.brd\"\n  \"brdc1830.brd\"\n"
                     "BRDFIL_PTH_COL_2 1 \"\"\n"
                     "BRDFIL_EXT_COL_2 1 \"10N\"\n" +
                         rxnfil + "\nRUNBY 1 \"ACCEPTANCE TEST\"\n");
    ASSERT_EQ(test::run_kavril(dir.path(), "kavril.inp", dir.path() / "stdout"), 0)
        << test::read_file(dir.path() / "stdout");
  }
  std::string output(const std::string& name) const { return test::read_file(dir.path() / name); }

  test::ScratchDir dir;
};

// A RINEX navigation file of version 1 with one comment line `title` and
// `nRecords` records: header lines of 80 columns, the line of one blank, and
// seven lines of 79 columns per record, every line ended.
void expectLayout(const std::string& rinex, const std::string& title, std::size_t nRecords) {
  ASSERT_FALSE(rinex.empty());
  EXPECT_EQ(rinex.back(), '\n');
  const auto lines = test::lines_of(rinex);
  ASSERT_EQ(lines.size(), 4 + 7 * nRecords);
  EXPECT_EQ(lines[0], "     1              NAVIGATION DATA                         RINEX VERSION / TYPE");
  // Program and agency, the run date and time (columns 41 to 55), the label.
  ASSERT_EQ(lines[1].size(), 80u);
  EXPECT_EQ(lines[1].substr(0, 40), "KAVRIL" + std::string(14, ' ') + "ACCEPTANCE TEST     ");
  EXPECT_EQ(lines[1].substr(49, 1), " ");
  EXPECT_EQ(lines[1].substr(55), "     PGM / RUN BY / DATE ");
  EXPECT_EQ(lines[2], title + std::string(60 - title.size(), ' ') + "COMMENT" + std::string(13, ' '));
  EXPECT_EQ(lines[3], " ");
  for (std::size_t k = 4; k < lines.size(); ++k) {
    ASSERT_EQ(lines[k].size(), 79u) << "line " << k + 1 << ": " << lines[k];
  }
}

// Every field of every record of `rinex` equals the field of `reference`
// (the first field that differs is reported).
void expectRecords(const std::string& rinex, const std::vector<std::vector<double>>& reference) {
  const auto records = test::rinex_records(rinex, " ", 7);
  ASSERT_EQ(records.size(), reference.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    ASSERT_EQ(records[k].size(), reference[k].size());
    for (std::size_t field = 0; field < records[k].size(); ++field) {
      ASSERT_EQ(records[k][field], reference[k][field]) << "record " << k + 1 << ", field " << field + 1;
    }
  }
}

TEST_F(RealDays, OneRinexFilePerDay) {
  run("RXNFIL 0");
  for (const auto& day : kDays) {
    SCOPED_TRACE(day);
    const auto reference = igsRecords(day);
    ASSERT_EQ(reference.size(), day == "brdc1820" ? 421u : 422u);
    const std::string rinex = output(day + ".10N");
    expectLayout(rinex, broadcastTitle(day), reference.size());
    expectRecords(rinex, reference);
  }
}

TEST_F(RealDays, BothDaysMergedUnderTheFirstDaysHeader) {
  run("RXNFIL 1 \"BOTH.10N\"");
  auto reference = igsRecords(kDays[0]);
  const auto secondDay = igsRecords(kDays[1]);
  reference.insert(reference.end(), secondDay.begin(), secondDay.end());
  const std::string rinex = output("BOTH.10N");
  expectLayout(rinex, broadcastTitle(kDays[0]), reference.size());
  expectRecords(rinex, reference);
  for (const auto& day : kDays) EXPECT_FALSE(fs::exists(dir.path() / (day + ".10N")));
  const std::string report = output("stdout");
  EXPECT_NE(report.find("    1  brdc1820.brd                      BOTH.10N                            421\n"),
            std::string::npos);
  EXPECT_NE(report.find("    2  brdc1830.brd                      BOTH.10N                            422\n"),
            std::string::npos);
}

// A RINEX file on a file system that fills up: the run ends with an error,
// names the file and the system's reason, and deletes the incomplete file.
TEST(FullFileSystem, FailedWriteIsAnErrorAndTheFileIsDeleted) {
  test::ScratchDir dir;
  const fs::path small = dir.path() / "small";
  fs::create_directory(small);
  const std::string mount = "mount -t tmpfs -o size=64k tmpfs '" + small.string() + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) {
    GTEST_SKIP() << "mounting a 64 KiB tmpfs is not permitted here: the full file system is not tested";
  }
  struct Unmount {
    std::string command;
    ~Unmount() { (void)std::system(command.c_str()); }
  } unmount{"umount '" + small.string() + "'"};

  fs::copy_file(test::data_dir() / "igs" / "brdc1820.brd", dir.path() / "day.brd");
  fs::copy_file(test::data_dir() / ".." / ".." / "examples" / "CONST", dir.path() / "CONST");
  test::write_file(dir.path() / "kavril.inp",
                   "CONST 1 \"CONST\"\nBRDFIL 1 \"day.brd\"\nRXNFIL 1 \"small/day.10N\"\n");
  EXPECT_EQ(test::run_kavril(dir.path(), "kavril.inp", dir.path() / "stdout"), 1);
  const std::string report = test::read_file(dir.path() / "stdout");
  EXPECT_NE(report.find(" *** PG KAVRIL: Cannot write RINEX file\n"
                        "                File name  : small/day.10N\n"
                        "                IOSTAT     : 28\n"
                        "                Reason     : No space left on device\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find(" ### PG KAVRIL: Incomplete RINEX file deleted\n"), std::string::npos);
  EXPECT_EQ(report.find("finished successfully"), std::string::npos);
  EXPECT_FALSE(fs::exists(small / "day.10N"));
}

}  // namespace
}  // namespace kavril

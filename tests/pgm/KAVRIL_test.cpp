// The built program on two real days of IGS broadcast ephemerides (1 and 2
// July 2010, made from the IGS RINEX 2 files brdc1820.10n and brdc1830.10n)
// and a day of a GNSS station (2 April 2005, 30400920.05n): every numeric
// field and epoch of every record it writes is compared with the original
// records through a column reader, and every line of every RINEX file is
// checked for its exact length. A GNSS client (rnx2rtkp of the Debian
// package rtklib) reads the files of versions 2.11 and 3.04.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
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
const std::vector<std::string> kAllDays = {"brdc1820", "brdc1830", "30400920"};
const std::string kEndOfHeader = std::string(60, ' ') + "END OF HEADER       ";

std::string igsText(const std::string& day, const char* extension) {
  return test::read_file(test::data_dir() / "igs" / (day + extension));
}

// The original RINEX 2 file of `day`.
std::string originalText(const std::string& day) { return igsText(day, day[0] == '3' ? ".05n" : ".10n"); }

// The records of the IGS RINEX 2 file of `day`.
std::vector<std::vector<double>> igsRecords(const std::string& day) {
  return test::rinex_records(igsText(day, ".10n"), kEndOfHeader, 8);
}

// The title line of the broadcast file of `day`: the comment of its header.
std::string broadcastTitle(const std::string& day) { return test::lines_of(igsText(day, ".brd")).front(); }

// One run of the program in a scratch folder holding the two broadcast files,
// the constants file and a keyword file whose RXNFIL keyword is `rxnfil`.
class RealDays : public testing::Test {
 protected:
  void run(const std::string& rxnfil, const std::vector<std::string>& days = kDays, int exitStatus = 0) {
    const auto copy = [&](const fs::path& from, const std::string& name) {
      fs::copy_file(from, dir.path() / name, fs::copy_options::overwrite_existing);
    };
    std::string brdfil = "BRDFIL " + std::to_string(days.size());
    for (const auto& day : days) {
      copy(test::data_dir() / "igs" / (day + ".brd"), day + ".brd");
      brdfil += (days.size() == 1 ? " \"" : "\n  \"") + day + ".brd\"";
    }
    brdfil += "\n";
    copy(test::data_dir() / ".." / ".." / "examples" / "CONST", "CONST");
    test::write_file(dir.path() / "kavril.inp",
                     "TITLE 1 \"Two IGS days\"\n"
                     "CONST 1 \"CONST\"\n" + brdfil +
                     "BRDFIL_PTH_COL_2 1 \"\"\n"
                     "BRDFIL_EXT_COL_2 1 \"10N\"\n" +
                         rxnfil + "\nRUNBY 1 \"ACCEPTANCE TEST\"\n");
    ASSERT_EQ(test::run_kavril(dir.path(), "kavril.inp", dir.path() / "stdout"), exitStatus)
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

// Versions 2.11 and 3.04: every field of every record (line 8 included)
// equals the original's, the year of 3.04 with its century, except the fit
// interval: the broadcast format has none, so it is written as 0 (not
// known). Header lines of 80 columns, record lines of 79 (80) columns and a
// line 8 of 41 (42).
TEST_F(RealDays, EveryFieldOfVersions2And3EqualsTheOriginal) {
  for (const int version : {2, 3}) {
    run("RXNFIL 0\nRXNVER 1 \"" + std::to_string(version) + "\"", kAllDays);
    for (const auto& day : kAllDays) {
      SCOPED_TRACE(day + " in version " + std::to_string(version));
      auto reference = test::rinex_records(originalText(day), kEndOfHeader, 8, 2);
      const std::string rinex = output(day + ".10N");
      const auto records = test::rinex_records(rinex, kEndOfHeader, 8, version);
      ASSERT_EQ(records.size(), reference.size());
      for (std::size_t k = 0; k < records.size(); ++k) {
        if (version == 3) reference[k][1] += 2000.0;
        reference[k][35] = 0.0;  // fit interval
        ASSERT_EQ(records[k], reference[k]) << "record " << k + 1;
      }
      const auto lines = test::lines_of(rinex);
      ASSERT_EQ(lines.size(), 4 + 8 * records.size());
      EXPECT_EQ(lines[3], kEndOfHeader);
      for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::size_t width = k < 4 ? 80 : (k - 3) % 8 == 0 ? 39 + version : 77 + version;
        ASSERT_EQ(lines[k].size(), width) << "line " << k + 1;
      }
    }
  }
}

// rnx2rtkp computes the single-point positions of the station's hour of
// observations alike with the station's own navigation file and with the
// program's files of versions 2.11 and 3.04.
TEST_F(RealDays, GnssClientComputesTheSamePositionsWithVersions2And3) {
  if (std::system("command -v rnx2rtkp > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "rnx2rtkp is not installed (Debian package rtklib): "
                    "the positions with versions 2.11 and 3.04 were NOT compared";
  }
  for (const char* name : {"30400920.05o", "30400920.05n"}) {
    fs::copy_file(test::data_dir() / "igs" / name, dir.path() / name);
  }
  const auto positions = [&](const std::string& nav) {
    const std::string command = "cd '" + dir.path().string() + "' && rnx2rtkp -p 0 30400920.05o " + nav +
                                " -o pos.txt > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> lines;
    for (const auto& line : test::lines_of(output("pos.txt"))) {
      if (line.rfind('%', 0) != 0) lines.push_back(line);
    }
    fs::remove(dir.path() / "pos.txt");
    return lines;
  };
  const auto original = positions("30400920.05n");
  ASSERT_EQ(original.size(), 115u);  // one hour at 30 s, a few epochs without a solution
  for (const int version : {2, 3}) {
    run("RXNFIL 0\nRXNVER 1 \"" + std::to_string(version) + "\"", {"30400920"});
    EXPECT_EQ(positions("30400920.10N"), original) << "version " << version;
  }
}

// The RINEX 4 client of the tests (third_party/rinex4-client), built with
// them where a C compiler is found.
const fs::path kClient = KAVRIL_RINEX4_CLIENT;
#define SKIP_WITHOUT_CLIENT()                                                                             \
  if (!fs::exists(kClient / "dumpnav") || !fs::exists(kClient / "mrtkpost"))                              \
  GTEST_SKIP() << "the RINEX 4 client (dumpnav, mrtkpost) could not be built (no C compiler?): the RINEX " \
                  "4.00 files were NOT read by a client"

// The lines of what the client `program` writes, run in `folder` with `args`,
// but those starting with `dropped`.
std::vector<std::string> clientLines(const fs::path& folder, const char* program, const std::string& args,
                                     const std::string& dropped) {
  const std::string command = "cd '" + folder.string() + "' && '" + (kClient / program).string() + "' " + args;
  EXPECT_EQ(test::run_command(command + " > client.out 2>/dev/null"), 0) << command;
  std::vector<std::string> lines = test::lines_of(test::read_file(folder / "client.out"));
  std::erase_if(lines, [&](const std::string& line) { return line.starts_with(dropped); });
  return lines;
}

// The client reads from a 4.00 file every ephemeris, every field alike, that
// it reads from the same run's 3.04 file, and the header's leap seconds, for
// each real day and for two days merged.
TEST_F(RealDays, ClientReadsFromVersion4WhatItReadsFromVersion3) {
  SKIP_WITHOUT_CLIENT();
  const std::pair<std::string, std::vector<std::string>> runs[] = {
      {"RXNFIL 0", {"brdc1820.10N", "brdc1830.10N", "30400920.10N"}}, {"RXNFIL 1 \"ALL.10N\"", {"ALL.10N"}}};
  for (const auto& [rxnfil, outputs] : runs) {
    for (const char* version : {"3.04", "4.00"}) {
      run(rxnfil + "\nRXNVER 1 \"" + version + "\"", outputs.size() == 1 ? kDays : kAllDays);
      for (const std::string& name : outputs) fs::rename(dir.path() / name, dir.path() / (name + version));
    }
    std::size_t ephemerides = 0;
    for (const std::string& name : outputs) {
      auto read3 = clientLines(dir.path(), "dumpnav", name + "3.04", "FILE ");
      const auto read4 = clientLines(dir.path(), "dumpnav", name + "4.00", "FILE ");
      ASSERT_GE(read3.size(), 3u);
      // 3.04 has no LEAP SECONDS; GPS-UTC was 13 s in 2005, 15 s in 2010.
      read3[read3.size() - 2] = std::string("UTC_GPS 0 0 0 0 ") + (name.starts_with("3") ? "13" : "15") + " 0 0 0";
      EXPECT_EQ(read4, read3);
      ephemerides += read4.size() - 3;  // ION_GPS, UTC_GPS and TOTAL after them
    }
    EXPECT_EQ(ephemerides, outputs.size() == 1 ? 421 + 422u : 421 + 422 + 164u);
  }
}

// mrtkpost computes the single-point positions of the station's hour of
// observations alike with its own navigation file and with the program's
// 4.00 file (of a keyword run with RXNVER "4.00").
TEST_F(RealDays, ClientComputesTheSamePositionsWithVersion4) {
  SKIP_WITHOUT_CLIENT();
  for (const char* name : {"30400920.05o", "30400920.05n"}) fs::copy_file(test::data_dir() / "igs" / name, dir.path() / name);
  run("RXNFIL 0\nRXNVER 1 \"4.00\"", {"30400920"});
  const auto positions = [&](const std::string& nav) {
    return clientLines(dir.path(), "mrtkpost", "-p 0 -sys G -o pos.txt 30400920.05o " + nav + " && cat pos.txt", "%");
  };
  const auto original = positions("30400920.05n");
  ASSERT_EQ(original.size(), 120u);  // one hour at 30 s
  EXPECT_TRUE(original.front().starts_with("1316 518400.000   35.132055185  139.624294853    88.9601   5")) << original.front();
  EXPECT_EQ(positions("30400920.10N"), original);
}

// A RINEX file on a file system that fills up: the run ends with an error,
// names the file and the system's reason, and deletes the incomplete file.
// A write of 2.11, 3.04 or 4.00 that fails inside a row (a day is more than the
// output buffer) stops the run with the system's reason.
TEST_F(RealDays, FailedWriteInsideARowIsReportedInVersions2To4) {
  for (const char* version : {"2", "3", "4"}) {
    run(std::string("RXNFIL 1 \"/dev/full\"\nRXNVER 1 \"") + version + "\"", {"brdc1820"}, 1);
    EXPECT_NE(output("stdout").find(" *** PG KAVRIL: Cannot write RINEX file\n"), std::string::npos) << version;
  }
}

// A small tmpfs mounted on `folder` for the life of the object (root only).
struct SmallFileSystem {
  SmallFileSystem(const fs::path& folder, const std::string& options) : folder(folder) {
    fs::create_directory(folder);
    mounted = test::run_command("mount -t tmpfs -o " + options + " tmpfs '" + folder.string() + "' 2>/dev/null") == 0;
  }
  ~SmallFileSystem() {
    if (mounted) test::run_command("umount '" + folder.string() + "'");
  }
  fs::path folder;
  bool mounted = false;
};

// Inputs that are no regular files are read to their end: a process
// substitution and a named pipe as broadcast files, a keyword file through
// a pipe (it is read twice). Each run is bounded by a timeout.
TEST_F(RealDays, PipesAsInputsAreReadToTheirEnd) {
  run("RXNFIL 1 \"file.10N\"", {"brdc1820"});
  const std::string expected = test::mask_volatile(output("file.10N"));
  ASSERT_EQ(test::run_command("mkfifo '" + (dir.path() / "fifo.brd").string() + "'"), 0);
  for (const char* command : {"kavril -o subst.10N -r 1 -a 'ACCEPTANCE TEST' <(cat brdc1820.brd)",
                              "(timeout 20 sh -c 'cat brdc1820.brd > fifo.brd' &) ; kavril -q -o fifo.10N -r 1 -a 'ACCEPTANCE TEST' fifo.brd",
                              "sed 's/file.10N/keyword.10N/' kavril.inp > k.inp && kavril <(cat k.inp) >/dev/null"}) {
    const std::string script = std::string("kavril() { timeout 20 '" KAVRIL_BINARY "' \"$@\"; }; ") + command;
    test::write_file(dir.path() / "run.sh", script);
    EXPECT_EQ(test::run_command("cd '" + dir.path().string() + "' && bash run.sh 2>/dev/null"), 0) << command;
  }
  for (const char* name : {"subst.10N", "fifo.10N", "keyword.10N"})
    EXPECT_TRUE(test::mask_volatile(output(name)) == expected) << name;
}

// A run that replaces a file deletes the leftovers of that file from killed
// runs, and says so: only a regular file of its own user, older than a
// minute, named as a temporary file of that name, whose lock nobody holds
// (also a process in another PID namespace, whose numbers mean nothing here).
TEST_F(RealDays, OnlyUnlockedOldRegularFilesOfTheUserAreDeletedAsLeftovers) {
  const bool namespaces = test::run_command("unshare -p -f --mount-proc true 2>/dev/null") == 0;
  if (!namespaces) std::printf("unshare -p is not allowed here: no lock is held from another PID namespace\n");
  const std::string stem = dir.path() / ".day.10N.kavril-";
  const std::string rows[][2] = {{"dead01", "deleted"}, {"young1", "recent"}, {"locked", "locked"},
                                 {"ns0001", namespaces ? "namespace" : "deleted"},
                                 {"nobody", ::geteuid() == 0 ? "other user" : "deleted"}, {"symlnk", "link"},
                                 {"fifo01", "fifo"}, {"folder", "folder"}, {"host-12345", "other name"}};
  const int lockFd = ::open((stem + "locked").c_str(), O_RDONLY | O_CREAT, 0600);
  ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
  for (const auto& [name, kind] : rows) {
    const std::string file = stem + name;
    const std::string make = kind == "link" ? "ln -s day.10N " : kind == "fifo" ? "mkfifo " : kind == "folder" ? "mkdir " : "touch ";
    const std::string hold = kind == "namespace" ? " && (unshare -p -f --mount-proc flock " + file + " sleep 10 >/dev/null 2>&1 &) && "
                                                   "until ! flock -n " + file + " true; do sleep 0.05; done" : "";
    const std::string owner = kind == "other user" ? " && chown 65534 " + file : "";
    const std::string age = kind == "recent" ? "" : " && touch -h -d '-2 minutes' " + file;
    ASSERT_EQ(test::run_command(make + file + hold + owner + age), 0) << name;
  }
  run("RXNFIL 1 \"day.10N\"", {"brdc1820"});
  for (const auto& [name, kind] : rows) {
    EXPECT_EQ(!fs::exists(fs::symlink_status(stem + name)), kind == "deleted") << name << " (" << kind << ")";
    EXPECT_EQ(output("stdout").find("File name  : .day.10N.kavril-" + name + "\n") != std::string::npos, kind == "deleted");
  }
  ::close(lockFd);
}

TEST(FullFileSystem, FailedWriteIsAnErrorAndTheFileIsDeleted) {
  test::ScratchDir dir;
  const fs::path small = dir.path() / "small";
  const SmallFileSystem mounted(small, "size=64k");
  if (!mounted.mounted) GTEST_SKIP() << "mounting a 64 KiB tmpfs is not permitted here: the full file system is not tested";

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

// No inode left for the temporary file: the open fails with the system's
// reason and the earlier file stays byte for byte (it is never written in
// place).
TEST(FullFileSystem, NoInodeLeftKeepsTheEarlierFile) {
  test::ScratchDir dir;
  const fs::path small = dir.path() / "small";
  const SmallFileSystem mounted(small, "size=1m,nr_inodes=16");
  if (!mounted.mounted) GTEST_SKIP() << "mounting a tmpfs is not permitted here: the file system without inodes is not tested";
  fs::copy_file(test::data_dir() / "igs" / "brdc1820.brd", dir.path() / "day.brd");
  const auto run = [&](const char* version) {
    return test::run_kavril(dir.path(), std::string("-r ") + version + " -o small/day.rnx day.brd", dir.path() / "stderr");
  };
  ASSERT_EQ(run("2"), 0);
  const std::string earlier = test::read_file(small / "day.rnx");
  for (int k = 0; ::close(::open((small / std::to_string(k)).c_str(), O_CREAT | O_WRONLY, 0644)) == 0; ++k) {
  }
  EXPECT_EQ(run("3"), 1);
  EXPECT_EQ(test::read_file(small / "day.rnx"), earlier);
  const std::string report = test::read_file(dir.path() / "stderr");
  EXPECT_NE(report.find("kavril: small/day.rnx: No space left on device\n"
                        "kavril: warning: small/day.rnx: not written (the earlier file is left as it was)\n"),
            std::string::npos)
      << report;
}

}  // namespace
}  // namespace kavril

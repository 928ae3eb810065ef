#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/support.h"

namespace kavril::platform {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::ScratchDir;
using test::write_file;

constexpr int kUnit = 43;

std::string temporaryOf(const ScratchDir& dir, const std::string& base) {
  return dir.file("." + base + ".kavril-" + std::to_string(::getpid()));
}

int writeWhole(const std::string& name, std::string_view text) {
  if (const int rc = open_unit(kUnit, name, OpenStatus::Replace, true, false); rc != 0) return rc;
  write_line(kUnit, text);
  return commit_unit(kUnit);
}

mode_t modeOf(const std::string& name) {
  struct stat info {};
  ::stat(name.c_str(), &info);
  return info.st_mode & 07777;
}

// The name holds its earlier file until the commit, and again after an
// abandon or a close without commit; the new file keeps the earlier file's
// permission bits, or gets those of a new file.
TEST(ReplacedFiles, NameKeepsItsFileUntilTheCommit) {
  ScratchDir dir;
  const std::string name = dir.file("A.10N");
  write_file(name, "old\n");
  ::chmod(name.c_str(), 0604);

  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Replace, true, false), 0);
  EXPECT_EQ(unit_file_name(kUnit), name);
  EXPECT_EQ(write_line(kUnit, "new"), 0);
  EXPECT_EQ(write_out(kUnit), 0);
  EXPECT_EQ(read_file(name), "old\n");
  EXPECT_EQ(read_file(temporaryOf(dir, "A.10N")), "new\n");
  ASSERT_EQ(commit_unit(kUnit), 0);
  EXPECT_FALSE(unit_connected(kUnit));
  EXPECT_EQ(read_file(name), "new\n");
  EXPECT_EQ(modeOf(name), 0604u);
  EXPECT_FALSE(fs::exists(temporaryOf(dir, "A.10N")));

  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Replace, true, false), 0);
  write_line(kUnit, "part");
  EXPECT_TRUE(abandon_unit(kUnit));
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Replace, true, false), 0);
  write_line(kUnit, "part");
  EXPECT_EQ(close_unit(kUnit), 0);
  EXPECT_EQ(read_file(name), "new\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // nothing beside it

  const mode_t previous = ::umask(027);
  EXPECT_EQ(writeWhole(dir.file("B.10N"), "b"), 0);
  ::umask(previous);
  EXPECT_EQ(modeOf(dir.file("B.10N")), 0640u);
}

// A link is followed and its target replaced (also a target that does not
// exist yet); a device is written in place; a name taken by a stranger's
// temporary file is passed over.
TEST(ReplacedFiles, LinksDevicesAndTakenNames) {
  ScratchDir dir;
  fs::create_directory(dir.path() / "real");
  write_file(dir.path() / "real" / "T.10N", "old\n");
  fs::create_symlink("real/T.10N", dir.path() / "L.10N");
  fs::create_symlink("real/N.10N", dir.path() / "dangling.10N");
  ASSERT_EQ(writeWhole(dir.file("L.10N"), "new"), 0);
  ASSERT_EQ(writeWhole(dir.file("dangling.10N"), "created"), 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "L.10N"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.10N"));
  EXPECT_EQ(read_file(dir.path() / "real" / "T.10N"), "new\n");
  EXPECT_EQ(read_file(dir.path() / "real" / "N.10N"), "created\n");

  EXPECT_EQ(writeWhole("/dev/null", "in place"), 0);
  EXPECT_EQ(open_unit(kUnit, dir.file("missing/A.10N"), OpenStatus::Replace, true, false), ENOENT);
  EXPECT_EQ(open_unit(kUnit, dir.file("real"), OpenStatus::Replace, true, false), EISDIR);

  write_file(temporaryOf(dir, "C.10N"), "not ours\n");
  ASSERT_EQ(writeWhole(dir.file("C.10N"), "c"), 0);
  EXPECT_EQ(read_file(temporaryOf(dir, "C.10N")), "not ours\n");
  EXPECT_EQ(read_file(dir.file("C.10N")), "c\n");
}

// A failed write leaves the name as it was; the commit reports the failure
// and the unit stays connected until it is abandoned.
TEST(ReplacedFiles, FailedCommitKeepsTheEarlierFile) {
  ScratchDir dir;
  const std::string name = dir.file("A.10N");
  write_file(name, "old\n");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Replace, true, false), 0);
  ASSERT_EQ(rename(temporaryOf(dir, "A.10N").c_str(), dir.file("moved").c_str()), 0);
  EXPECT_EQ(commit_unit(kUnit), ENOENT);
  EXPECT_TRUE(unit_connected(kUnit));
  EXPECT_FALSE(abandon_unit(kUnit));
  EXPECT_EQ(read_file(name), "old\n");
}

TEST(ReplacedFiles, SpellingsOfOneOutputHaveOneIdentity) {
  ScratchDir dir;
  fs::create_directory(dir.path() / "out");
  fs::create_directory_symlink("out", dir.path() / "link");
  const std::string identity = output_identity(dir.file("out/A.10N"));
  for (const char* spelling : {"out/A.10N  ", "./out/A.10N", "out//A.10N", "link/A.10N", "out/../out/A.10N"}) {
    EXPECT_EQ(output_identity(dir.file(spelling)), identity) << spelling;
  }
  EXPECT_NE(output_identity(dir.file("out/B.10N")), identity);
  EXPECT_NE(output_identity(dir.file("out/a.10N")), identity);
}

// Two files on different file systems may have the same inode number (the
// roots of /proc and /sys both have inode 1 on Linux).
TEST(FileIds, SameInodeOnTwoFileSystemsIsTwoFiles) {
  FileId proc, sys;
  if (!existing_file_id("/proc", proc) || !existing_file_id("/sys", sys) || proc.inode != sys.inode)
    GTEST_SKIP() << "/proc and /sys do not share an inode number here";
  EXPECT_NE(proc, sys);
}

}  // namespace
}  // namespace kavril::platform

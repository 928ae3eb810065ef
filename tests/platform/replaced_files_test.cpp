#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/support.h"

namespace kavril::platform {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::write_file;

constexpr int kUnit = 43;

mode_t modeOf(const fs::path& name) { return static_cast<mode_t>(fs::status(name).permissions()); }

// The name holds its earlier file until the commit, and after an abandon or
// a close without commit; the new file takes the earlier file's permission
// bits, or those of a new file. A link's target is replaced (also one that
// does not exist yet) and the link stays; a device is written in place; a
// temporary name that is taken is passed over.
TEST(ReplacedFiles, NameKeepsItsFileUntilTheCommit) {
  test::ScratchDir dir;
  const fs::path name = dir.path() / "A.10N", temporary = dir.path() / ".A.10N.kavril-XXXXXX";
  write_file(name, "old\n");
  fs::permissions(name, static_cast<fs::perms>(0604));
  write_file(temporary, "not ours\n");
  for (const int ending : {0, 1, 2}) {  // abandon, close, commit
    ASSERT_EQ(open_unit(kUnit, name.string(), OpenStatus::Replace, true, false), 0);
    write_line(kUnit, "new");
    EXPECT_EQ(write_out(kUnit), 0);
    EXPECT_EQ(read_file(name), "old\n");
    EXPECT_TRUE(ending == 0 ? abandon_unit(kUnit) : (ending == 1 ? close_unit(kUnit) : commit_unit(kUnit)) == 0);
  }
  EXPECT_EQ(read_file(name), "new\n");
  EXPECT_EQ(modeOf(name), 0604u);
  EXPECT_EQ(read_file(temporary), "not ours\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

  fs::create_directory(dir.path() / "real");
  fs::create_symlink("real/T.10N", dir.path() / "L.10N");
  const mode_t previous = ::umask(027);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(open_unit(kUnit, (dir.path() / "L.10N").string(), OpenStatus::Replace, true, false), 0);
    write_line(kUnit, std::to_string(i));
    ASSERT_EQ(commit_unit(kUnit), 0);
  }
  ::umask(previous);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "L.10N"));
  EXPECT_EQ(read_file(dir.path() / "real" / "T.10N"), "1\n");
  EXPECT_EQ(modeOf(dir.path() / "real" / "T.10N"), 0640u);
  ASSERT_EQ(open_unit(kUnit, "/dev/null", OpenStatus::Replace, true, false), 0);
  EXPECT_EQ(commit_unit(kUnit), 0);
}

// The one temporary file in `folder` and its mode.
mode_t temporaryMode(const fs::path& folder) {
  mode_t mode = 0;
  int found = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().find(".kavril-") == std::string::npos) continue;
    ++found;
    mode = modeOf(entry.path());
  }
  EXPECT_EQ(found, 1);
  return mode;
}

// An output named at its commit: whatever its placeholder name holds (a file
// of its own, a link, a pipe, a folder) is never opened or looked at; the
// temporary file stays 0600 while written, and takes the attributes of its
// final name at the commit; a final name that is a device, a folder or a
// link that cannot be followed is refused and keeps what it is. A file named
// from the start has its final mode before any data (umask 0: a temporary
// file created with the permissions of a new file would be 0666).
TEST(ReplacedFiles, OutputNamedAtCommitNeverTouchesItsPlaceholder) {
  const mode_t previous = ::umask(0);
  struct Row {
    const char* placeholder;  // what the placeholder name holds
    const char* final;        // what the final name holds
    int commitStatus;
  };
  for (const Row& row : {Row{"", "", 0}, Row{"file", "file", 0}, Row{"link", "", 0}, Row{"fifo", "file", 0},
                         Row{"folder", "", 0}, Row{"", "device", EEXIST}, Row{"", "folder", EISDIR},
                         Row{"", "loop", ELOOP}}) {
    test::ScratchDir dir;
    const fs::path placeholder = dir.path() / "unnamed-1", final = dir.path() / "FINAL.rnx";
    const std::string what = std::string(row.placeholder) + " -> " + row.final;
    write_file(dir.path() / "victim", "victim\n");
    fs::permissions(dir.path() / "victim", static_cast<fs::perms>(0666));
    if (std::string_view(row.placeholder) == "file") write_file(placeholder, "theirs\n");
    if (std::string_view(row.placeholder) == "link") fs::create_symlink("victim", placeholder);
    if (std::string_view(row.placeholder) == "fifo") {
      ASSERT_EQ(::mkfifo(placeholder.c_str(), 0666), 0);
    }
    if (std::string_view(row.placeholder) == "folder") fs::create_directory(placeholder);
    if (std::string_view(row.final) == "file") {
      write_file(final, "earlier\n");
      fs::permissions(final, static_cast<fs::perms>(0604));
    }
    if (std::string_view(row.final) == "device") fs::create_symlink("/dev/null", final);
    if (std::string_view(row.final) == "folder") fs::create_directory(final);
    if (std::string_view(row.final) == "loop") fs::create_symlink("FINAL.rnx", final);
    const fs::file_status before = fs::symlink_status(placeholder);

    name_at_commit(placeholder.string());
    EXPECT_FALSE(is_regular_file(placeholder.string())) << what;
    ASSERT_EQ(open_unit(kUnit, placeholder.string(), OpenStatus::Replace, true, false), 0) << what;
    write_line(kUnit, "new");
    ASSERT_EQ(write_out(kUnit), 0);
    EXPECT_EQ(temporaryMode(dir.path()), 0600u) << what;
    EXPECT_EQ(commit_unit_as(kUnit, final.string()), row.commitStatus) << what;
    if (row.commitStatus != 0) {
      EXPECT_TRUE(abandon_unit(kUnit)) << what;
    }
    clear_special_names();

    EXPECT_EQ(fs::symlink_status(placeholder).type(), before.type()) << what;
    EXPECT_EQ(fs::symlink_status(placeholder).permissions(), before.permissions()) << what;
    EXPECT_EQ(read_file(dir.path() / "victim"), "victim\n") << what;
    if (row.commitStatus == 0) {
      EXPECT_EQ(read_file(final), "new\n") << what;
      EXPECT_EQ(modeOf(final), std::string_view(row.final) == "file" ? 0604u : 0666u) << what;
    } else {
      EXPECT_TRUE(fs::is_symlink(final) || fs::is_directory(final)) << what;
    }
    for (const auto& entry : fs::directory_iterator(dir.path()))
      EXPECT_EQ(entry.path().filename().string().find(".kavril-"), std::string::npos) << what;
  }
  // Named from the start: the earlier file's mode before the first write.
  test::ScratchDir dir;
  write_file(dir.path() / "B.10N", "old\n");
  fs::permissions(dir.path() / "B.10N", static_cast<fs::perms>(0640));
  ASSERT_EQ(open_unit(kUnit, (dir.path() / "B.10N").string(), OpenStatus::Replace, true, false), 0);
  EXPECT_EQ(temporaryMode(dir.path()), 0640u);
  EXPECT_TRUE(abandon_unit(kUnit));
  ::umask(previous);
}

}  // namespace
}  // namespace kavril::platform

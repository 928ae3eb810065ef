#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>

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

// The mode of the one temporary file in `folder`.
mode_t temporaryMode(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".kavril-") != std::string::npos) return modeOf(entry.path());
  return 0;
}

// Makes `path` a `kind` of file: a regular file of mode 0604, a link to the
// file "victim", a FIFO, a folder, a device (a link to /dev/null) or a link
// to itself.
void make(const std::string& kind, const fs::path& path) {
  if (kind == "file") write_file(path, "earlier\n");
  if (kind == "file") fs::permissions(path, static_cast<fs::perms>(0604));
  if (kind == "link" || kind == "device" || kind == "loop")
    fs::create_symlink(kind == "link" ? "victim" : kind == "device" ? "/dev/null" : path.filename().string(), path);
  if (kind == "fifo") ::mkfifo(path.c_str(), 0666);
  if (kind == "folder") fs::create_directory(path);
}

// An output named at its commit: what its placeholder name holds is never
// opened or looked at; its temporary file stays 0600 while written (umask 0:
// one created with a new file's permissions would be 0666) and takes the
// attributes of its final name at the commit; a final name that is a device,
// a folder or a link that cannot be followed is refused and stays. A file
// named from the start has the earlier file's mode before its first write.
TEST(ReplacedFiles, OutputNamedAtCommitNeverTouchesItsPlaceholder) {
  const mode_t previous = ::umask(0);
  for (const auto& [placeholderKind, finalKind, status] :
       {std::tuple{"", "", 0}, {"file", "file", 0}, {"link", "", 0}, {"fifo", "file", 0}, {"folder", "", 0},
        {"", "device", EEXIST}, {"", "folder", EISDIR}, {"", "loop", ELOOP}}) {
    test::ScratchDir dir;
    const fs::path placeholder = dir.path() / "unnamed-1", final = dir.path() / "FINAL.rnx";
    write_file(dir.path() / "victim", "victim\n");
    make(placeholderKind, placeholder);
    make(finalKind, final);
    const fs::file_status before = fs::symlink_status(placeholder);
    name_at_commit(placeholder.string());
    ASSERT_EQ(open_unit(kUnit, placeholder.string(), OpenStatus::Replace, true, false), 0);
    write_line(kUnit, "new");
    ASSERT_EQ(write_out(kUnit), 0);
    EXPECT_EQ(temporaryMode(dir.path()), 0600u) << placeholderKind;
    EXPECT_EQ(commit_unit_as(kUnit, final.string()), status) << finalKind;
    EXPECT_EQ(status != 0, abandon_unit(kUnit));
    clear_special_names();
    EXPECT_EQ(fs::symlink_status(placeholder).type(), before.type());
    EXPECT_EQ(fs::symlink_status(placeholder).permissions(), before.permissions());
    EXPECT_EQ(read_file(dir.path() / "victim"), "victim\n");
    EXPECT_EQ(status == 0 ? modeOf(final) : 0u, status == 0 ? (finalKind == std::string("file") ? 0604u : 0666u) : 0u);
    EXPECT_EQ(temporaryMode(dir.path()), 0u);
  }
  test::ScratchDir dir;
  make("file", dir.path() / "B.10N");
  ASSERT_EQ(open_unit(kUnit, (dir.path() / "B.10N").string(), OpenStatus::Replace, true, false), 0);
  EXPECT_EQ(temporaryMode(dir.path()), 0604u);
  EXPECT_TRUE(abandon_unit(kUnit));
  ::umask(previous);
}

}  // namespace
}  // namespace kavril::platform

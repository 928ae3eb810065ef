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
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  const fs::path name = dir.path() / "A.10N",
                 temporary = dir.path() / (".A.10N.kavril-" + std::string(host) + "-" + std::to_string(::getpid()));
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

}  // namespace
}  // namespace kavril::platform

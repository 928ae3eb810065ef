// The built program stopped at random instants while it replaces complete
// RINEX files (SIGKILL, SIGINT, SIGTERM, SIGHUP), or racing a second run on
// the same file: every name holds byte for byte its earlier file or the
// complete new one. KAVRIL_KILLS sets the SIGKILLs of one run (default 30, a
// sixth as many per other signal and for the merge run; long run:
// KAVRIL_KILLS=1000 ctest -L fault_injection).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "support/support.h"

namespace kavril {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const int kKills = std::getenv("KAVRIL_KILLS") ? std::max(6, std::atoi(std::getenv("KAVRIL_KILLS"))) : 30;

// Equal but for the run date and time of the header: two runs at different
// minutes write the same file.
bool sameRun(const std::string& a, const std::string& b) {
  constexpr std::size_t kHeader = 1024;
  return a.size() == b.size() && a.compare(kHeader, std::string::npos, b, kHeader) == 0 &&
         test::mask_volatile(a.substr(0, kHeader)) == test::mask_volatile(b.substr(0, kHeader));
}

class Interrupted : public testing::Test {
 protected:
  // A broadcast file of about 10^5 messages (an IGS day repeated).
  static void SetUpTestSuite() {
    dir_ = new test::ScratchDir;
    const std::string day = test::read_file(test::data_dir() / "igs" / "brdc1820.brd");
    const std::string messages = day.substr(day.find('\n') + 1);
    std::string big = day.substr(0, day.find('\n') + 1);
    while (std::count(big.begin(), big.end(), '\n') < 11 * 100000) big += messages;
    test::write_file(path() / "big.brd", big);
    test::write_file(path() / "day.brd", day);
    fs::copy_file(test::data_dir() / ".." / ".." / "examples" / "CONST", path() / "CONST");
  }
  static void TearDownTestSuite() { delete dir_; }
  static const fs::path& path() { return dir_->path(); }

  // Keyword file `inp`: one row per input, into the output of the same index.
  static void keywords(const std::string& inp, int version, const std::string& inputs, const std::string& outputs) {
    test::write_file(path() / inp, "CONST 1 \"CONST\"\nBRDFIL_PTH_COL_2 1 \"\"\nBRDFIL_EXT_COL_2 1 \"\"\nRXNVER 1 \"" +
                                       std::to_string(version) + "\"\nBRDFIL " + inputs + "\nRXNFIL " + outputs + "\n");
  }

  // Starts the program on `inp` with the signals' default actions.
  static pid_t start(const std::string& inp) {
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, SIG_DFL);
    if (::chdir(path().c_str()) == 0 && ::dup2(::open("/dev/null", O_WRONLY), 1) == 1 &&
        ::dup2(::open("stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2) == 2)
      ::execl(KAVRIL_BINARY, KAVRIL_BINARY, inp.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  static int wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }
  static Files contents(const Files& names) {
    Files files;
    for (const auto& [name, text] : names) files[name] = test::read_file(path() / name);
    return files;
  }
  // The hidden temporary files, removed when `take`.
  static int temporaryFiles(bool take = true) {
    int found = 0;
    for (const auto& entry : fs::directory_iterator(path())) {
      if (entry.path().filename().string().find(".kavril-") == std::string::npos) continue;
      ++found;
      if (take) fs::remove(entry.path());
    }
    return found;
  }

  // Runs `inp` `kills` times over the earlier files `before` (hard links of
  // saved copies: a run that replaces whole never changes them) and stops it
  // with `sig` at a random instant within 1.2 times a whole run: SIGKILL from
  // the start, other signals once the run writes (its handlers are in place).
  // Returns the names that held neither their earlier file nor the complete
  // new one `after`.
  static int killAtRandom(const std::string& inp, const Files& before, const Files& after, int sig, int kills) {
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(wait(start(inp)), 0);  // the instants span the time of a whole run
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begun);
    for (const auto& [name, text] : before) test::write_file(path() / ("before-" + name), text);
    std::mt19937 random(static_cast<unsigned>(sig));
    std::uniform_int_distribution<long> micros(2000, std::max(3000L, static_cast<long>(took.count()) * 6 / 5));
    int old = 0, complete = 0, other = 0;
    for (int kill = 0; kill < kills; ++kill) {
      for (const auto& [name, text] : before) {
        fs::remove(path() / name);
        fs::create_hard_link(path() / ("before-" + name), path() / name);
      }
      const pid_t pid = start(inp);
      for (int ms = 0; sig != SIGKILL && ms < 10000 && temporaryFiles(false) == 0 && ::kill(pid, 0) == 0; ++ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::microseconds(micros(random)));
      ::kill(pid, sig);
      const int status = wait(pid);
      const bool signalled = WIFSIGNALED(status);
      EXPECT_TRUE(signalled ? WTERMSIG(status) == sig : WEXITSTATUS(status) == 0) << status;
      if (signalled && sig != SIGKILL) {
        EXPECT_EQ(test::read_file(path() / "stderr"), std::string(" *** Run interrupted by signal SIG") +
                                                         sigabbrev_np(sig) +
                                                         ": no RINEX file of the unfinished row was written\n");
      }
      EXPECT_LE(temporaryFiles(), signalled && sig == SIGKILL ? 1 : 0);
      const Files now = contents(before);
      for (const auto& [name, text] : now) other += text != before.at(name) && !sameRun(text, after.at(name));
      old += now == before;
      complete += std::all_of(now.begin(), now.end(), [&](const auto& f) { return sameRun(f.second, after.at(f.first)); });
    }
    std::printf("SIG%s: %d kills: all old %d, all complete new %d, names with anything else %d\n", sigabbrev_np(sig),
                kills, old, complete, other);
    return other;
  }

  static test::ScratchDir* dir_;
};
test::ScratchDir* Interrupted::dir_ = nullptr;

TEST_F(Interrupted, KilledOrInterruptedRunLeavesTheEarlierOrTheCompleteFile) {
  keywords("old.inp", 2, "1 \"big.brd\"", "1 \"OUT.10N\"");
  keywords("new.inp", 3, "1 \"big.brd\"", "1 \"OUT.10N\"");
  ASSERT_EQ(wait(start("old.inp")), 0);
  const Files before = contents({{"OUT.10N", ""}});
  ASSERT_EQ(wait(start("new.inp")), 0);
  const Files after = contents(before);
  EXPECT_EQ(killAtRandom("new.inp", before, after, SIGKILL, kKills), 0);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) EXPECT_EQ(killAtRandom("new.inp", before, after, sig, kKills / 6), 0);
}

// Rows 1 and 2 merged into X, row 3 into Y.
TEST_F(Interrupted, KilledMergeRunLeavesEveryNameOldOrComplete) {
  keywords("old.inp", 2, "2\n\"day.brd\"\n\"day.brd\"", "2\n\"X.10N\"\n\"Y.10N\"");
  keywords("new.inp", 3, "3\n\"big.brd\"\n\"day.brd\"\n\"day.brd\"", "3\n\"X.10N\"\n\"X.10N\"\n\"Y.10N\"");
  ASSERT_EQ(wait(start("old.inp")), 0);
  const Files before = contents({{"X.10N", ""}, {"Y.10N", ""}});
  ASSERT_EQ(wait(start("new.inp")), 0);
  EXPECT_EQ(killAtRandom("new.inp", before, contents(before), SIGKILL, kKills / 6), 0);
}

TEST_F(Interrupted, ConcurrentRunsLeaveOneCompleteFile) {
  keywords("v2.inp", 2, "1 \"big.brd\"", "1 \"OUT.10N\"");
  keywords("v3.inp", 3, "1 \"big.brd\"", "1 \"OUT.10N\"");
  Files versions[2];
  for (const int v : {0, 1}) {
    ASSERT_EQ(wait(start(v == 0 ? "v2.inp" : "v3.inp")), 0);
    versions[v] = contents({{"OUT.10N", ""}});
  }
  for (int round = 0; round < 3; ++round) {
    const pid_t first = start("v2.inp"), second = start("v3.inp");
    EXPECT_EQ(wait(first) | wait(second), 0);
    const std::string now = test::read_file(path() / "OUT.10N");
    EXPECT_TRUE(sameRun(now, versions[0]["OUT.10N"]) || sameRun(now, versions[1]["OUT.10N"])) << "a mixture";
    EXPECT_EQ(temporaryFiles(), 0);
  }
}

// As an ordinary user: an existing output that may not be written is an open
// failure and stays byte for byte; in a folder that takes no new file, a
// writable output is written in place.
TEST_F(Interrupted, OrdinaryUserCannotReplaceAFileTheyMayNotWrite) {
  const auto asUser = test::as_ordinary_user();
  if (!asUser) GTEST_SKIP() << "root cannot drop its rights here";
  test::ScratchDir dir;
  fs::copy_file(path() / "day.brd", dir.path() / "day.brd");
  fs::copy_file(path() / "CONST", dir.path() / "CONST");
  fs::create_directory(dir.path() / "locked");
  test::write_file(dir.path() / "archived.10N", "archived\n");
  test::write_file(dir.path() / "locked" / "open.10N", "open\n");
  for (const auto& [name, mode] : {std::pair{"", 0777}, {"archived.10N", 0444}, {"locked/open.10N", 0666}, {"locked", 0555}})
    fs::permissions(dir.path() / name, static_cast<fs::perms>(mode));
  const auto run = [&](const std::string& output) {
    test::write_file(dir.path() / "run.inp", "CONST 1 \"CONST\"\nBRDFIL 1 \"day.brd\"\nBRDFIL_PTH_COL_2 1 \"\"\n"
                                             "BRDFIL_EXT_COL_2 1 \"\"\nRXNFIL 1 \"" + output + "\"\n");
    return test::run_command("cd '" + dir.path().string() + "' && " + *asUser + "'" KAVRIL_BINARY "' run.inp > stdout 2>&1");
  };
  EXPECT_EQ(run("archived.10N"), 1);
  EXPECT_EQ(test::read_file(dir.path() / "archived.10N"), "archived\n");
  EXPECT_NE(test::read_file(dir.path() / "stdout").find("REASON    : Permission denied"), std::string::npos);
  EXPECT_EQ(run("locked/open.10N"), 0) << test::read_file(dir.path() / "stdout");
  EXPECT_NE(test::read_file(dir.path() / "locked" / "open.10N").find("NAVIGATION DATA"), std::string::npos);
}

}  // namespace
}  // namespace kavril

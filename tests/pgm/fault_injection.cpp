// The built program stopped at random instants while it replaces complete
// RINEX files: by SIGKILL (nothing of it runs), by SIGINT, SIGTERM and SIGHUP
// (its handler cleans up), and by a second run writing the same file. Every
// time, each RINEX name holds byte for byte either its earlier file or the
// complete new one, and at most the hidden temporary file of a killed run is
// left. As an ordinary user, an output that may not be written stays as it is.
//
// KAVRIL_KILLS sets the number of SIGKILLs of one run (default 30; a sixth
// as many for each other signal and for the merge run; a long run:
// KAVRIL_KILLS=1000 ctest -L fault_injection).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/support.h"

extern char** environ;

namespace kavril {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMessages = 100000;

// Two RINEX files of runs at different minutes differ in their header's run
// time only.
bool sameRun(const std::string& a, const std::string& b) { return test::mask_volatile(a) == test::mask_volatile(b); }

int killsPerTest() {
  const char* kills = std::getenv("KAVRIL_KILLS");
  return kills != nullptr ? std::max(1, std::atoi(kills)) : 30;
}

// A run of the program in `dir` with the keyword file `inp`, standard error
// into `dir`/stderr.
class Process {
 public:
  Process(const fs::path& dir, const std::string& inp) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addchdir_np(&files, dir.c_str());
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const char* argv[] = {KAVRIL_BINARY, inp.c_str(), nullptr};
    if (posix_spawn(&pid_, KAVRIL_BINARY, &files, &attributes, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
  }
  void kill(int sig) const { ::kill(pid_, sig); }
  // The wait status.
  int wait() const {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    return status;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// A folder with a broadcast file of about 10^5 messages (the IGS day
// repeated), the constants file, and the complete RINEX files of the
// keyword files written by `keywords`.
class Interrupted : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::ScratchDir;
    const std::string day = test::read_file(test::data_dir() / "igs" / "brdc1820.brd");
    const std::string messages = day.substr(day.find('\n') + 1);
    const int perDay = static_cast<int>(std::count(messages.begin(), messages.end(), '\n') / 11);
    std::string big = day.substr(0, day.find('\n') + 1);
    for (int n = 0; n < kMessages; n += perDay) big += messages;
    test::write_file(path() / "big.brd", big);
    fs::copy_file(test::data_dir() / ".." / ".." / "examples" / "CONST", path() / "CONST");
  }
  static void TearDownTestSuite() { delete dir_; }
  static const fs::path& path() { return dir_->path(); }

  // Writes keyword file `inp`: the broadcast files `inputs` into `outputs`
  // (one name, or one per input) in RINEX `version`.
  static void keywords(const std::string& inp, int version, const std::vector<std::string>& inputs,
                       const std::vector<std::string>& outputs) {
    const auto list = [](const std::string& keyword, const std::vector<std::string>& names) {
      std::string text = keyword + " " + std::to_string(names.size()) + (names.size() == 1 ? " " : "\n");
      for (const auto& name : names) text += "  \"" + name + "\"\n";
      return text;
    };
    test::write_file(path() / inp, "CONST 1 \"CONST\"\nBRDFIL_PTH_COL_2 1 \"\"\nBRDFIL_EXT_COL_2 1 \"\"\n"
                                   "RUNBY 1 \"TEST\"\nRXNVER 1 \"" + std::to_string(version) + "\"\n" +
                                   list("BRDFIL", inputs) + list("RXNFIL", outputs));
  }

  // Runs `inp` to its end; returns the contents of `outputs` and the time
  // the run took.
  static std::map<std::string, std::string> complete(const std::string& inp, const std::vector<std::string>& outputs,
                                                     Clock::duration& took) {
    const auto start = Clock::now();
    EXPECT_EQ(WEXITSTATUS(Process(path(), inp).wait()), 0) << test::read_file(path() / "stderr");
    took = Clock::now() - start;
    std::map<std::string, std::string> files;
    for (const auto& name : outputs) files[name] = test::read_file(path() / name);
    return files;
  }

  // Puts the earlier files back under their names as hard links of saved
  // copies, which a run that replaces whole never changes (and one that
  // wrote in place would be caught at once: its name would match neither).
  static void save(const std::map<std::string, std::string>& files) {
    for (const auto& [name, text] : files) test::write_file(path() / ("before-" + name), text);
  }
  static void restore(const std::map<std::string, std::string>& files) {
    for (const auto& [name, text] : files) {
      fs::remove(path() / name);
      fs::create_hard_link(path() / ("before-" + name), path() / name);
    }
  }

  // The hidden temporary files in the folder (removed).
  static int takeTemporaryFiles() {
    int found = 0;
    for (const auto& entry : fs::directory_iterator(path())) {
      if (entry.path().filename().string().find(".kavril-") == std::string::npos) continue;
      ++found;
      fs::remove(entry.path());
    }
    return found;
  }

  struct Outcomes {
    int old = 0, complete = 0, other = 0;
  };

  // Waits until the run has begun writing (its handlers are in place then).
  static void awaitWriting(const Process& run) {
    for (int tries = 0; tries < 10000 && ::kill(run.pid(), 0) == 0; ++tries) {
      for (const auto& entry : fs::directory_iterator(path()))
        if (entry.path().filename().string().find(".kavril-") != std::string::npos) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // Kills runs of `inp` with `sig` at random instants over the time a
  // complete run took (SIGKILL from the start, other signals once the run
  // writes), each over the earlier files `before`; sorts what every name
  // holds afterwards. A run ended by a handled signal leaves no temporary
  // file and says so on standard error.
  static Outcomes killAtRandom(const std::string& inp, const std::map<std::string, std::string>& before,
                               const std::map<std::string, std::string>& after, Clock::duration took, int sig,
                               int kills) {
    Outcomes outcomes;
    save(before);
    std::mt19937 random(static_cast<unsigned>(sig));
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
    std::uniform_int_distribution<long> instant(2000, std::max(3000L, micros * 3 / 2));
    for (int kill = 0; kill < kills; ++kill) {
      restore(before);
      const Process run(path(), inp);
      if (sig != SIGKILL) awaitWriting(run);
      std::this_thread::sleep_for(std::chrono::microseconds(instant(random)));
      run.kill(sig);
      const int status = run.wait();
      const bool killed = WIFSIGNALED(status);
      EXPECT_TRUE(killed ? WTERMSIG(status) == sig : WEXITSTATUS(status) == 0) << status;
      const std::string errors = test::read_file(path() / "stderr");
      const std::string line = std::string(" *** Run interrupted by signal SIG") + sigabbrev_np(sig) +
                               ": no RINEX file of the unfinished row was written\n";
      if (killed && sig != SIGKILL) {
        EXPECT_EQ(errors, line);
      }
      EXPECT_LE(takeTemporaryFiles(), killed && sig == SIGKILL ? 1 : 0);
      bool allOld = true, allNew = true;
      for (const auto& [name, text] : before) {
        const std::string now = test::read_file(path() / name);
        const bool isOld = now == text, isNew = sameRun(now, after.at(name));
        allOld = allOld && isOld;
        allNew = allNew && isNew;
        if (!isOld && !isNew) ++outcomes.other;
      }
      if (allOld) ++outcomes.old;
      if (allNew) ++outcomes.complete;
    }
    std::printf("SIG%s: %d kills, names all old %d, all complete new %d, other %d\n", sigabbrev_np(sig), kills,
                outcomes.old, outcomes.complete, outcomes.other);
    return outcomes;
  }

  static test::ScratchDir* dir_;
};
test::ScratchDir* Interrupted::dir_ = nullptr;

// One output replaced: killed by each signal, the name holds the earlier
// file or the complete new one, never anything else.
TEST_F(Interrupted, KilledOrInterruptedRunLeavesTheEarlierOrTheCompleteFile) {
  keywords("old.inp", 2, {"big.brd"}, {"OUT.10N"});
  keywords("new.inp", 3, {"big.brd"}, {"OUT.10N"});
  Clock::duration took{};
  const auto before = complete("old.inp", {"OUT.10N"}, took);
  const auto after = complete("new.inp", {"OUT.10N"}, took);
  ASSERT_NE(before, after);
  EXPECT_EQ(killAtRandom("new.inp", before, after, took, SIGKILL, killsPerTest()).other, 0);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EQ(killAtRandom("new.inp", before, after, took, sig, killsPerTest() / 6).other, 0) << sigabbrev_np(sig);
  }
}

// A merge run (rows 1 and 2 into X, row 3 into Y) killed at random: each
// name is old or complete.
TEST_F(Interrupted, KilledMergeRunLeavesEveryNameOldOrComplete) {
  test::write_file(path() / "day.brd", test::read_file(test::data_dir() / "igs" / "brdc1830.brd"));
  keywords("old.inp", 2, {"day.brd", "day.brd"}, {"X.10N", "Y.10N"});
  keywords("new.inp", 3, {"big.brd", "day.brd", "day.brd"}, {"X.10N", "X.10N", "Y.10N"});
  Clock::duration took{};
  const auto before = complete("old.inp", {"X.10N", "Y.10N"}, took);
  const auto after = complete("new.inp", {"X.10N", "Y.10N"}, took);
  EXPECT_EQ(killAtRandom("new.inp", before, after, took, SIGKILL, killsPerTest() / 6).other, 0);
}

// Two runs started together on one output: the name holds one of the two
// complete files.
TEST_F(Interrupted, ConcurrentRunsLeaveOneCompleteFile) {
  keywords("v2.inp", 2, {"big.brd"}, {"OUT.10N"});
  keywords("v3.inp", 3, {"big.brd"}, {"OUT.10N"});
  Clock::duration took{};
  const std::string v2 = complete("v2.inp", {"OUT.10N"}, took).at("OUT.10N");
  const std::string v3 = complete("v3.inp", {"OUT.10N"}, took).at("OUT.10N");
  for (int round = 0; round < 3; ++round) {
    const Process first(path(), "v2.inp"), second(path(), "v3.inp");
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(second.wait(), 0);
    const std::string now = test::read_file(path() / "OUT.10N");
    EXPECT_TRUE(sameRun(now, v2) || sameRun(now, v3)) << "a mixture of both runs";
    EXPECT_EQ(takeTemporaryFiles(), 0);
  }
}

// As an ordinary user: an existing output that may not be written is an open
// failure and stays byte for byte; in a folder that takes no new file, a
// writable output is written in place.
TEST_F(Interrupted, OrdinaryUserCannotReplaceAFileTheyMayNotWrite) {
  const auto asUser = test::as_ordinary_user();
  if (!asUser) GTEST_SKIP() << "root cannot drop its rights here";
  test::ScratchDir dir;
  fs::permissions(dir.path(), fs::perms::all);
  fs::copy_file(test::data_dir() / "igs" / "brdc1830.brd", dir.path() / "day.brd");
  fs::copy_file(path() / "CONST", dir.path() / "CONST");
  fs::create_directory(dir.path() / "locked");
  const auto write = [&](const fs::path& name, const std::string& text, int mode) {
    test::write_file(name, text);
    fs::permissions(name, static_cast<fs::perms>(mode));
  };
  write(dir.path() / "archived.10N", "archived\n", 0444);
  write(dir.path() / "locked" / "open.10N", "open\n", 0666);
  fs::permissions(dir.path() / "locked", static_cast<fs::perms>(0555));
  const auto run = [&](const std::string& output) {
    test::write_file(dir.path() / "run.inp", "CONST 1 \"CONST\"\nBRDFIL 1 \"day.brd\"\nBRDFIL_PTH_COL_2 1 \"\"\n"
                                             "BRDFIL_EXT_COL_2 1 \"\"\nRXNFIL 1 \"" + output + "\"\n");
    return test::run_command("cd '" + dir.path().string() + "' && " + *asUser + "'" KAVRIL_BINARY
                             "' run.inp > stdout 2>&1");
  };
  EXPECT_EQ(run("archived.10N"), 1);
  EXPECT_EQ(test::read_file(dir.path() / "archived.10N"), "archived\n");
  EXPECT_NE(test::read_file(dir.path() / "stdout").find("REASON    : Permission denied"), std::string::npos);
  EXPECT_EQ(run("locked/open.10N"), 0) << test::read_file(dir.path() / "stdout");
  EXPECT_NE(test::read_file(dir.path() / "locked" / "open.10N").find("NAVIGATION DATA"), std::string::npos);
}


}  // namespace
}  // namespace kavril

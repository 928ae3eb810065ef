// The built program stopped at random instants while it replaces complete
// RINEX files (SIGKILL, SIGINT, SIGTERM, SIGHUP; also under a name so long
// that its temporary file needs a short name), by a closed pipe (SIGPIPE),
// or racing a second run on the same file: every name holds byte for byte
// its earlier file or the complete new one, and the interrupt line says
// which. KAVRIL_KILLS sets the SIGKILLs of one run (default 30, a
// sixth as many per other signal and for the merge run; long run:
// KAVRIL_KILLS=1000 ctest -L fault_injection).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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
#include <vector>

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

  // Starts the program on `inp` (a keyword file, or the arguments of a
  // direct run separated by blanks) with the signals' default actions.
  static pid_t start(const std::string& inp) {
    std::vector<std::string> words;
    for (std::size_t from = 0, to; from < inp.size(); from = to + 1) {
      to = std::min(inp.find(' ', from), inp.size());
      words.push_back(inp.substr(from, to - from));
    }
    std::vector<char*> argv{const_cast<char*>(KAVRIL_BINARY)};
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
    if (::chdir(path().c_str()) == 0 && ::dup2(::open("/dev/null", O_WRONLY), 1) == 1 &&
        ::dup2(::open("stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2) == 2)
      ::execv(KAVRIL_BINARY, argv.data());
    ::_exit(127);
  }
  static int wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }
  // The files of `names`; a compressed one as the text it holds.
  static Files contents(const Files& names) {
    Files files;
    for (const auto& [name, text] : names) files[name] = test::read_decompressed(path() / name);
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
    fs::create_directories(path() / "before");
    for (const auto& [name, text] : before) test::write_file(path() / "before" / name, text);
    std::mt19937 random(static_cast<unsigned>(sig));
    std::uniform_int_distribution<long> micros(2000, std::max(3000L, static_cast<long>(took.count()) * 6 / 5));
    int old = 0, complete = 0, other = 0;
    for (int kill = 0; kill < kills; ++kill) {
      for (const auto& [name, text] : before) {
        fs::remove(path() / name);
        fs::create_hard_link(path() / "before" / name, path() / name);
      }
      const pid_t pid = start(inp);
      for (int ms = 0; sig != SIGKILL && ms < 10000 && temporaryFiles(false) == 0 && ::kill(pid, 0) == 0; ++ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::microseconds(micros(random)));
      ::kill(pid, sig);
      const int status = wait(pid);
      const bool signalled = WIFSIGNALED(status);
      EXPECT_TRUE(signalled ? WTERMSIG(status) == sig : WEXITSTATUS(status) == 0) << status;
      const Files now = contents(before);
      if (signalled && sig != SIGKILL) {
        // After the last rename nothing is being written: every file is new.
        const bool allComplete = std::all_of(now.begin(), now.end(), [&](const auto& f) { return sameRun(f.second, after.at(f.first)); });
        const std::string line = test::read_file(path() / "stderr");
        const bool direct = inp.find(' ') != std::string::npos;
        EXPECT_TRUE(line == interruptLine(sig, false, direct) || (allComplete && line == interruptLine(sig, true, direct)))
            << line;
      }
      EXPECT_LE(temporaryFiles(), signalled && sig == SIGKILL ? 1 : 0);
      for (const auto& [name, text] : now) other += text != before.at(name) && !sameRun(text, after.at(name));
      old += now == before;
      complete += std::all_of(now.begin(), now.end(), [&](const auto& f) { return sameRun(f.second, after.at(f.first)); });
    }
    std::printf("SIG%s: %d kills: all old %d, all complete new %d, names with anything else %d\n", sigabbrev_np(sig),
                kills, old, complete, other);
    return other;
  }

  static std::string interruptLine(int sig, bool nothingBeingWritten, bool direct = false) {
    return std::string(direct ? "kavril: interrupted by signal SIG" : " *** Run interrupted by signal SIG") + sigabbrev_np(sig) +
           (nothingBeingWritten ? ": every RINEX file of the finished rows is complete\n"
                                : ": no RINEX file of the unfinished row was written\n");
  }

  // Writes old.inp (version 2) and new.inp (version `newVersion`)
  // converting big.brd into `output` (`keywords` lines before RXNFIL), runs
  // both and returns the earlier and the complete new file of `name`.
  static std::pair<Files, Files> earlierAndNew(const std::string& name, const std::string& output,
                                               const std::string& keywordLines = "", int newVersion = 3) {
    for (const int version : {2, newVersion})
      keywords(version == 2 ? "old.inp" : "new.inp", version, "1 \"big.brd\"" + keywordLines, "1 \"" + output + "\"");
    EXPECT_EQ(wait(start("old.inp")), 0);
    const Files before = contents({{name, ""}});
    EXPECT_EQ(wait(start("new.inp")), 0);
    return {before, contents(before)};
  }

  static test::ScratchDir* dir_;
};
test::ScratchDir* Interrupted::dir_ = nullptr;

TEST_F(Interrupted, KilledOrInterruptedRunLeavesTheEarlierOrTheCompleteFile) {
  const auto [before, after] = earlierAndNew("OUT.10N", "OUT.10N");
  EXPECT_EQ(killAtRandom("new.inp", before, after, SIGKILL, kKills), 0);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) EXPECT_EQ(killAtRandom("new.inp", before, after, sig, kKills / 6), 0);
  // RINEX 4.00, whose header waits for the first record, alike.
  const auto [before4, after4] = earlierAndNew("OUT.10N", "OUT.10N", "", 4);
  EXPECT_EQ(killAtRandom("new.inp", before4, after4, SIGKILL, kKills / 6), 0);
}

// A final name of 250 characters: ".NAME.kavril-HOST-PID" would exceed the
// limit of 255, so the temporary file has a short name of its own.
TEST_F(Interrupted, LongNameIsWrittenWholeToo) {
  const std::string half(123, 'N'), name = half + half + ".10N";
  // Keyword lines are read up to 255 characters: the name is made of a variable.
  const auto [before, after] = earlierAndNew(name, "${H}${H}.10N", "\nENVIRONMENT 1 \"H\" \"" + half + "\"");
  for (const int sig : {SIGKILL, SIGTERM}) EXPECT_EQ(killAtRandom("new.inp", before, after, sig, kKills / 6), 0);
  fs::remove(path() / name);
}

// A closed pipe (`kavril new.inp | head -1`, the report to standard output)
// ends the run like an interrupt: exit status 141, the earlier file kept, no
// temporary file; a direct run ends so without a word. With SIGPIPE ignored,
// the failed write is an error of the run (status 1) and the RINEX file of a
// keyword run is complete.
TEST_F(Interrupted, ClosedPipeEndsTheRunLikeAnInterrupt) {
  const auto [before, after] = earlierAndNew("OUT.10N", "OUT.10N");
  const std::string program = "'" KAVRIL_BINARY "' ";
  struct Case {
    std::string command;
    int status;
    std::string stderrText;  // "-": standard error is the closed pipe
  };
  for (const Case& run : {Case{program + "new.inp 2>stderr | head -1", 141, interruptLine(SIGPIPE, false)},
                          Case{program + "-r 3 -o OUT.10N big.brd 2>&1 | head -1", 141, "-"},
                          Case{"trap '' PIPE; " + program + "new.inp 2>stderr | head -1", 1,
                               "*** Cannot write standard output: Broken pipe\n"},
                          Case{program + "-q -o - big.brd 2>stderr | head -1", 141, ""},
                          Case{"trap '' PIPE; " + program + "-q --check --json big.brd 2>stderr | true", 1,
                               "kavril: (standard output): Broken pipe\n"}}) {
    fs::remove(path() / "OUT.10N");
    test::write_file(path() / "OUT.10N", before.at("OUT.10N"));
    test::write_file(path() / "run.sh", "cd '" + path().string() + "' && " + run.command + " >/dev/null; exit ${PIPESTATUS[0]}");
    EXPECT_EQ(test::run_command("bash '" + (path() / "run.sh").string() + "'"), run.status) << run.command;
    EXPECT_EQ(temporaryFiles(), 0) << run.command;
    if (run.status == 1 && run.command.find("new.inp") != std::string::npos) {
      EXPECT_TRUE(sameRun(test::read_file(path() / "OUT.10N"), after.at("OUT.10N")));
    } else {
      EXPECT_TRUE(contents(before) == before) << run.command;
    }
    if (run.stderrText != "-") {
      EXPECT_EQ(test::read_file(path() / "stderr"), run.stderrText) << run.command;
    }
  }
}

// The outputs added last, stopped the same way: -n (named when complete),
// -z, and the picture of --check with and without --json, each over an
// earlier file.
TEST_F(Interrupted, KilledNamedCompressedAndPictureRunsLeaveTheEarlierOrTheCompleteFile) {
  const std::string earlier = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n";
  for (const auto& [args, name] : {std::pair{"-q -r 3 -n BRDC00ORL big.brd", "BRDC00ORL_U_20101820000_01D_GN.rnx"},
                                   {"-q -r 3 -z -o OUT.rnx.gz big.brd", "OUT.rnx.gz"},
                                   {"--check --plot OUT.svg big.brd", "OUT.svg"},
                                   {"--check --json --plot OUT.svg big.brd", "OUT.svg"}}) {
    test::write_file(path() / name, earlier);
    const Files before = contents({{name, ""}});
    ASSERT_EQ(wait(start(args)), 0) << args;
    const Files after = contents(before);
    ASSERT_NE(after, before) << args;
    for (const int sig : {SIGKILL, SIGTERM}) EXPECT_EQ(killAtRandom(args, before, after, sig, kKills / 6), 0) << args;
    fs::remove(path() / name);
  }
}

// Out of memory (a limit on the address space, the least that lets the run
// on one day through) with --sort and --plot on the big input: "kavril: out
// of memory", status 1, the earlier file kept, no temporary file left.
TEST_F(Interrupted, OutOfMemoryStopsTheRunAndKeepsTheEarlierFile) {
  for (const auto& [options, name] : {std::pair{"-q --sort -o OUT.rnx", "OUT.rnx"}, {"--check --plot OUT.svg", "OUT.svg"}}) {
    const auto limited = [&](int kilobytes, const std::string& input) {
      return test::run_command("cd '" + path().string() + "' && ulimit -v " + std::to_string(kilobytes) + " && '" KAVRIL_BINARY
                               "' " + options + " " + input + " > said 2>&1");
    };
    int limit = 0;
    for (int kilobytes = 8000; kilobytes <= 64000 && limit == 0; kilobytes += 1000)
      if (limited(kilobytes, "day.brd") == 0) limit = kilobytes;
    if (limit == 0) GTEST_SKIP() << "no limit of the address space lets a run through (a sanitizer build?)";
    test::write_file(path() / name, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    EXPECT_EQ(limited(limit, "big.brd"), 1) << options << " under " << limit << " KiB";
    EXPECT_NE(test::read_file(path() / "said").find("kavril: out of memory\n"), std::string::npos) << test::read_file(path() / "said");
    EXPECT_EQ(test::read_file(path() / name), "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    EXPECT_EQ(temporaryFiles(), 0);
    fs::remove(path() / name);
  }
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

// Root's -n run in a folder that the user nobody may write: a link to a file
// of root that nobody made where the run once wrote under a fixed name has
// no effect, and the output takes the owner and mode 0600 of nobody's earlier
// file of its name; a device under that name is refused and stays.
TEST_F(Interrupted, NamedOutputOfRootIgnoresWhatAnotherUserPutBesideIt) {
  const auto asUser = test::as_ordinary_user();
  if (!asUser || asUser->empty()) GTEST_SKIP() << "needs root and setpriv to act as the user nobody";
  const std::string name = "BRDC00ORL_U_20101820000_01D_GN.rnx";
  for (const std::string& plant : {*asUser + "sh -c 'umask 077; echo x > " + name + "; ln -s victim kavril-unnamed-1'",
                                  "mknod " + name + " c 1 3"}) {
    test::ScratchDir dir;
    fs::permissions(dir.path(), static_cast<fs::perms>(0777));
    fs::copy_file(path() / "day.brd", dir.path() / "day.brd");
    test::write_file(dir.path() / "victim", "root's\n");
    const std::string in = "cd '" + dir.path().string() + "' && ";
    ASSERT_EQ(test::run_command(in + plant), 0);
    const int status = test::run_command(in + "'" KAVRIL_BINARY "' -q -r 3 -n BRDC00ORL day.brd > said 2>&1");
    const std::string said = test::read_file(dir.path() / "said");
    struct stat info {};
    ASSERT_EQ(::stat((dir.path() / name).c_str(), &info), 0);
    EXPECT_EQ(status, S_ISCHR(info.st_mode) ? 1 : 0) << said;
    EXPECT_TRUE(S_ISCHR(info.st_mode) ? said.find(name) != std::string::npos
                                      : info.st_uid == 65534 && (info.st_mode & 07777) == 0600 &&
                                            test::read_file(dir.path() / name).starts_with("     3.04")) << said;
    EXPECT_EQ(test::read_file(dir.path() / "victim"), "root's\n");
  }
}

// As an ordinary user, an output that cannot be replaced whole is an open
// failure with the system's reason and keeps its earlier file byte for byte,
// also for two runs at once: a file they may not write, a file in a folder
// that takes no new file, another user's file in a sticky folder.
TEST_F(Interrupted, OrdinaryUserCannotReplaceAFileTheyMayNotWrite) {
  const auto asUser = test::as_ordinary_user();
  if (!asUser) GTEST_SKIP() << "root cannot drop its rights here";
  if (asUser->empty()) GTEST_SKIP() << "the sticky folder needs a file of another user: run as root";
  test::ScratchDir dir;
  fs::copy_file(path() / "day.brd", dir.path() / "day.brd");
  fs::copy_file(path() / "CONST", dir.path() / "CONST");
  fs::create_directory(dir.path() / "locked");
  fs::create_directory(dir.path() / "sticky");
  for (const char* name : {"archived.10N", "locked/open.10N", "sticky/other.10N"})
    test::write_file(dir.path() / name, std::string(name) + "\n");
  for (const auto& [name, mode] : {std::pair{"", 0777}, {"archived.10N", 0444}, {"locked/open.10N", 0666}, {"locked", 0555},
                                   {"sticky", 01777}, {"sticky/other.10N", 0666}})
    fs::permissions(dir.path() / name, static_cast<fs::perms>(mode));
  const auto command = [&](const std::string& output, int k) {
    test::write_file(dir.path() / ("run" + std::to_string(k) + ".inp"),
                     "CONST 1 \"CONST\"\nBRDFIL 1 \"day.brd\"\nBRDFIL_PTH_COL_2 1 \"\"\n"
                     "BRDFIL_EXT_COL_2 1 \"\"\nRXNFIL 1 \"" + output + "\"\n");
    return *asUser + "'" KAVRIL_BINARY "' run" + std::to_string(k) + ".inp > stdout" + std::to_string(k) + " 2>&1";
  };
  for (const auto& [output, reason] : {std::pair{"archived.10N", "Permission denied"}, {"locked/open.10N", "Permission denied"},
                                       {"sticky/other.10N", "Operation not permitted"}}) {
    // Both runs in the background; the shell's status is that of the last wait.
    const std::string both = "cd '" + dir.path().string() + "' && (" + command(output, 1) + ") & (cd '" +
                             dir.path().string() + "' && " + command(output, 2) + "); s=$?; wait $!; t=$?; exit $((s + t))";
    EXPECT_EQ(test::run_command(both), 2) << output;
    EXPECT_EQ(test::read_file(dir.path() / output), output + std::string("\n"));
    for (const char* report : {"stdout1", "stdout2"}) {
      const std::string said = test::read_file(dir.path() / report);
      EXPECT_NE(said.find("REASON    : " + std::string(reason)), std::string::npos) << said;
      EXPECT_NE(said.find(" ### PG KAVRIL: RINEX file not written, earlier file kept"), std::string::npos) << said;
    }
  }
  for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".kavril-"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace kavril

// Every system call of a run made to fail in turn (strace's fault injection):
// runs that write a file replacing an earlier file (kPaths: a direct and a
// keyword run that merge two days, -n, -z, the picture of --check with and
// without --json), for each call and error of the table below, at every
// occurrence the run makes itself (the loader's calls left out), or a spread
// sample of 40 (12 for the paths after the first two) where there are more. KAVRIL_SYSCALL_SWEEP=N makes the
// second day N times as long and samples up to 40 N occurrences (a long
// sweep: N=20 takes some minutes). After each run the name holds its
// earlier file byte for byte or the complete new one; exit status 0 only with
// the complete new file and its permissions kept; otherwise a message gives
// the system's reason; no temporary file is left unless a message names it.
// Prints a table of the outcomes. Skipped where strace is missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/support.h"

namespace kavril {
namespace {

namespace fs = std::filesystem;

const int kSweep = std::getenv("KAVRIL_SYSCALL_SWEEP") ? std::max(1, std::atoi(std::getenv("KAVRIL_SYSCALL_SWEEP"))) : 1;
const int kSample = 40 * kSweep;
constexpr mode_t kEarlierMode = 0640;
// The runs swept and the file each replaces. The earlier file is one the
// run may replace whatever it writes (an SVG picture), made with mode 0640.
struct Path {
  const char* mode;
  const char* args;
  const char* output;
};
const Path kPaths[] = {
    {"direct", "-q -r 3 -o OUT.rnx brdc1820.brd brdc1830.brd", "OUT.rnx"},
    {"keyword", "new.inp", "OUT.rnx"},
    {"-n", "-q -r 3 -n BRDC00ORL -m brdc1820.brd brdc1830.brd", "BRDC00ORL_U_20101820000_02D_GN.rnx"},
    {"-z", "-q -r 3 -z -o OUT.rnx.gz brdc1820.brd brdc1830.brd", "OUT.rnx.gz"},
    {"--plot", "--check --plot OUT.svg brdc1820.brd brdc1830.brd", "OUT.svg"},
    {"--json", "--check --json --plot OUT.svg brdc1820.brd brdc1830.brd", "OUT.svg"},
};
constexpr const char* kEarlier = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n";

// The leak check of a sanitizer build does not work under ptrace (it fails
// the run); the other tests check for leaks.
constexpr const char* kUnderStrace = "env ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ";

bool haveStrace() { return test::run_command("strace -V >/dev/null 2>&1") == 0; }

// A failing call and its error, at one occurrence or (`persistent`) from it
// on: the opening of a file is retried, so that only a lasting failure takes
// the path where it stops the run. `trigger` is a second injection that
// makes the run take the path where the call happens (a clean run deletes
// nothing).
struct Fault {
  const char* syscall;
  int error;
  bool persistent = false;
  const char* trigger = "";
};
const Fault kFaults[] = {
    {"write", ENOSPC}, {"write", EIO},       {"fsync", EIO},      {"close", EIO},      {"rename", EXDEV},
    {"rename", EIO},   {"openat", ENOSPC},   {"openat", EACCES},  {"openat", EMFILE},  {"fchmod", EPERM},
    {"fchown", EPERM}, {"ftruncate", EIO},   {"read", EIO},       {"unlink", EIO, false, "rename:error=EIO:when=1"},
    {"openat", ENOSPC, true}, {"fchmod", EPERM, true}, {"fchown", EPERM, true},
    {"newfstatat", EACCES}, {"newfstatat", EIO}, {"flock", ENOLCK}, {"flock", EINTR},
};

struct Outcome {
  int cases = 0, earlierKept = 0, completeNew = 0, exitZero = 0, faults = 0;
  std::set<std::string> messages;  // first lines of the message blocks seen
};

class SyscallFaults : public testing::Test {
 protected:
  void SetUp() override {
    if (!haveStrace()) GTEST_SKIP() << "strace is not installed (Debian package strace): no system call fails on purpose";
    fs::copy_file(test::data_dir() / "igs" / "brdc1820.brd", path("brdc1820.brd"));
    const std::string day = test::read_file(test::data_dir() / "igs" / "brdc1830.brd");
    std::string days = day;
    for (int k = 1; k < kSweep; ++k) days += day.substr(day.find('\n') + 1);
    test::write_file(path("brdc1830.brd"), days);
    fs::copy_file(test::data_dir() / ".." / ".." / "examples" / "CONST", dir_.path() / "CONST");
    test::write_file(dir_.path() / "new.inp",
                     "TITLE 1 \"Faults\"\nCONST 1 \"CONST\"\nBRDFIL 2\n\"brdc1820.brd\"\n\"brdc1830.brd\"\nBRDFIL_PTH_COL_2 1 \"\"\n"
                     "BRDFIL_EXT_COL_2 1 \"\"\nRXNFIL 1 \"OUT.rnx\"\nRXNVER 1 \"3\"\nRUNBY 0\n");
  }

  fs::path path(const std::string& name) const { return dir_.path() / name; }

  // The output of `p` as it reads: decompressed for -z, dates masked.
  std::string outputText(const Path& p) const { return test::mask_volatile(test::read_decompressed(path(p.output))); }

  // The complete new file of `p`, from a run without faults.
  void prepare(const Path& p) {
    putEarlierFile(p);
    ASSERT_EQ(run("", p.args), 0) << p.args << test::read_file(path("stderr"));
    completeNew_ = outputText(p);
    ASSERT_NE(completeNew_, kEarlier);
  }

  // Runs the program with `args` in the scratch folder behind `strace`
  // options (none: no strace), standard output and error into files.
  int run(const std::string& strace, const std::string& args) const {
    const std::string tracer = strace.empty() ? "" : std::string(kUnderStrace) + "strace -qq " + strace + " ";
    return test::run_command("cd '" + dir_.path().string() + "' && timeout 60 " + tracer + "'" KAVRIL_BINARY "' " + args +
                             " >stdout 2>stderr");
  }

  void putEarlierFile(const Path& p) const {
    fs::remove(path(p.output));
    test::write_file(path(p.output), kEarlier);
    fs::permissions(path(p.output), static_cast<fs::perms>(kEarlierMode));
  }

  // The strace options that trace `fault`'s call (and its trigger's) and,
  // with `when` above 0, make it fail there.
  static std::string traceOptions(const Fault& fault, int when) {
    const std::string_view trigger = fault.trigger;
    std::string options = "-e trace=";
    options.append(fault.syscall);
    if (!trigger.empty()) options.append(",").append(trigger.substr(0, trigger.find(':'))).append(" -e inject=").append(trigger);
    if (when > 0) {
      options.append(" -e inject=").append(fault.syscall).append(":error=").append(strerrorname_np(fault.error));
      options.append(":when=").append(std::to_string(when)).append(fault.persistent ? "+" : "");
    }
    return options;
  }

  // The occurrences of `fault.syscall` in a run of `args` that touch the
  // run's own files, streams and folder (not the loader's libraries), as the
  // 1-based counts of strace's when=, with what each call touched.
  std::vector<std::pair<int, std::string>> occurrences(const Fault& fault, const Path& p) const {
    putEarlierFile(p);
    run("-y -o trace.log " + traceOptions(fault, 0), p.args);
    std::istringstream log(test::read_file(path("trace.log")));
    std::vector<std::pair<int, std::string>> own;
    int count = 0;
    for (std::string line; std::getline(log, line);) {
      if (line.rfind(std::string(fault.syscall) + "(", 0) != 0) continue;
      ++count;
      bool loader = false;
      for (const char* foreign : {"/usr/", "/lib", "/etc/", "/proc/", "/sys/", "/dev/null"})
        loader = loader || line.find(foreign) != std::string::npos;
      // A pipe beyond the standard streams is the sanitizer runtime's own
      // (it probes memory by writing to it); the program opens no pipe.
      const std::size_t pipe = line.find("<pipe:");
      const std::size_t open = line.find('(');
      if (pipe != std::string::npos && open != std::string::npos && pipe > open + 1)
        loader = loader || std::atoi(line.substr(open + 1, pipe - open - 1).c_str()) > 2;
      if (!loader) own.emplace_back(count, line.substr(0, 100));
    }
    return own;
  }

  // Runs `args` with `fault` injected at occurrence `when` over the earlier
  // file and checks what is on disk and what was said.
  void runCase(const Fault& fault, const Path& p, int when, const std::string& call, Outcome& outcome) const {
    putEarlierFile(p);
    const std::string args = p.args;
    const int status = run("-o /dev/null " + traceOptions(fault, when), args);
    const bool kept = test::read_file(path(p.output)) == kEarlier;
    const bool complete = !kept && outputText(p) == completeNew_;
    const std::string said = test::read_file(path("stdout")) + test::read_file(path("stderr"));
    const bool modeKept = static_cast<mode_t>(fs::status(path(p.output)).permissions()) == kEarlierMode;
    const bool reasonSaid = said.find(std::strerror(fault.error)) != std::string::npos;
    std::string unnamed;  // temporary files left that no message names
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename();
      if (name.find(".kavril-") == std::string::npos) continue;
      if (said.find(name) == std::string::npos) unnamed += name + " ";
      fs::remove(entry.path());
    }
    // A failed write of the report to standard error cannot be reported:
    // the exit status alone tells of it.
    const bool reportLost = call.starts_with("write(2<");
    const bool fine = (kept || complete) && (status == 0 ? complete && modeKept && !reportLost : reasonSaid || reportLost) &&
                      unnamed.empty();
    EXPECT_TRUE(fine) << fault.syscall << " " << strerrorname_np(fault.error) << " when=" << when << " (" << call
                      << ") kavril " << args << ": status " << status << ", earlier file " << kept
                      << ", complete new file " << complete << ", mode kept " << modeKept << ", reason said "
                      << reasonSaid << ", temporary files left unnamed: " << unnamed << "\n" << said;
    ++outcome.cases;
    outcome.earlierKept += kept;
    outcome.completeNew += complete;
    outcome.exitZero += status == 0;
    outcome.faults += !fine;
    std::istringstream lines(said);
    for (std::string line; std::getline(lines, line);)
      if (line.find("***") <= 1 || line.rfind(" ###", 0) == 0) outcome.messages.insert(line.substr(0, 64));
  }

  test::ScratchDir dir_;
  std::string completeNew_;
};

// Up to `limit` of `all`, spread evenly over them (first and last included).
template <class T>
std::vector<T> spread(const std::vector<T>& all, int limit) {
  if (static_cast<int>(all.size()) <= limit) return all;
  std::vector<T> sample;
  for (int k = 0; k < limit; ++k) sample.push_back(all[static_cast<std::size_t>(k) * (all.size() - 1) / (limit - 1)]);
  return sample;
}

TEST_F(SyscallFaults, EveryFailingCallKeepsTheEarlierFileOrWritesTheCompleteOneAndSaysWhy) {
  std::printf("%-17s %-8s %5s %7s %8s %6s %6s  %s\n", "call, error", "run", "cases", "earlier", "complete", "exit 0",
              "faults", "messages");
  for (const Path& p : kPaths) {
    prepare(p);
    for (const Fault& fault : kFaults) {
      const char* mode = p.mode;
      Outcome outcome;
      const int sample = &p < kPaths + 2 ? kSample : kSample * 3 / 10;
      for (const auto& [when, call] : spread(occurrences(fault, p), sample)) runCase(fault, p, when, call, outcome);
      // The first two paths make every call of the table.
      EXPECT_TRUE(outcome.cases > 0 || &p >= kPaths + 2)
          << fault.syscall << " never called by the " << mode << " run";
      std::string messages;
      for (const std::string& message : outcome.messages) messages += (messages.empty() ? "" : " | ") + message;
      const std::string row = std::string(fault.syscall) + " " + strerrorname_np(fault.error) + (fault.persistent ? " N+" : "");
      std::printf("%-17s %-8s %5d %7d %8d %6d %6d  %s\n", row.c_str(), mode, outcome.cases, outcome.earlierKept,
                  outcome.completeNew, outcome.exitZero, outcome.faults, messages.c_str());
    }
  }
}

// A signal right after the last rename: the new file is complete, and the
// interrupt line says so (the run is held after the rename by strace).
TEST_F(SyscallFaults, InterruptAfterTheLastRenameSaysEveryFileIsComplete) {
  prepare(kPaths[1]);
  putEarlierFile(kPaths[1]);
  const std::string command = "cd '" + dir_.path().string() +
                              "' && exec " + kUnderStrace + "strace -qq -o /dev/null -e trace=rename -e inject=rename:delay_exit=1500000 '" KAVRIL_BINARY
                              "' new.inp >stdout 2>stderr";
  const pid_t shell = ::fork();
  if (shell == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // The program is strace's child; it is found by the file it renamed.
  for (int ms = 0; ms < 20000 && test::read_file(path("OUT.rnx")) == kEarlier; ms += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::string task = "/proc/" + std::to_string(shell) + "/task/" + std::to_string(shell) + "/children";
  const pid_t program = static_cast<pid_t>(std::atol(test::read_file(task).c_str()));
  ASSERT_GT(program, 0);
  ::kill(program, SIGINT);
  int status = 0;
  ::waitpid(shell, &status, 0);
  EXPECT_EQ(test::read_file(path("stderr")),
            " *** Run interrupted by signal SIGINT: every RINEX file of the finished rows is complete\n");
  EXPECT_TRUE(outputText(kPaths[1]) == completeNew_);
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    EXPECT_EQ(entry.path().filename().string().find(".kavril-"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace kavril

// Runs the built program on every case folder and compares what it leaves
// behind with the case's expected files.
//
// Case folders live in the suite folders cases/ and bad_input/. A case
// folder holds:
//   run/          the files the run starts with (keyword file, inputs, ...)
//   args          optional: the command line (default: input.inp)
//   stdout_to     optional: a file standard output goes to instead of being
//                 captured, such as /dev/full (expected/stdout is then
//                 empty)
//   expected/     every file the run creates or changes, by name; "stdout"
//                 is the standard output, "stderr" the standard error (none:
//                 nothing written there) and "exit_status" the exit status
//   absent        optional: names (one per line) that must not exist after
//                 the run; every other file of run/ must remain
// Files of run/ that the run neither changes nor deletes need not be listed.
// Run dates, times and timing figures are masked before comparing.
//
// KAVRIL_E2E_UPDATE=1 writes the actual results into expected/ instead of
// comparing (for new cases; review every such file by hand).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace fs = std::filesystem;

namespace kavril::test {
namespace {

// Case folders of one suite folder (cases, bad_input) as "suite/case".
std::vector<std::string> caseNames(const std::string& suite) {
  std::vector<std::string> names;
  const fs::path root = fs::path(KAVRIL_E2E_ROOT) / suite;
  if (!fs::exists(root)) return names;
  for (const auto& entry : fs::directory_iterator(root))
    if (entry.is_directory()) names.push_back(suite + "/" + entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::set<std::string> filesIn(const fs::path& dir) {
  std::set<std::string> names;
  if (!fs::exists(dir)) return names;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file()) names.insert(fs::relative(entry.path(), dir).string());
  return names;
}

std::vector<std::string> linesOf(const fs::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(read_file(path));
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

class EndToEnd : public testing::TestWithParam<std::string> {};

TEST_P(EndToEnd, LeavesTheExpectedFiles) {
  const fs::path caseDir = fs::path(KAVRIL_E2E_ROOT) / GetParam();
  const fs::path expectedDir = caseDir / "expected";
  ScratchDir scratch;
  const fs::path runDir = scratch.path() / "run";
  const fs::path stdoutFile = scratch.path() / "stdout";
  const fs::path stderrFile = scratch.path() / "stderr";
  fs::create_directories(runDir);
  if (fs::exists(caseDir / "run")) fs::copy(caseDir / "run", runDir, fs::copy_options::recursive | fs::copy_options::copy_symlinks);

  const std::string args =
      fs::exists(caseDir / "args") ? trimmed(read_file(caseDir / "args")) : std::string("input.inp");
  const bool captured = !fs::exists(caseDir / "stdout_to");
  const fs::path stdoutTarget = captured ? stdoutFile : fs::path(trimmed(read_file(caseDir / "stdout_to")));
  const int exitStatus = run_kavril(runDir, args, stdoutTarget, stderrFile);
  if (!captured) write_file(stdoutFile, "");

  if (std::getenv("KAVRIL_E2E_UPDATE") != nullptr) {
    fs::create_directories(expectedDir);
    write_file(expectedDir / "exit_status", std::to_string(exitStatus) + "\n");
    fs::copy_file(stdoutFile, expectedDir / "stdout", fs::copy_options::overwrite_existing);
    fs::remove(expectedDir / "stderr");
    if (!read_file(stderrFile).empty()) fs::copy_file(stderrFile, expectedDir / "stderr");
    const auto before = filesIn(caseDir / "run");
    for (const auto& name : filesIn(runDir)) {
      if (before.count(name) && read_file(runDir / name) == read_file(caseDir / "run" / name)) continue;
      fs::create_directories((expectedDir / name).parent_path());
      fs::copy_file(runDir / name, expectedDir / name, fs::copy_options::overwrite_existing);
    }
    GTEST_SKIP() << "expected files written for " << GetParam();
  }

  EXPECT_EQ(std::to_string(exitStatus), trimmed(read_file(expectedDir / "exit_status")));
  EXPECT_EQ(mask_volatile(read_file(stdoutFile)), mask_volatile(read_file(expectedDir / "stdout")))
      << "standard output of " << GetParam();
  const fs::path expectedStderr = expectedDir / "stderr";
  EXPECT_EQ(mask_volatile(read_file(stderrFile)),
            mask_volatile(fs::exists(expectedStderr) ? read_file(expectedStderr) : std::string()))
      << "standard error of " << GetParam();

  const auto expected = filesIn(expectedDir);
  for (const auto& name : expected) {
    if (name == "stdout" || name == "stderr" || name == "exit_status") continue;
    ASSERT_TRUE(fs::exists(runDir / name)) << name << " was not written";
    EXPECT_EQ(mask_volatile(read_file(runDir / name)), mask_volatile(read_file(expectedDir / name)))
        << "file " << name;
  }
  // Every other file is one the run started with, unchanged.
  for (const auto& name : filesIn(runDir)) {
    if (expected.count(name)) continue;
    ASSERT_TRUE(fs::exists(caseDir / "run" / name)) << "unexpected file " << name;
    EXPECT_EQ(read_file(runDir / name), read_file(caseDir / "run" / name)) << name << " was changed";
  }
  // Files named in `absent` are gone; every other file the run started with remains.
  std::set<std::string> absent;
  if (fs::exists(caseDir / "absent")) {
    for (const auto& name : linesOf(caseDir / "absent")) absent.insert(name);
  }
  for (const auto& name : absent) EXPECT_FALSE(fs::exists(runDir / name)) << name << " should not exist";
  for (const auto& name : filesIn(caseDir / "run")) {
    if (absent.count(name) == 0) {
      EXPECT_TRUE(fs::exists(runDir / name)) << name << " should remain";
    }
  }
}

std::string caseTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(info.param.find('/') + 1);
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

// Runs of the program as its users meet it.
INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, testing::ValuesIn(caseNames("cases")), caseTestName);
// Malformed inputs of every kind: each must give a clear message and exit
// status 1, never a crash, a hang or a record cut short.
INSTANTIATE_TEST_SUITE_P(BadInput, EndToEnd, testing::ValuesIn(caseNames("bad_input")), caseTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EndToEnd);

}  // namespace
}  // namespace kavril::test

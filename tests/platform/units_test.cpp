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

using test::read_file;
using test::ScratchDir;
using test::write_file;

constexpr int kUnit = 42;

TEST(Units, WrittenLinesReadBackWithLineNumbers) {
  ScratchDir dir;
  const std::string name = dir.file("a.txt");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::New, true, false), 0);
  EXPECT_TRUE(unit_connected(kUnit));
  EXPECT_EQ(unit_file_name(kUnit), name);
  EXPECT_EQ(write_line(kUnit, "first"), 0);
  EXPECT_EQ(write_text(kUnit, "second\nthird\n"), 0);
  EXPECT_EQ(write_line(kUnit, ""), 0);
  ASSERT_EQ(close_unit(kUnit), 0);
  EXPECT_FALSE(unit_connected(kUnit));
  EXPECT_EQ(read_file(name), "first\nsecond\nthird\n\n");

  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Old, true, true), 0);
  std::string line;
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line, "first");
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line_number(kUnit), 2);
  EXPECT_EQ(rewind_unit(kUnit), 0);
  EXPECT_EQ(line_number(kUnit), 0);
  for (const char* expected : {"first", "second", "third", ""}) {
    ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
    EXPECT_EQ(line, expected);
  }
  EXPECT_EQ(read_line(kUnit, line), ReadResult::End);
  EXPECT_EQ(read_line(kUnit, line), ReadResult::End);
  EXPECT_EQ(line_number(kUnit), 4);
  EXPECT_EQ(close_unit(kUnit), 0);
}

TEST(Units, LineEndsCarriageReturnsAndLongLines) {
  ScratchDir dir;
  const std::string longLine(100000, 'x');
  const std::string longestLine(kMaxLineLength, 'y');
  write_file(dir.file("in"), "dos\r\n" + longLine + "\nin\rside\n" + longestLine + "\r\nlast");
  ASSERT_EQ(open_unit(kUnit, dir.file("in"), OpenStatus::Old, true, true), 0);
  std::string line;
  for (const std::string& expected : {std::string("dos"), longLine, std::string("in\rside"), longestLine}) {
    ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
    EXPECT_EQ(line, expected);
    EXPECT_TRUE(line_ended(kUnit));
  }
  ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(line_ended(kUnit));
  EXPECT_EQ(read_line(kUnit, line), ReadResult::End);
  close_unit(kUnit);

  // One character more, with or without a line end, and memory would grow
  // with the file: a read error of its own.
  for (const std::string lineEnd : {"\n", ""}) {
    write_file(dir.file("in"), "first\n" + longestLine + "z" + lineEnd);
    ASSERT_EQ(open_unit(kUnit, dir.file("in"), OpenStatus::Old, true, true), 0);
    ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
    EXPECT_EQ(read_line(kUnit, line), ReadResult::Error);
    EXPECT_EQ(line_number(kUnit), 1);  // lines read whole
    EXPECT_EQ(status_text(read_status(kUnit)), "Line longer than 1048576 characters");
    close_unit(kUnit);
  }
}

TEST(Units, OpenStatusesFollowTheFileState) {
  ScratchDir dir;
  const std::string name = dir.file("f");
  EXPECT_EQ(open_unit(kUnit, name, OpenStatus::Old, true, false), ENOENT);
  EXPECT_FALSE(unit_connected(kUnit));
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::New, true, false), 0);
  close_unit(kUnit);
  EXPECT_EQ(open_unit(kUnit, name, OpenStatus::New, true, false), EEXIST);
  EXPECT_EQ(open_unit(kUnit, dir.path().string(), OpenStatus::Old, true, true), EISDIR);
  EXPECT_EQ(open_unit(kUnit, dir.path().string(), OpenStatus::Unknown, true, false), EISDIR);
  EXPECT_EQ(open_unit(kUnit, "", OpenStatus::Old, true, false), ENOENT);
  EXPECT_EQ(open_unit(kMaxUnit + 1, name, OpenStatus::Old, true, false), EBADF);
  EXPECT_EQ(open_unit(-1, name, OpenStatus::Old, true, false), EBADF);
}

TEST(Units, UnknownKeepsTheFileUntilTheFirstWrite) {
  ScratchDir dir;
  const std::string name = dir.file("keep");
  write_file(name, "one\ntwo\n");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Unknown, true, false), 0);
  EXPECT_EQ(close_unit(kUnit), 0);
  EXPECT_EQ(read_file(name), "one\ntwo\n");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Unknown, true, false), 0);
  write_line(kUnit, "new");
  EXPECT_EQ(close_unit(kUnit), 0);
  EXPECT_EQ(read_file(name), "new\n");
  // Blank padding of the name does not matter.
  ASSERT_EQ(open_unit(kUnit, name + "   ", OpenStatus::Old, true, true), 0);
  EXPECT_EQ(unit_file_name(kUnit), name);
  close_unit(kUnit);
}

TEST(Units, WritingAfterReadingCutsTheFileThere) {
  ScratchDir dir;
  const std::string name = dir.file("cut");
  write_file(name, "1\n2\n3\n");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Old, true, false), 0);
  std::string line;
  read_line(kUnit, line);
  EXPECT_EQ(write_line(kUnit, "X"), 0);
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Error);  // a written unit is not read
  close_unit(kUnit);
  EXPECT_EQ(read_file(name), "1\nX\n");
}

TEST(Units, ReadOnlyUnitsRefuseWritesAndReportAtClose) {
  ScratchDir dir;
  const std::string name = dir.file("ro");
  write_file(name, "data\n");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Old, true, true), 0);
  EXPECT_NE(write_line(kUnit, "x"), 0);
  EXPECT_NE(close_unit(kUnit), 0);
  EXPECT_EQ(read_file(name), "data\n");
}

TEST(Units, UnwritableFileFallsBackToReading) {
  if (::geteuid() == 0) {
    // Permissions do not bind root: the test runs again as an ordinary user.
    const auto asUser = test::as_ordinary_user();
    if (!asUser) GTEST_SKIP() << "permissions do not bind root, and root cannot drop its rights here";
    EXPECT_EQ(test::run_command(*asUser + "/proc/" + std::to_string(::getpid()) +
                                "/exe --gtest_filter=Units.UnwritableFileFallsBackToReading >/dev/null"),
              0);
    return;
  }
  ScratchDir dir;
  const std::string name = dir.file("locked");
  write_file(name, "data\n");
  ::chmod(name.c_str(), 0444);
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Old, true, false), 0);
  std::string line;
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(write_line(kUnit, "x"), EACCES);
  EXPECT_EQ(close_unit(kUnit), EACCES);
  EXPECT_EQ(read_file(name), "data\n");
}

TEST(Units, FailedBufferedWritesAreStickyUntilTheClose) {
  ASSERT_EQ(open_unit(kUnit, "/dev/full", OpenStatus::Unknown, true, false), 0);
  EXPECT_EQ(write_line(kUnit, "buffered"), 0);  // not written yet
  EXPECT_EQ(write_out(kUnit), ENOSPC);
  EXPECT_EQ(write_line(kUnit, "next"), ENOSPC);
  EXPECT_EQ(write_out(kUnit), ENOSPC);
  EXPECT_EQ(close_unit(kUnit), ENOSPC);
  EXPECT_EQ(delete_regular_file("/dev/full"), EPERM);  // never a device
  EXPECT_EQ(status_text(ENOSPC), "No space left on device");
}

TEST(Units, FileIdentityAcrossNamesLinksAndUnits) {
  ScratchDir dir;
  const std::string name = dir.file("a");
  write_file(name, "data\n");
  std::filesystem::create_hard_link(name, dir.file("hard"));
  std::filesystem::create_symlink(name, dir.file("soft"));
  FileId id, other;
  ASSERT_TRUE(existing_file_id(name + "  ", id));
  for (const char* alias : {"hard", "soft", "./a"}) {
    ASSERT_TRUE(existing_file_id(dir.file(alias), other)) << alias;
    EXPECT_EQ(other, id) << alias;
  }
  EXPECT_FALSE(existing_file_id(dir.file("missing"), other));
  ASSERT_EQ(open_unit(kUnit, dir.file("soft"), OpenStatus::Old, true, true), 0);
  ASSERT_TRUE(unit_file_id(kUnit, other));
  EXPECT_EQ(other, id);
  close_unit(kUnit);
  EXPECT_FALSE(unit_file_id(kUnit, other));
  EXPECT_FALSE(unit_file_id(kStdOut, other));
  EXPECT_EQ(delete_regular_file(dir.path().string()), EPERM);
  EXPECT_EQ(delete_regular_file(dir.file("soft")), 0);  // the file itself
  EXPECT_FALSE(existing_file_id(name, other));
}

// Special names mean no file even where a file of that name exists, until
// they are cleared; the text name reads the text and nothing else.
TEST(Units, SpecialNamesAreNoFiles) {
  ScratchDir dir;
  for (const char* name : {"in", "out", "text"}) write_file(dir.file(name), "file\n");
  set_standard_stream_names(dir.file("in"), dir.file("out"));
  set_builtin_text(dir.file("text"), "line 1\nline 2");
  FileInquiry answer;
  FileId id;
  for (const char* name : {"in", "out", "text"}) {
    EXPECT_TRUE(is_special_name(dir.file(name) + " ")) << name;
    EXPECT_EQ(delete_regular_file(dir.file(name)), EPERM) << name;
    EXPECT_EQ(inquire_file(dir.file(name), answer), 0);
    EXPECT_FALSE(answer.exists) << name;
  }
  EXPECT_FALSE(existing_file_id(dir.file("text"), id));
  EXPECT_EQ(open_unit(kUnit, dir.file("text"), OpenStatus::Unknown, true, false), EROFS);
  EXPECT_EQ(open_unit(kUnit, dir.file("in"), OpenStatus::Unknown, true, false), EBADF);
  ASSERT_EQ(open_unit(kUnit, dir.file("text"), OpenStatus::Old, true, false), 0);
  std::string line;
  ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line, "line 1");
  ASSERT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line, "line 2");
  EXPECT_EQ(read_line(kUnit, line), ReadResult::End);
  EXPECT_NE(write_line(kUnit, "x"), 0);
  EXPECT_EQ(close_unit(kUnit, true), EBADF);  // the refused write; nothing deleted
  clear_special_names();
  EXPECT_FALSE(is_special_name(dir.file("in")));
  EXPECT_TRUE(existing_file_id(dir.file("text"), id));
  EXPECT_EQ(read_file(dir.file("text")), "file\n");
}

TEST(Units, UnconnectedUnits) {
  std::string line = "old";
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Error);
  // What is written to an unconnected unit is not lost: it goes to standard
  // error, and the caller learns that the unit was not connected.
  testing::internal::CaptureStderr();
  EXPECT_EQ(write_line(kUnit, "x"), EBADF);
  EXPECT_EQ(write_text(kMaxUnit + 1, "two\nlines"), EBADF);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "x\ntwo\nlines\n");
  EXPECT_EQ(close_unit(kUnit), 0);
  EXPECT_FALSE(unit_connected(kUnit));
  EXPECT_FALSE(unit_connected(kMaxUnit + 1));
  EXPECT_EQ(unit_file_name(kUnit), "");
  EXPECT_TRUE(unit_connected(kStdIn));
  EXPECT_TRUE(unit_connected(kStdOut));
  EXPECT_EQ(read_line(kStdOut, line), ReadResult::Error);
}

TEST(Units, CloseDeletesWhenAsked) {
  ScratchDir dir;
  const std::string name = dir.file("gone");
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::Unknown, true, false), 0);
  write_line(kUnit, "x");
  EXPECT_EQ(close_unit(kUnit, true), 0);
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST(Units, ScratchFilesAreNamelessAndReadable) {
  ASSERT_EQ(open_unit(kUnit, "", OpenStatus::Scratch, true, false), 0);
  write_line(kUnit, "tmp");
  ASSERT_EQ(rewind_unit(kUnit), 0);
  std::string line;
  EXPECT_EQ(read_line(kUnit, line), ReadResult::Ok);
  EXPECT_EQ(line, "tmp");
  EXPECT_EQ(close_unit(kUnit, true), 0);
}

TEST(Units, OpeningAConnectedUnitClosesItFirst) {
  ScratchDir dir;
  ASSERT_EQ(open_unit(kUnit, dir.file("a"), OpenStatus::New, true, false), 0);
  write_line(kUnit, "a");
  ASSERT_EQ(open_unit(kUnit, dir.file("b"), OpenStatus::New, true, false), 0);
  close_unit(kUnit);
  EXPECT_EQ(read_file(dir.file("a")), "a\n");
}

TEST(Units, InquireFindsFilesAndTheirUnits) {
  ScratchDir dir;
  const std::string name = dir.file("q");
  FileInquiry answer;
  EXPECT_EQ(inquire_file(name, answer), 0);
  EXPECT_FALSE(answer.exists);
  EXPECT_EQ(inquire_file("   ", answer), 0);
  EXPECT_FALSE(answer.exists);
  ASSERT_EQ(open_unit(kUnit, name, OpenStatus::New, true, false), 0);
  // Another name of the same file.
  EXPECT_EQ(inquire_file(dir.path().string() + "/./q", answer), 0);
  EXPECT_TRUE(answer.exists);
  EXPECT_TRUE(answer.connected);
  EXPECT_EQ(answer.unit, kUnit);
  close_unit(kUnit);
  EXPECT_EQ(inquire_file(name, answer), 0);
  EXPECT_TRUE(answer.exists);
  EXPECT_FALSE(answer.connected);
  EXPECT_EQ(answer.unit, -1);
  // The highest unit number is found too.
  ASSERT_EQ(open_unit(kMaxUnit, name, OpenStatus::Old, true, true), 0);
  EXPECT_EQ(inquire_file(name, answer), 0);
  EXPECT_EQ(answer.unit, kMaxUnit);
  close_unit(kMaxUnit);
  // An inquiry after the close forgets the empty top slots; connecting them
  // again makes them found again.
  EXPECT_EQ(inquire_file(name, answer), 0);
  EXPECT_FALSE(answer.connected);
  ASSERT_EQ(open_unit(kMaxUnit, name, OpenStatus::Old, true, true), 0);
  EXPECT_EQ(inquire_file(name, answer), 0);
  EXPECT_EQ(answer.unit, kMaxUnit);
  close_unit(kMaxUnit);
  EXPECT_EQ(inquire_file(std::string(5000, 'n'), answer), ENAMETOOLONG);
  EXPECT_FALSE(answer.exists);
}

TEST(Units, StandardOutputIsBufferedUntilFlushed) {
  testing::internal::CaptureStdout();
  write_line(kStdOut, "to stdout");
  flush_all();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to stdout\n");
  EXPECT_EQ(close_unit(kStdOut), 0);
  EXPECT_TRUE(unit_connected(kStdOut));
}

TEST(Units, StandardUnitsCanBeConnectedToFilesAndReturnAtClose) {
  ScratchDir dir;
  write_file(dir.file("sysinp"), "from file\n");
  ASSERT_EQ(open_unit(kStdIn, dir.file("sysinp"), OpenStatus::Old, true, false), 0);
  EXPECT_EQ(unit_file_name(kStdIn), dir.file("sysinp"));
  std::string line;
  EXPECT_EQ(read_line(kStdIn, line), ReadResult::Ok);
  EXPECT_EQ(line, "from file");
  EXPECT_EQ(close_unit(kStdIn), 0);
  EXPECT_TRUE(unit_connected(kStdIn));
  EXPECT_EQ(unit_file_name(kStdIn), "");
  EXPECT_NE(write_line(kStdIn, "x"), 0);  // standard input is not written
}

TEST(Units, WriteErrorsAreReturnedAtClose) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  ASSERT_EQ(open_unit(kUnit, "/dev/full", OpenStatus::Unknown, true, false), 0);
  write_line(kUnit, "lost");
  EXPECT_EQ(close_unit(kUnit), ENOSPC);
}

TEST(Units, ExitFlushesEverything) {
  ScratchDir dir;
  const std::string name = dir.file("exit");
  EXPECT_EXIT(
      {
        open_unit(kUnit, name, OpenStatus::New, true, false);
        write_line(kUnit, "kept");
        exit_process(3);
      },
      testing::ExitedWithCode(3), "");
  EXPECT_EQ(read_file(name), "kept\n");
}

TEST(Units, ExitHandlerGetsTheStatusAfterEverythingIsClosed) {
  struct Stop {
    int status;
  };
  ScratchDir dir;
  const std::string name = dir.file("exit");
  open_unit(kUnit, name, OpenStatus::New, true, false);
  write_line(kUnit, "kept");
  set_exit_handler([](int status) { throw Stop{status}; });
  int stopped = -1;
  try {
    exit_process(3);
  } catch (const Stop& stop) {
    stopped = stop.status;
  }
  set_exit_handler(nullptr);
  EXPECT_EQ(stopped, 3);
  EXPECT_FALSE(unit_connected(kUnit));
  EXPECT_EQ(read_file(name), "kept\n");
}

TEST(Clock, LocalTimeAndCpuTimeAreSane) {
  const LocalTime t = local_time();
  EXPECT_GE(t.year, 2020);
  EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
  EXPECT_TRUE(t.millisecond >= 0 && t.millisecond < 1000);
  EXPECT_LE(std::abs(t.utcOffsetMinutes), 14 * 60);
  const double first = cpu_seconds();
  volatile double sink = 0;
  for (int i = 0; i < 1000000; ++i) sink = sink + i;
  EXPECT_GE(cpu_seconds(), first);
}

}  // namespace
}  // namespace kavril::platform

// No output overwrites a file the run reads or writes: an output name that
// is an existing file of the run, under any of its names or links, stops the
// run before anything is converted, and a standard name chosen later (-n)
// is checked against the same files.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "pgm/pgm.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

// A file the run reads or writes: its name as given and its identity.
struct RunFile {
  std::string name;
  platform::FileId id;
  bool behindStream = false;  // behind standard output or standard error
};

// The files of the run, kept for the names that -n chooses later.
std::vector<RunFile> runFiles;

void addByName(std::vector<RunFile>& files, std::string_view name) {
  RunFile file{std::string(platform::trim_right(name)), {}};
  if (platform::existing_file_id(resolved_file_name(name), file.id)) files.push_back(std::move(file));
}

void addByUnit(std::vector<RunFile>& files, int unit) {
  RunFile file{std::string(platform::trim_right(platform::unit_file_name(unit))), {}};
  if (platform::unit_file_id(unit, file.id)) files.push_back(std::move(file));
}

// The file that a redirection put behind a standard stream: what the run
// writes there goes into that file, which a replaced file would unlink.
void addByStream(std::vector<RunFile>& files, int unit, std::string_view name) {
  RunFile file{std::string(name), {}, true};
  if (platform::standard_stream_file_id(unit, file.id)) files.push_back(std::move(file));
}

// The existing files of the run in the order they are compared with the
// outputs: the broadcast files, the keyword input file, the constants file,
// the named system files (standard input, program output, messages), then
// the files behind standard output and standard error.
std::vector<RunFile> filesOfTheRun(const FileNameMatrix& files, int nFil) {
  std::vector<RunFile> found;
  for (int row = 1; row <= nFil; ++row) addByName(found, files.at(1, row));
  addByName(found, inpKey.inpFilNam);
  std::string constName;
  int irc = 0;
  GTFLNA(0, "CONST", constName, irc);
  if (irc == 0) addByName(found, constName);
  addByUnit(found, lfnSysInp);
  if (lfnPrint != platform::kStdOut) addByUnit(found, lfnPrint);
  if (lfnError != lfnPrint && lfnError != platform::kStdOut) addByUnit(found, lfnError);
  addByStream(found, platform::kStdOut, "(standard output)");
  addByStream(found, platform::kStdErr, "(standard error)");
  return found;
}

}  // namespace

std::string resolved_file_name(std::string_view name) {
  std::string resolved = platform::fit(name, kFileNameLength);
  SJUSTL(resolved);
  if (resolved.find('$') != std::string::npos) RPLENVAR(0, resolved);
  return resolved;
}

void find_files_of_the_run(const FileNameMatrix& files, int nFil) { runFiles = filesOfTheRun(files, nFil); }

void refuse_overwrites(const FileNameMatrix& files, int nFil) {
  find_files_of_the_run(files, nFil);
  for (int row = 1; row <= nFil; ++row) {
    const std::string& output = files.at(2, row);
    if (platform::is_blank(output)) continue;
    const std::string* same = file_of_the_run(resolved_file_name(output));
    if (same == nullptr) continue;
    write_message_block(" *** PG KAVRIL: RINEX file would overwrite a file of this run",
                        {{"RINEX file : ", platform::trim_right(output)}, {"Same file  : ", *same}});
    EXITRC(2);
  }
}

// The first file of the run in the order of filesOfTheRun: an input is named
// as the user gave it, also when standard output is redirected onto it.
const std::string* file_of_the_run(std::string_view name) {
  platform::FileId id;
  if (!platform::existing_file_id(name, id)) return nullptr;
  const auto same = std::find_if(runFiles.begin(), runFiles.end(), [&id](const RunFile& file) { return file.id == id; });
  // The name of standard output writes into the file behind it, replacing nothing.
  const bool intoStream = platform::standard_stream_of(name) >= 0 && same != runFiles.end() && same->behindStream;
  return same == runFiles.end() || intoStream ? nullptr : &same->name;
}

}  // namespace kavril

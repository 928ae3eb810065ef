// No output overwrites a file the run reads or writes: an output name that
// is an existing file of the run, under any of its names or links, stops the
// run before anything is converted, and a standard name chosen later (-n)
// is checked against the same files.
#include <algorithm>
#include <map>
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

// The existing files of the run in the order they are compared with the
// outputs: the broadcast files, the keyword input file, the constants file,
// then the named system files (standard input, program output, messages).
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
  return found;
}

}  // namespace

std::string resolved_file_name(std::string_view name) {
  std::string resolved = platform::fit(name, kFileNameLength);
  SJUSTL(resolved);
  if (resolved.find('$') != std::string::npos) RPLENVAR(0, resolved);
  return resolved;
}

void refuse_overwrites(const FileNameMatrix& files, int nFil) {
  runFiles = filesOfTheRun(files, nFil);
  std::map<platform::FileId, const RunFile*> firstOfId;
  for (const RunFile& file : runFiles) firstOfId.emplace(file.id, &file);
  for (int row = 1; row <= nFil; ++row) {
    const std::string& output = files.at(2, row);
    platform::FileId id;
    if (platform::is_blank(output) || !platform::existing_file_id(resolved_file_name(output), id)) continue;
    const auto same = firstOfId.find(id);
    if (same == firstOfId.end()) continue;
    write_message_block(" *** PG KAVRIL: RINEX file would overwrite a file of this run",
                        {{"RINEX file : ", platform::trim_right(output)}, {"Same file  : ", same->second->name}});
    EXITRC(2);
  }
}

bool is_file_of_the_run(std::string_view name) {
  platform::FileId id;
  return platform::existing_file_id(name, id) &&
         std::any_of(runFiles.begin(), runFiles.end(), [&id](const RunFile& file) { return file.id == id; });
}

}  // namespace kavril

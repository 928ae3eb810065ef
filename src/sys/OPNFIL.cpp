// Opens every file of a run: variables in the name are resolved, whatever
// holds the file or the unit is closed, and the open is retried before the
// routine gives up. Failures are reported by the caller's OPNERR.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr std::size_t kNameLength = 255;
constexpr std::size_t kKeywordLength = 20;
constexpr int kMaxAttempts = 10000;

// Resolves variables once the input file has been read, and lets a
// deletion-list entry naming the file as the caller wrote it follow the
// resolved name.
void substitute_variables(std::string& name, std::string_view callerName) {
  if (inpKey.runPhase != 2 || name.find('$') == std::string::npos) return;
  RPLENVAR(1, name);
  for (int i = 0; i < inpKey.nDel && i < static_cast<int>(inpKey.delFil.size()); ++i) {
    std::string& entry = inpKey.delFil[static_cast<std::size_t>(i)];
    if (platform::same_text(entry, callerName)) {
      entry = name;
      break;
    }
  }
}

[[noreturn]] void stop_unknown_keyword(const std::string& keyword, int lfn, const std::string& name) {
  static const platform::Layout kBlock("(/,A,A,/,A,I2,/,A,A,/)");
  kBlock.write(platform::kStdOut, {" SR OPNFIL: UNKNOWN KEYWORD    : ", keyword,
                                   "            LOGICAL FILENUMBER : ", lfn,
                                   "            FILENAME           : ", name});
  EXITRC(2);
}

// The caller's open keyword in the 20-character work field, upper-cased
// except during exit.
std::string keyword_field(std::string_view given) {
  std::string keyword = platform::fit(given, kKeywordLength);
  if (inpKey.runPhase <= 2) UPPERC(keyword);
  return keyword;
}

platform::OpenStatus map_status(std::string_view given, int lfn, const std::string& name) {
  const std::string keyword = keyword_field(given);
  // NEW opens an existing file too and rewrites it from its start.
  if (platform::same_text(keyword, "NEW") || platform::is_blank(keyword) ||
      platform::same_text(keyword, "UNKNOWN")) {
    return platform::OpenStatus::Unknown;
  }
  if (platform::same_text(keyword, "SCRATCH")) return platform::OpenStatus::Scratch;
  // A file written whole: its name keeps its earlier file until the
  // complete new one is committed (platform::commit_unit).
  if (platform::same_text(keyword, "REPLACE")) return platform::OpenStatus::Replace;
  if (platform::same_text(keyword, "OLD")) return platform::OpenStatus::Old;
  stop_unknown_keyword(keyword, lfn, name);
}

bool map_formatted(std::string_view given, int lfn, const std::string& name) {
  const std::string keyword = keyword_field(given);
  if (platform::same_text(keyword, "FORMATTED") || platform::is_blank(keyword)) return true;
  if (platform::same_text(keyword, "UNFORMATTED") || platform::same_text(keyword, "BINARY")) {
    return false;
  }
  stop_unknown_keyword(keyword, lfn, name);
}

bool map_read_only(std::string_view given, int lfn, const std::string& name) {
  const std::string keyword = keyword_field(given);
  if (platform::same_text(keyword, "READONLY")) return true;
  if (platform::is_blank(keyword)) return false;
  stop_unknown_keyword(keyword, lfn, name);
}

// Closes the unit that holds the file and the unit that is wanted (both
// files are kept). Returns the status of the inquiry by name.
int free_file_and_unit(int lfn, std::string_view name) {
  platform::FileInquiry file;
  const int ios = platform::inquire_file(name, file);
  if (ios != 0) return ios;
  if (file.connected) platform::close_unit(file.unit);
  if (platform::unit_connected(lfn)) platform::close_unit(lfn);
  return 0;
}

void write_retry_notice(const std::string& name, int attempt) {
  static const platform::Layout kNotice("(/,A,/,16X,A,A,/,16X,A,I5,A,/)");
  kNotice.write(platform::kStdOut, {" ### SR OPNFIL: Problem to access file for opening",
                                    "File name : ", platform::trim_right(name),
                                    "Successful after ", attempt, " open commands"});
}

}  // namespace

void OPNFIL(int lfn, std::string_view filNam, std::string_view status, std::string_view form,
            std::string_view action, std::string_view /*spare*/, int& iostat) {
  inpKey.inOpnfil = -1;
  // Names are 255-character fields; a longer one (the keyword file named on
  // the command line) is kept whole.
  std::string name = platform::fit(filNam, std::max(kNameLength, filNam.size()));
  SJUSTL(name);
  substitute_variables(name, filNam);
  const std::string_view openName = platform::trim_right(name);

  // A failed inquiry returns at once; EXITRC then still sees the routine
  // running.
  iostat = free_file_and_unit(lfn, openName);
  if (iostat != 0) return;

  const platform::OpenStatus openStatus = map_status(status, lfn, name);
  const bool formatted = map_formatted(form, lfn, name);
  const bool readOnly = map_read_only(action, lfn, name);

  int attempt = 1;
  for (; attempt <= kMaxAttempts; ++attempt) {
    iostat = platform::open_unit(lfn, openName, openStatus, formatted, readOnly);
    if (iostat == 0) break;
  }
  if (iostat == 0 && attempt > 1 && !platform::same_text(pgmNam, "VESTRO")) {
    write_retry_notice(name, attempt);
  }
  inpKey.inOpnfil = 0;
}

}  // namespace kavril

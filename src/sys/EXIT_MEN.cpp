// Exit step of the menu-auxiliary program only: writes the run's return code
// into that program's input file as keyword HOLDRIM_IRCODE.
#include <new>
#include <vector>

#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr int kMaxEmptyRun = 1000;
constexpr std::string_view kIrcodeKey = "HOLDRIM_IRCODE";

// Number of lines of the open file; a run of more than 1000 empty lines ends
// the file before that run.
long count_lines(int lfn) {
  long lines = 0;
  long emptyRun = 0;
  std::string line;
  while (platform::read_line(lfn, line) == platform::ReadResult::Ok) {
    ++lines;
    if (!platform::is_blank(line)) {
      emptyRun = 0;
    } else if (++emptyRun > kMaxEmptyRun) {
      return lines - emptyRun;
    }
  }
  return lines;
}

// The keyword line of the return code: 0 for success, 2 for anything else.
std::string ircode_line(int irCode) {
  return std::string(kIrcodeKey) + "  1  \"" + (irCode == 0 ? "0" : "2") + "\"";
}

bool open_aux_file(int& ios) {
  OPNFIL(lfnLocal, menuAuxFile, "OLD", "FORMATTED", " ", " ", ios);
  return ios == 0;
}

}  // namespace

void EXIT_MEN(int irCode) {
  static const platform::Layout kBufferError("(/,A,/)");
  if (!platform::same_text(pgmNam, "HOLDRIM")) return;

  int ios = 0;
  if (!open_aux_file(ios)) return;
  const long nLines = count_lines(lfnLocal);

  std::vector<std::string> buffer;
  try {
    buffer.resize(static_cast<std::size_t>(nLines));
  } catch (const std::bad_alloc&) {
    platform::close_unit(lfnLocal);
    kBufferError.write(lfnError,
                       {" *** SR EXIT_MEN: Variable \"buffer\" could not be allocated"});
    return;
  }

  platform::rewind_unit(lfnLocal);
  std::string line;
  for (std::string& entry : buffer) {
    if (platform::read_line(lfnLocal, line) != platform::ReadResult::Ok) break;
    // Lines are kept whole: cutting them to a record length would damage
    // the lines this step does not mean to change.
    entry = line.starts_with(kIrcodeKey) ? ircode_line(irCode) : line;
  }
  platform::close_unit(lfnLocal);

  if (!open_aux_file(ios)) return;
  for (const std::string& entry : buffer) {
    platform::write_line(lfnLocal, platform::trim_right(entry));
  }
  platform::close_unit(lfnLocal);
}

}  // namespace kavril

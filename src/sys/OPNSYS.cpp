// Connects the system files of a run: a replacement for standard input, the
// program output and the message unit, as the input file asks.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr std::string_view kCaller = "OPNSYS";

void open_checked(int lfn, const std::string& name, std::string_view status, int lfnMsg) {
  int ios = 0;
  OPNFIL(lfn, name, status, " ", " ", " ", ios);
  OPNERR(lfnMsg, lfn, ios, name, kCaller);
}

// Opens `name` on `lfn` as a fresh file, after deleting an existing one.
void open_fresh_after_delete(int lfn, const std::string& name, int lfnMsg) {
  bool exists = false;
  InquireArgs inquiry;
  inquiry.file = name;
  inquiry.exist = &exists;
  INQUIRE(inquiry);
  if (exists) {
    open_checked(lfn, name, "UNKNOWN", lfnMsg);
    platform::close_unit(lfn, true);
  }
  open_checked(lfn, name, "NEW", lfnMsg);
}

// True when `name` is the file of the program output. Opening it again for
// the messages would close and delete the program output.
bool is_program_output(const std::string& name) {
  if (lfnPrint != lfnPrtFile) return false;
  std::string resolved = platform::fit(name, 255);
  SJUSTL(resolved);
  RPLENVAR(0, resolved);
  platform::FileInquiry file;
  platform::inquire_file(platform::trim_right(resolved), file);
  return file.connected && file.unit == lfnPrint;
}

// Messages go to a separate file. Until it is open, every message (a
// variable of its name that cannot be resolved, an open failure, the stop
// notice) goes to the unit used so far: the message unit changes only once
// the file can take them. A message file that is the program output merges
// the two.
void open_message_file(const std::string& name, bool askFirst) {
  if (is_program_output(name)) {
    lfnError = lfnPrint;
    return;
  }
  const int previous = lfnError;
  if (askFirst) {
    open_fresh_after_delete(lfnErrFile, name, previous);
  } else {
    open_checked(lfnErrFile, name, "NEW", previous);
    platform::close_unit(lfnErrFile, true);
    open_checked(lfnErrFile, name, "NEW", previous);
  }
  lfnError = lfnErrFile;
}

bool selected(std::string_view keyword, std::string_view description, int& errCount) {
  const std::string keys[] = {std::string(keyword)};
  bool flag = false;
  CkoptbOptional result;
  result.selFlag = &flag;
  CKOPTB(1, keys, kCaller, description, errCount, result);
  return flag;
}

// The last two characters of the name read as a 2-column integer field:
// blanks count as nothing (two blanks read as 0), then an optional sign and
// at least one digit.
bool ends_in_integer_field(std::string_view name) {
  std::string field;
  for (const char c : name.substr(name.size() - 2)) {
    if (c != ' ') field += c;
  }
  int ignored = 0;
  return field.empty() || platform::parse_int(field, ignored);
}

void warn_default_name(const std::string& name) {
  static const platform::Layout kWarning("(/,A,/,16X,A,A,/)");
  kWarning.write(lfnError,
                 {" ### SR OPNSYS: Special program output requested, but default file name found.",
                  "Program output: ", platform::trim_right(name)});
}

}  // namespace

void OPNSYS() {
  std::string name;
  int irCode = 0;
  GTFLNA(0, "SYSINP", name, irCode);
  if (irCode == 0) open_checked(lfnSysInp, name, "OLD", lfnError);

  int errCount = 0;

  std::string printName;
  int printCode = 0;
  GTFLNA(0, "SYSOUT", printName, printCode);
  if (printCode == 0) {
    lfnPrint = lfnPrtFile;
    open_fresh_after_delete(lfnPrint, printName, lfnError);
  }

  if (!TSTKEY("ERRMRG")) {
    std::string errName;
    GTFLNA(0, "SYSERR", errName, irCode);
    if (platform::same_text(errName, "SYSOUT") || irCode != 0 || platform::is_blank(errName)) {
      lfnError = lfnPrint;
    } else {
      open_message_file(errName, false);
    }
  } else if (selected("ERRMRG", "Merge program messages into output", errCount)) {
    lfnError = lfnPrint;
  } else {
    std::string errName;
    GTFLNA(1, "SYSERR", errName, irCode);
    if (platform::same_text(errName, "SYSOUT")) {
      lfnError = lfnPrint;
    } else {
      open_message_file(errName, true);
    }
  }

  // A name ending in two digits is the mark of a default program output.
  const std::string_view shownName = platform::trim_right(printName);
  if (printCode == 0 && shownName.size() > 1 && TSTKEY("SYSODEF")) {
    const bool endsInDigits = ends_in_integer_field(shownName);
    const bool useDefault = selected("SYSODEF", "Use default name for program output", errCount);
    if (!useDefault && endsInDigits) warn_default_name(printName);
  }

  if (errCount != 0) EXITRC(2);
}

}  // namespace kavril

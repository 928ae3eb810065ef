// Fatal report of a failed memory allocation.
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// "(" followed by every extent right-aligned in 8 columns and ", ", the last
// comma turned into ")": "(    5000) " for one extent of 5000.
std::string size_text(std::span<const long long> extents) {
  std::string text = "(";
  for (const long long extent : extents) {
    char field[8];
    platform::put_I(field, extent, 8);
    text.append(field, sizeof field);
    text += ", ";
  }
  if (extents.empty()) {
    text += ")";
  } else {
    text[text.size() - 2] = ')';
  }
  return text;
}

}  // namespace

void ALCERR(int status, std::string_view varName, std::span<const long long> extents,
            std::string_view caller) {
  static const platform::Layout kReport("(/,A,3(/,16X,A,A),/,16X,A,I6,/)");
  if (status == 0) return;
  if (lfnError == 0) lfnError = platform::kStdOut;
  kReport.write(lfnError, {" *** SR ALCERR: ALLOCATION OF AN ARRAY FAILED",
                           "VARIABLE NAME : ", platform::trim_right(varName),
                           "SIZE OF ARRAY : ", platform::trim_right(size_text(extents)),
                           "PGM./SUBR.    : ", platform::trim_right(caller),
                           "ERROR STATUS  : ", status});
  EXITRC(2);
}

}  // namespace kavril

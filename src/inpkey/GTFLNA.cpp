// The file name given by a keyword, obligatory (a missing or blank name stops
// the run) or optional (a missing name only gives return code 1).
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr int kDescriptionLength = 50;

[[noreturn]] void report_missing_name(std::string_view keyWord) {
  static const platform::Layout kPlain("(/,A,/,16X,A,/)");
  static const platform::Layout kWithOption("(/,A,2(/,16X,A),/)");
  std::string descr;
  DESCRP(keyWord, kDescriptionLength, descr);
  const std::string_view title = " *** SR GTFLNA: File name not found or blank";
  const std::string keyLine = "Keyword:  " + std::string(platform::trim_right(keyWord));
  if (platform::is_blank(descr)) {
    kPlain.write(lfnError, {title, keyLine});
  } else {
    kWithOption.write(lfnError,
                      {title, keyLine, "Option:   " + std::string(platform::trim_right(descr))});
  }
  EXITRC(2);
}

}  // namespace

void GTFLNA(int mustFlag, std::string_view keyWord, std::string& filNam, int& irCode) {
  if (platform::same_text(keyWord, "DEFNAM")) return;
  filNam.clear();
  const bool obligatory = mustFlag == 1;
  if (obligatory || TSTKEY(keyWord)) {
    std::vector<std::string> keyValue;
    READKEYS(keyWord, keyValue, irCode);
    if (!keyValue.empty()) filNam = keyValue[0];
  }
  if (platform::is_blank(filNam)) {
    irCode = 1;
    if (obligatory) report_missing_name(keyWord);
  } else {
    irCode = 0;
  }
}

}  // namespace kavril

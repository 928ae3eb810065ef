// Module m_ckopt: report pieces shared by the option checks. Every report is
// built as one block and written to the message unit in one write.
#include <algorithm>
#include <limits>
#include <vector>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril::m_ckopt {

std::string prefix(std::string_view routine, int severity) {
  return std::string(severity == 0 ? " ### SR " : " *** SR ") + std::string(routine) + ": ";
}

std::string option_description(std::string_view keyName, std::string_view optDescr) {
  std::string description;
  DESCRP(keyName, kDescrLength, description);
  if (platform::is_blank(description)) description = platform::fit(optDescr, kDescrLength);
  return description;
}

void append_header(std::string& block, std::string_view header) {
  static const platform::Layout kHeader("(/,A)");
  kHeader.format(block, {header});
}

void append_detail(std::string& block, std::string_view label, std::string_view text) {
  static const platform::Layout kLabelText("(16X,A,A)");
  kLabelText.format(block, {label, platform::trim_right(text)});
}

void append_detail(std::string& block, std::string_view label, int number) {
  static const platform::Layout kLabelNumber("(16X,A,I5)");
  kLabelNumber.format(block, {label, number});
}

void append_report_head(std::string& block, std::string_view header, std::string_view callerName,
                        std::string_view description) {
  std::vector<std::string> inputFile;
  int irCode = 0;
  READKEYS("", inputFile, irCode);
  append_header(block, header);
  append_detail(block, "Input file:  ", inputFile.empty() ? std::string() : inputFile.front());
  append_detail(block, "Called by:   ", callerName);
  append_detail(block, "Option:      ", description);
}

void aligned_integer_texts(long long a, long long b, std::size_t minWidth, std::string& aText,
                           std::string& bText) {
  aText = platform::integer_text(a);
  bText = platform::integer_text(b);
  const std::size_t width = std::max({aText.size(), bText.size(), minWidth});
  aText.insert(0, width - aText.size(), ' ');
  bText.insert(0, width - bText.size(), ' ');
}

void write_description_warning(std::string_view routine, std::string_view optDescr,
                               std::string_view keywordLine) {
  static const platform::Layout kWarning("(/,A,2(/,16X,A),/,16X,A,I4,A,/,16X,A,/)");
  const std::string header = prefix(routine, 0) + "Dear programmer, please give a shorter description";
  const int length = static_cast<int>(platform::trim_right(optDescr).size());
  kWarning.write(lfnError, {header, "for this option - not more than 45 chr. are possible",
                            "to get a \"nice\" error message.", "You have a description with",
                            length, " characters.", platform::trim_right(keywordLine)});
}

void stop_severity_misuse(std::string_view routine, std::string_view keywordLine) {
  static const platform::Layout kBlock("(/,A,/,16X,A,/)");
  static const platform::Layout kBlockWithKeyword("(/,A,2(/,16X,A),/)");
  const std::string header = prefix(routine, 1) + "Dear programmer, you did a FATAL ERROR!!!";
  const std::string_view explanation = "The first parameter has to be \"0\" or \"1\".";
  if (platform::is_blank(keywordLine)) {
    kBlock.write(lfnError, {header, explanation});
  } else {
    kBlockWithKeyword.write(lfnError, {header, explanation, platform::trim_right(keywordLine)});
  }
  EXITRC(2);
}

void add_errors(int& errCount, int count) {
  if (count > 0 && errCount > std::numeric_limits<int>::max() - count) {
    errCount = std::numeric_limits<int>::max();
  } else {
    errCount += count;
  }
}

}  // namespace kavril::m_ckopt

// Option check of a set of check boxes or radio buttons: every keyword holds
// 0 or 1, and a set of two or more keywords needs exactly one ticked.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// "Item", the position (aligned to the widest position of the set) and a
// colon, in the 13-character label column.
std::string item_label(int position, int nKeys) {
  std::string positionText, widestText;
  m_ckopt::aligned_integer_texts(position, nKeys, 0, positionText, widestText);
  return platform::fit("Item" + positionText + ":", 13);
}

void write_selection_report(int severity, std::span<const std::string> keyNames,
                            std::string_view callerName, std::string_view fallback,
                            const CkoptbOptional& opt, int nSelected) {
  const std::string header =
      m_ckopt::prefix("CKOPTB", severity) +
      (nSelected == 0 ? "No item was selected for a set of radiobottons."
                      : "More than one item was selected for a set of radiobottons.");
  const std::string firstKey = keyNames.empty() ? std::string() : keyNames.front();
  std::string block;
  m_ckopt::append_report_head(block, header, callerName,
                              m_ckopt::option_description(firstKey, fallback));
  if (opt.colTitle) m_ckopt::append_detail(block, "Column:      ", *opt.colTitle);
  if (opt.entryTitle) m_ckopt::append_detail(block, "Entry for:   ", *opt.entryTitle);
  if (opt.lineNum) m_ckopt::append_detail(block, "Line number: ", *opt.lineNum);
  const int nKeys = static_cast<int>(keyNames.size());
  std::vector<std::string> values;
  for (int i = 0; i < nKeys; ++i) {
    const std::string& key = keyNames[static_cast<std::size_t>(i)];
    int irCode = 0;
    READKEYS(key, values, irCode);
    const std::string_view value =
        values.empty() ? std::string_view() : platform::trim_right(values.front());
    m_ckopt::append_detail(block, item_label(i + 1, nKeys),
                           std::string(platform::trim_right(key)) + " = " + std::string(value));
  }
  block += '\n';
  platform::write_text(lfnError, block);
}

}  // namespace

void CKOPTB(int severity, std::span<const std::string> keyNames, std::string_view callerName,
            std::string_view optDescr, int& errCount, const CkoptbOptional& opt) {
  const std::string fallback = platform::fit(optDescr, m_ckopt::kDescrLength);
  const std::string firstKey = keyNames.empty() ? std::string() : keyNames.front();
  if (static_cast<int>(platform::trim_right(optDescr).size()) > m_ckopt::kDescrLength) {
    m_ckopt::write_description_warning("CKOPTB", optDescr,
                                       "Keyword 1: " + std::string(platform::trim_right(firstKey)));
  }
  if (severity != 0 && severity != 1) m_ckopt::stop_severity_misuse("CKOPTB", "");

  if (opt.selIndex != nullptr && keyNames.size() == 1) *opt.selIndex = 0;
  if (opt.selIndex != nullptr && opt.initVal) *opt.selIndex = *opt.initVal;
  if (opt.selFlag != nullptr) *opt.selFlag = false;

  const int countBefore = errCount;
  int nSelected = 0;
  CkoptiOptional check;
  check.lowLimit = 0;
  check.upLimit = 1;
  check.maxVal = 1;
  check.errorVal = 0;
  std::vector<std::string> values;
  for (std::size_t i = 0; i < keyNames.size(); ++i) {
    int readStatus = 0;
    READKEYS(keyNames[i], values, readStatus);
    int firstResult = 0;
    check.firstResult = &firstResult;
    CKOPTI(severity, keyNames[i], values, callerName, fallback, readStatus, errCount, check);
    if (firstResult != 0) {
      if (opt.selIndex != nullptr) *opt.selIndex = static_cast<int>(i) + 1;
      if (opt.selFlag != nullptr) *opt.selFlag = true;
      ++nSelected;
    }
  }

  // A problem with a keyword has been reported by the lookup or the integer
  // check; the caller sees no selection.
  if (errCount != countBefore) {
    if (opt.selIndex != nullptr && opt.errorVal) *opt.selIndex = *opt.errorVal;
    if (opt.selFlag != nullptr) *opt.selFlag = false;
    return;
  }
  if (nSelected == 0 && keyNames.size() == 1) return;  // an unticked check box
  if (nSelected == 1) return;

  if (severity == 1) {
    if (opt.selIndex != nullptr && opt.errorVal) *opt.selIndex = *opt.errorVal;
    if (opt.selFlag != nullptr) *opt.selFlag = false;
    m_ckopt::add_errors(errCount, 1);
  }
  write_selection_report(severity, keyNames, callerName, fallback, opt, nSelected);
}

}  // namespace kavril

// Option check: a keyword holds no more values than allowed.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::size_t kCountWidth = 5;  // count texts are at least this wide

void write_count_report(int severity, std::string_view keyName, std::string_view callerName,
                        std::string_view optDescr, int numItems, int maxItems) {
  std::string countText, maxText;
  m_ckopt::aligned_integer_texts(numItems, maxItems, kCountWidth, countText, maxText);
  std::string block;
  m_ckopt::append_report_head(block,
                              m_ckopt::prefix("CKOPTN", severity) + "Too many items found for keyword \"" +
                                  std::string(platform::trim_right(keyName)) + "\".",
                              callerName, m_ckopt::option_description(keyName, optDescr));
  m_ckopt::append_detail(block, "Num of items:", countText);
  m_ckopt::append_detail(block, "Max of items:", maxText);
  block += '\n';
  platform::write_text(lfnError, block);
}

}  // namespace

void CKOPTN(int severity, std::string_view keyName, const std::vector<std::string>& values,
            int& numItems, std::string_view callerName, std::string_view optDescr, int& errCount,
            int maxItems) {
  if (severity != 0 && severity != 1) m_ckopt::stop_severity_misuse("CKOPTN", "");
  numItems = static_cast<int>(values.size());
  if (numItems > maxItems) {
    write_count_report(severity, keyName, callerName, optDescr, numItems, maxItems);
    m_ckopt::add_errors(errCount, severity);
  }
}

}  // namespace kavril

// The readable description of an option keyword, taken from its MSG_ or
// DESCR_ companion in the keyword table.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// The first record named MSG_<keyName> or DESCR_<keyName>, in table order.
const t_key* find_companion(std::string_view keyName) {
  const std::string_view key = platform::trim_right(keyName);
  const std::string msgName = "MSG_" + std::string(key);
  const std::string descrName = "DESCR_" + std::string(key);
  for (const t_key& record : inpKey.keys) {
    if (platform::same_text(record.name, msgName) || platform::same_text(record.name, descrName)) {
      return &record;
    }
  }
  return nullptr;
}

[[noreturn]] void stop_illegal_length(std::string_view keyName, int descrLen) {
  static const platform::Layout kBlock("(/,A,I5,/,16X,A,A,/)");
  kBlock.write(lfnError, {" *** SR DESCRP: Illegal length of description string: ", descrLen,
                          "Keyword:  ", platform::trim_right(keyName)});
  EXITRC(2);
}

}  // namespace

void DESCRP(std::string_view keyName, int descrLen, std::string& descr) {
  const std::size_t length = descrLen > 0 ? static_cast<std::size_t>(descrLen) : 0;
  descr = platform::fit("", length);
  if (inpKey.runPhase < 2) return;
  const t_key* companion = find_companion(keyName);
  if (companion == nullptr) return;

  const std::string_view text =
      companion->value.empty() ? std::string_view() : platform::trim_right(companion->value.front());
  if (static_cast<long long>(text.size()) <= descrLen) {
    descr = platform::fit(text, length);
  } else if (descrLen >= 1 && descrLen <= 3) {
    descr = text.substr(0, length);
  } else if (descrLen > 3) {
    descr = std::string(text.substr(0, length - 3)) + " ..";
  } else {
    stop_illegal_length(keyName, descrLen);
  }
}

}  // namespace kavril

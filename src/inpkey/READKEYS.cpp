// A copy of the values of one keyword of the complete keyword table. A blank
// keyword asks for the input file name, "*" for all keyword names;
// "DUMMY_KEY" is looked up without a message when it is missing.
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

void list_names(std::vector<std::string>& keyValue) {
  const long long nKey = static_cast<long long>(inpKey.keys.size());
  create_checked([&] { keyValue.assign(inpKey.keys.size(), std::string()); }, "keyValue", {nKey},
                 "readKeys");
  for (std::size_t i = 0; i < inpKey.keys.size(); ++i) {
    keyValue[i] = platform::trim_right(inpKey.keys[i].name);
  }
}

// Copies the values of the first record named `keyWord`; false when there is none.
bool copy_values(std::string_view keyWord, std::vector<std::string>& keyValue) {
  for (const t_key& key : inpKey.keys) {
    if (!platform::same_text(key.name, keyWord)) continue;
    const long long extent = static_cast<long long>(key.value.size());
    create_checked([&] { keyValue = key.value; }, "keyValue", {extent}, "readKeys");
    return true;
  }
  return false;
}

}  // namespace

void READKEYS(std::string_view keyWord, std::vector<std::string>& keyValue, int& irCode) {
  create_checked([&] { keyValue.assign(1, std::string()); }, "keyValue", {1}, "readKeys");
  irCode = 1;
  if (inpKey.runPhase != 2) return;

  if (platform::is_blank(keyWord)) {
    keyValue[0] = inpKey.inpFilNam;
    irCode = 0;
  } else if (platform::same_text(keyWord, "*")) {
    list_names(keyValue);
    irCode = 0;
  } else if (copy_values(keyWord, keyValue)) {
    irCode = 0;
  } else if (!platform::same_text(keyWord, "DUMMY_KEY")) {
    static const platform::Layout kNotFound("(/,A,/18X,A,/)");
    const std::string message = " *** SR READKEYS: Keyword \"" +
                                std::string(platform::trim_right(keyWord)) + "\" not found.";
    kNotFound.write(lfnError, {message, "Input file name:  " +
                                            std::string(platform::trim_right(inpKey.inpFilNam))});
  }
}

}  // namespace kavril

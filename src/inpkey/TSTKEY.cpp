// Whether the complete keyword table holds a keyword; silent.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

bool TSTKEY(std::string_view keyWord) {
  if (inpKey.runPhase != 2) return false;
  return std::any_of(inpKey.keys.begin(), inpKey.keys.end(),
                     [&](const t_key& key) { return platform::same_text(key.name, keyWord); });
}

}  // namespace kavril

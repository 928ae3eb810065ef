// Puts a freshly created keyword record into its "no values" state.
#include "inpkey/inpkey.h"

namespace kavril {

void INIT_KEY(t_key& key) {
  key.value.clear();
  key.hasValue = false;
}

}  // namespace kavril

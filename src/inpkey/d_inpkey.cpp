// Module d_inpkey: the program's one keyword table.
#include "inpkey/inpkey.h"

namespace kavril {

t_inpkey inpKey;

}  // namespace kavril

// Puts the keyword table into its initial state: no file, no records, no
// files to delete, not inside OPNFIL, phase 0.
#include "inpkey/inpkey.h"

namespace kavril {

void INIT_INPKEY(t_inpkey& table) {
  table.inpFilNam.clear();
  table.nKey = 0;
  table.keys.clear();
  table.nDel = 0;
  table.delFil.clear();
  table.inOpnfil = 0;
  table.runPhase = 0;
}

}  // namespace kavril

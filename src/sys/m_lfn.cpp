// The shared logical file numbers and the program name, with their initial
// values.
#include "sys/sys.h"

namespace kavril {

int lfnSysInp = 5;
int lfnPrint = 6;
int lfnError = 6;
int lfnFirst = 11;
int lfnErrFile = 997;
int lfnPrtFile = 998;
int lfnLocal = 999;

std::string pgmNam(8, ' ');
std::string menuAuxFile;

}  // namespace kavril

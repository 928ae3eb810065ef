// The constants block and the run date and time texts.
#include "const/const.h"

namespace kavril {

ConstantsBlock constants;
std::string runDate(9, ' ');
std::string runTime(5, ' ');
std::string runUtc(20, ' ');

}  // namespace kavril

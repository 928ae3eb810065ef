// CLOCKS: the local date and time as 8 integers.
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

void CLOCKS(std::array<int, 8>& values) {
  const platform::LocalTime now = platform::local_time();
  values = {now.year, now.month, now.day, now.utcOffsetMinutes,
            now.hour, now.minute, now.second, now.millisecond};
}

}  // namespace kavril

// The local date and time and the process's CPU time.
#include <sys/time.h>
#include <time.h>

#include "platform/platform.h"

namespace kavril::platform {

LocalTime local_time() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const time_t seconds = now.tv_sec;
  struct tm parts {};
  ::localtime_r(&seconds, &parts);
  LocalTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.utcOffsetMinutes = static_cast<int>(parts.tm_gmtoff / 60);
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec;
  t.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

double cpu_seconds() {
  struct timespec used {};
  if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) != 0) return 0.0;
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

}  // namespace kavril::platform

// State of the run timing and the reading of the processor time and clock
// that CPU_START, CPU_NOW and CPU_END share.
#include "sys/m_cpu_state.h"

#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril::m_cpu {

Times times;

double clock_date(const std::array<int, 8>& values) {
  const double dayFraction =
      (values[4] + (values[5] + (values[6] + values[7] / 1000.0) / 60.0) / 60.0) / 24.0;
  return DJUL(values[0], values[1], values[2] + dayFraction);
}

std::string time_text(double days) {
  std::string text;
  WRITE_TIME(text, days);
  return std::string(platform::trim_right(text));
}

void read_now(double& cpu, double& real) {
  cpu = platform::cpu_seconds();
  std::array<int, 8> values{};
  CLOCKS(values);
  real = clock_date(values);
}

}  // namespace kavril::m_cpu

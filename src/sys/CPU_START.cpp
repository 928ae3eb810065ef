// CPU_START: starts the run timing.
#include "sys/m_cpu_state.h"
#include "sys/sys.h"

namespace kavril {

void CPU_START(bool measure) {
  m_cpu::times.startCpu = m_cpu::kNotStarted;
  m_cpu::times.startReal = m_cpu::kNotStarted;
  if (!measure) return;
  m_cpu::read_now(m_cpu::times.startCpu, m_cpu::times.startReal);
  m_cpu::times.lastCpu = m_cpu::times.startCpu;
  m_cpu::times.lastReal = m_cpu::times.startReal;
}

}  // namespace kavril

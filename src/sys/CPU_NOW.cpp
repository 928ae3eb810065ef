// CPU_NOW: an intermediate timing line on standard output.
#include "platform/platform.h"
#include "sys/m_cpu_state.h"
#include "sys/sys.h"

namespace kavril {

namespace {
constexpr std::size_t kMaxLine = 255;
const platform::Layout kFramedLine("(/,A,/)");
}  // namespace

void CPU_NOW(std::string_view label) {
  m_cpu::Times& t = m_cpu::times;
  if (t.startCpu == m_cpu::kNotStarted) return;

  double cpu = 0.0;
  double real = 0.0;
  m_cpu::read_now(cpu, real);

  if (!platform::is_blank(pgmNam)) {
    std::string line = ">>> CPU/Real time at \"";
    line += platform::trim_right(label);
    line += "\": ";
    line += m_cpu::time_text((cpu - t.startCpu) / 86400.0);
    line += " / ";
    line += m_cpu::time_text(real - t.startReal);
    line += "  ( ";
    line += m_cpu::time_text((cpu - t.lastCpu) / 86400.0);
    line += " / ";
    line += m_cpu::time_text(real - t.lastReal);
    line += " )";
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    kFramedLine.write(platform::kStdOut, {line});
  }
  t.lastCpu = cpu;
  t.lastReal = real;
}

}  // namespace kavril

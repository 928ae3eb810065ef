// CPU_END: the final timing line and the end-of-run line.
#include "platform/platform.h"
#include "sys/m_cpu_state.h"
#include "sys/sys.h"

namespace kavril {

namespace {
constexpr std::size_t kMaxLine = 80;
const platform::Layout kFramedLine("(/,A,/)");
// Two empty lines, separator, timing line, end-of-run line, empty line.
const platform::Layout kEndOfRun("(//,A,/,A,/,A,/)");
const std::string kSeparator(65, '-');
}  // namespace

void CPU_END(int irCode) {
  const m_cpu::Times& t = m_cpu::times;
  if (t.startCpu == m_cpu::kNotStarted) return;

  double cpu = 0.0;
  double real = 0.0;
  m_cpu::read_now(cpu, real);
  if (platform::is_blank(pgmNam)) return;

  std::string line = ">>> CPU/Real time for pgm \"";
  line += platform::trim_right(pgmNam);
  line += "\": ";
  line += m_cpu::time_text((cpu - t.startCpu) / 86400.0);
  line += " / ";
  line += m_cpu::time_text(real - t.startReal);
  if (line.size() > kMaxLine) line.resize(kMaxLine);

  const char* result = (irCode == 0 || irCode == 1) ? ">>> Program finished successfully"
                                                    : ">>> Program ended with an error";
  // A program output on standard error is on the terminal already: no copy.
  if (lfnPrint != platform::kStdErr) kFramedLine.write(platform::kStdOut, {line});
  kEndOfRun.write(lfnPrint, {kSeparator, line, result});
}

}  // namespace kavril

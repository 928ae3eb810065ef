// DATTIM: the run date (06-DEC-26) and run time (14:05) from the local clock.
#include <string_view>

#include "platform/platform.h"
#include "sys/m_cpu_state.h"
#include "sys/sys.h"

namespace kavril {

namespace m_cpu {

namespace {
constexpr std::string_view kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
const platform::Layout kDate("(I2.2,'-',A3,'-',I2.2)");
const platform::Layout kTime("(I2.2,':',I2.2)");

std::string one_line(const platform::Layout& layout, std::initializer_list<platform::Arg> args,
                     std::size_t length) {
  std::string text;
  layout.format(text, args);
  return platform::fit(std::string_view(text).substr(0, text.find('\n')), length);
}
}  // namespace

void format_run_date_time(const std::array<int, 8>& values, std::string& date,
                          std::string& time) {
  const int month = values[1];
  const std::string_view name =
      (month >= 1 && month <= 12) ? kMonths.substr(static_cast<std::size_t>(month - 1) * 3, 3)
                                  : std::string_view("???");
  const int yearOfCentury = (values[0] % 100 + 100) % 100;
  date = one_line(kDate, {values[2], name, yearOfCentury}, 9);
  time = one_line(kTime, {values[4], values[5]}, 5);
}

}  // namespace m_cpu

void DATTIM(std::string& date, std::string& time) {
  std::array<int, 8> values{};
  CLOCKS(values);
  m_cpu::format_run_date_time(values, date, time);
}

}  // namespace kavril

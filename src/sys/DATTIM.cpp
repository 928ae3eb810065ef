// DATTIM: the run date (06-DEC-26) and run time (14:05) from the local clock,
// and the same instant in universal time.
#include <string_view>

#include "platform/platform.h"
#include "sys/m_cpu_state.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace m_cpu {

namespace {
constexpr std::string_view kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
const platform::Layout kDate("(I2.2,'-',A3,'-',I2.2)");
const platform::Layout kTime("(I2.2,':',I2.2)");
const platform::Layout kUtcStamp("(I4.4,2I2.2,1X,3I2.2,' UTC ')");
constexpr int kMinutesPerDay = 1440;

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

// In whole minutes and days (the offset is whole minutes): subtracting the
// offset moves the time of day by less than a day either way, and the date
// by at most one day, which the MJD carries across month and year ends.
std::string format_utc_stamp(const std::array<int, 8>& values) {
  const int minutes = values[4] * 60 + values[5] - values[3];
  const int dayShift =
      minutes >= 0 ? minutes / kMinutesPerDay : -((kMinutesPerDay - 1 - minutes) / kMinutesPerDay);
  const int minuteOfDay = minutes - dayShift * kMinutesPerDay;
  int year = 0;
  int month = 0;
  double day = 0.0;
  JMT(DJUL(values[0], values[1], values[2]) + dayShift, year, month, day);
  return one_line(kUtcStamp,
                  {year, month, l_basfun::IDINT(day), minuteOfDay / 60, minuteOfDay % 60, values[6]},
                  20);
}

}  // namespace m_cpu

void DATTIM(std::string& date, std::string& time) {
  std::string utc;
  DATTIM(date, time, utc);
}

void DATTIM(std::string& date, std::string& time, std::string& utc) {
  std::array<int, 8> values{};
  CLOCKS(values);
  m_cpu::format_run_date_time(values, date, time);
  utc = m_cpu::format_utc_stamp(values);
}

}  // namespace kavril

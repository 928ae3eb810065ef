// Epochs of records and of the command line, and how they are shown.
#include <cmath>
#include <string>

#include "nav/nav.h"
#include "platform/platform.h"
#include "util/util.h"

namespace kavril::nav {

namespace {

constexpr double kMjdOfWeekZero = 44244.0;  // 6 January 1980

// The digits of `text` as a number; false unless all of it are digits.
bool digits(std::string_view text, std::size_t length, int& value) {
  if (text.size() != length) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return platform::parse_int(text, value);
}

}  // namespace

std::string formatted_line(const platform::Layout& layout, std::initializer_list<platform::Arg> args) {
  std::string text;
  layout.format(text, args);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

double record_epoch(const RinexRecordArray& rinex) { return RXWEEK(rinex) * kSecondsPerWeek + rinex[0]; }

bool parse_iso_time(std::string_view text, double& epoch) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  if (!digits(text.substr(0, 4), 4, year) || !digits(text.substr(5, 2), 2, month) ||
      !digits(text.substr(8, 2), 2, day))
    return false;
  const std::string_view time = text.substr(10);
  if (!time.empty()) {
    if ((time[0] != 'T' && time[0] != ' ') || (time.size() != 6 && time.size() != 9) || time[3] != ':') return false;
    if (!digits(time.substr(1, 2), 2, hour) || !digits(time.substr(4, 2), 2, minute)) return false;
    if (time.size() == 9 && (time[6] != ':' || !digits(time.substr(7, 2), 2, second))) return false;
  }
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
  // A day the month does not have (30 February) comes back as another date.
  const double mjd = DJUL(year, month, day);
  int y = 0, m = 0;
  double d = 0.0;
  JMT(mjd, y, m, d);
  if (y != year || m != month || d != day) return false;
  epoch = (mjd - kMjdOfWeekZero) * kSecondsPerDay + hour * 3600.0 + minute * 60.0 + second;
  return true;
}

Calendar calendar_of(double epoch) {
  const double days = std::floor(epoch / kSecondsPerDay);
  const double secondOfDay = epoch - days * kSecondsPerDay;
  const double mjd = kMjdOfWeekZero + days;
  Calendar c;
  double dayOfMonth = 0.0;
  JMT(mjd, c.year, c.month, dayOfMonth);
  c.day = l_basfun::IDINT(dayOfMonth);
  c.dayOfYear = l_basfun::IDINT(mjd - DJUL(c.year, 1, 1.0)) + 1;
  const int whole = l_basfun::IDINT(secondOfDay);
  c.hour = whole / 3600;
  c.minute = whole % 3600 / 60;
  c.second = secondOfDay - (c.hour * 3600 + c.minute * 60);
  return c;
}

std::string iso_text(double epoch, char separator) {
  static const platform::Layout kIso("(I4.4,'-',I2.2,'-',I2.2,A1,I2.2,':',I2.2,':',I2.2)");
  const Calendar c = calendar_of(epoch);
  return formatted_line(kIso, {c.year, c.month, c.day, std::string_view(&separator, 1), c.hour, c.minute,
                          l_basfun::IDINT(c.second)});
}

std::string duration_text(double seconds) {
  static const platform::Layout kMinutesSeconds("(':',I2.2,':',I2.2)");
  const int whole = l_basfun::IDINT(seconds);
  return platform::integer_text(whole / 3600).substr(1) + formatted_line(kMinutesSeconds, {whole % 3600 / 60, whole % 60});
}

}  // namespace kavril::nav

// WRITE_TIME: a duration in days as H:MM:SS.sss (hours of the day fraction).
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {
// The hours take as many columns as they need, up to three.
const platform::Layout& layout_for(int hours) {
  static const platform::Layout kHours1("(I1,':',I2.2,':',F6.3)");
  static const platform::Layout kHours2("(I2,':',I2.2,':',F6.3)");
  static const platform::Layout kHours3("(I3,':',I2.2,':',F6.3)");
  if (hours < 10) return kHours1;
  if (hours < 100) return kHours2;
  return kHours3;
}
constexpr std::size_t kSecondsWidth = 6;
constexpr std::size_t kTextLength = 13;
}  // namespace

void WRITE_TIME(std::string& text, double value) {
  char sign = ' ';  // type 3 leaves it alone
  int hours = 0;
  int minutes = 0;
  double seconds = 0.0;
  RADGMS(3, value, sign, hours, minutes, seconds);

  std::string line;
  layout_for(hours).format(line, {hours, minutes, seconds});
  if (!line.empty() && line.back() == '\n') line.pop_back();
  // Seconds below 10 keep a leading zero: 0:00:05.000, not 0:00: 5.000.
  if (line.size() >= kSecondsWidth) {
    char& firstSecondsColumn = line[line.size() - kSecondsWidth];
    if (firstSecondsColumn == ' ') firstSecondsColumn = '0';
  }
  text = platform::fit(line, kTextLength);
}

}  // namespace kavril

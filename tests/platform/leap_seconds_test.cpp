// GPS-UTC leap seconds: the system's table where it knows the epoch, the
// built-in table where it is missing, malformed or expired for the epoch.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "support/support.h"

namespace kavril::platform {
namespace {

TEST(LeapSeconds, FromTheTableThatKnowsTheEpoch) {
  test::ScratchDir dir;
  const std::pair<const char*, const char*> tables[] = {
      // The last entries of the IERS list, expiring in 2099.
      {"current.list", "#$\t 3913697179\n#@\t4102444800\n3550089600\t35\t# 1 Jul 2012\n3644697600\t36\n"
                       "3692217600\t37\t# 1 Jan 2017\n#h\tabc\n"},
      // TAI-UTC 50 from 2000 (not the real list), expired at the start of 2001.
      {"odd.list", "#@ 3187296000\n2272060800 10\n3155673600 50\n"},
      {"malformed.list", "#@ 4102444800\n3155673600 50 x\n"}};
  for (const auto& [name, text] : tables) test::write_file(dir.file(name), text);
  const struct {
    const char* table;
    std::int64_t mjd, secondOfDay;
    int expected;
  } cases[] = {
      {"current.list", 57753, 86399, 17},  // 2016-12-31 23:59:59 GPS
      {"current.list", 57754, 17, 17},     // 23:59:60 UTC, the leap second itself
      {"current.list", 57754, 18, 18},     // 2017-01-01 00:00:00 UTC
      {"current.list", 55378, 0, 15},      // 2010-07-01: before the list's entries, the built-in table's
      {"odd.list", 51696, 0, 31},          // 2000-06-01: from the file
      {"odd.list", 57905, 0, 18},          // expired for 2017: built-in
      {"missing.list", 57905, 0, 18},
      {"missing.list", 44244, 0, 0},       // 1980-01-06, the start of GPS time
      {"malformed.list", 51696, 0, 13},
  };
  for (const auto& c : cases) {
    set_leap_second_table(dir.file(c.table));
    EXPECT_EQ(gps_leap_seconds(c.mjd, c.secondOfDay), c.expected) << c.table << " at MJD " << c.mjd;
  }
  set_leap_second_table(kSystemLeapSecondTable);
}

}  // namespace
}  // namespace kavril::platform

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "sys/m_cpu_state.h"
#include "sys/sys.h"

namespace kavril {
namespace {

std::string time_of_seconds(double seconds) {
  std::string text;
  WRITE_TIME(text, seconds / 86400.0);
  return text;
}

TEST(WriteTime, HoursTakeTheColumnsTheyNeedAndSecondsKeepTheirLeadingZero) {
  struct Case {
    double seconds;
    const char* text;  // 13 characters
  } cases[] = {
      {0.0, "0:00:00.000  "},
      {0.031, "0:00:00.031  "},     // milliseconds only
      {120.0, "0:02:00.000  "},     // a run of two minutes
      {3725.5, "1:02:05.500  "},    // seconds below 10 get a zero in front
      {43200.0, "12:00:00.000 "},   // two hour columns
      {36000.0 - 0.25, "9:59:59.750  "},
      {108000.0, "6:00:00.000  "},  // 1.25 days: only the fraction of the day counts
      {59.9996, "0:01:00.000  "},   // rounds up into the next minute, never 0:00:60.000
      {3599.9999, "1:00:00.000  "},
      {-3600.0, "0:00:00.000  "},   // a clock set back gives no negative figures
  };
  for (const Case& c : cases) {
    EXPECT_EQ(time_of_seconds(c.seconds), c.text) << c.seconds << " s";
  }
}

TEST(RunDateTime, FormatsDayMonthNameTwoDigitYearAndTime) {
  std::string date;
  std::string time;
  m_cpu::format_run_date_time({2026, 12, 6, 60, 9, 7, 5, 123}, date, time);
  EXPECT_EQ(date, "06-DEC-26");
  EXPECT_EQ(time, "09:07");
  m_cpu::format_run_date_time({2000, 1, 31, 0, 23, 59, 59, 999}, date, time);
  EXPECT_EQ(date, "31-JAN-00");
  EXPECT_EQ(time, "23:59");
  m_cpu::format_run_date_time({1999, 5, 1, 0, 0, 0, 0, 0}, date, time);
  EXPECT_EQ(date, "01-MAY-99");
  EXPECT_EQ(time, "00:00");
}

// Local time less its offset, the date carried across day, month and year.
TEST(RunDateTime, UniversalTimeStampOfTheSameReading) {
  EXPECT_EQ(m_cpu::format_utc_stamp({2026, 12, 6, 60, 9, 7, 5, 123}), "20261206 080705 UTC ");
  EXPECT_EQ(m_cpu::format_utc_stamp({2026, 1, 1, 60, 0, 30, 59, 0}), "20251231 233059 UTC ");
  EXPECT_EQ(m_cpu::format_utc_stamp({2024, 2, 28, -330, 20, 0, 0, 0}), "20240229 013000 UTC ");
  EXPECT_EQ(m_cpu::format_utc_stamp({2026, 3, 1, 0, 0, 0, 0, 0}), "20260301 000000 UTC ");
}

TEST(ClockDate, ClockReadingBecomesModifiedJulianDateInUniversalTime) {
  // 6 January 1980 at 18:00:00.000 UTC is MJD 44244.75.
  EXPECT_DOUBLE_EQ(m_cpu::clock_date({1980, 1, 6, 0, 18, 0, 0, 0}), 44244.75);
  EXPECT_NEAR(m_cpu::clock_date({2000, 1, 1, 0, 0, 0, 1, 500}), 51544.0 + 1.5 / 86400.0, 1e-9);
  // Local 20:00 at UTC+2 is 18:00 UTC.
  EXPECT_NEAR(m_cpu::clock_date({1980, 1, 6, 120, 20, 0, 0, 0}), 44244.75, 1e-9);
  // Across the end of daylight saving (02:50 at UTC+2, then 02:10 at UTC+1)
  // 20 minutes have passed, not -40.
  const double before = m_cpu::clock_date({2026, 10, 25, 120, 2, 50, 0, 0});
  const double after = m_cpu::clock_date({2026, 10, 25, 60, 2, 10, 0, 0});
  EXPECT_NEAR((after - before) * 1440.0, 20.0, 1e-6);
}

}  // namespace
}  // namespace kavril

// Internal state of the run timing (module m_cpu) and the clock-reading
// texts shared by its routines. Not part of the folder's public interface.
#pragma once

#include <array>
#include <string>

namespace kavril::m_cpu {

// A start processor time of kNotStarted means that timing was not started.
inline constexpr double kNotStarted = 1.0E20;

struct Times {
  double startCpu = kNotStarted;   // processor time at the start (seconds)
  double startReal = kNotStarted;  // clock at the start (MJD with day fraction, UT)
  double lastCpu = kNotStarted;    // the same at the last intermediate line
  double lastReal = kNotStarted;
};
extern Times times;

// Processor time (seconds) and clock (MJD in universal time) read now.
void read_now(double& cpu, double& real);

// WRITE_TIME text of a duration in days, without trailing blanks.
std::string time_text(double days);

// Clock reading of CLOCKS as an MJD with day fraction in universal time
// (the local time less its offset from UTC).
double clock_date(const std::array<int, 8>& values);

// Run date (06-DEC-26) and run time (14:05) of a clock reading of CLOCKS.
void format_run_date_time(const std::array<int, 8>& values, std::string& date,
                          std::string& time);

// The clock reading of CLOCKS in universal time, "20261206 130500 UTC" and a
// blank (20 characters): the local time less its offset from UTC.
std::string format_utc_stamp(const std::array<int, 8>& values);

}  // namespace kavril::m_cpu

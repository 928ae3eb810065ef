// GPS-UTC leap seconds from the system's leap-second table (the IERS list
// that tzdata installs) or, where it cannot answer, from a table built into
// the program. The system table is read once, on first use.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

// Times of the table are NTP seconds: seconds since 1900-01-01 00:00 UTC.
constexpr std::int64_t kMjdOf1900 = 15020;
constexpr std::int64_t kSecondsPerDay = 86400;
// GPS time runs ahead of TAI - 19 s by nothing: GPS-UTC = TAI-UTC - 19.
constexpr int kTaiMinusGps = 19;
// A leap-second list is a few kilobytes; anything much longer is no such list.
constexpr std::size_t kMaxTableBytes = 1 << 16;

struct LeapEntry {
  std::int64_t since;  // NTP seconds (UTC) from which taiMinusUtc holds
  int taiMinusUtc;
};

struct LeapTable {
  std::vector<LeapEntry> entries;  // in increasing time
  std::int64_t expires = 0;        // NTP seconds; the table knows nothing after it
};

// The IERS list as of its edition of 2025 (last leap second 2017-01-01,
// valid until 2026-06-28): what the program knows without the system table.
const LeapTable& builtin_table() {
  static const LeapTable table{
      {{2272060800, 10}, {2287785600, 11}, {2303683200, 12}, {2335219200, 13}, {2366755200, 14},
       {2398291200, 15}, {2429913600, 16}, {2461449600, 17}, {2492985600, 18}, {2524521600, 19},
       {2571782400, 20}, {2603318400, 21}, {2634854400, 22}, {2698012800, 23}, {2776982400, 24},
       {2840140800, 25}, {2871676800, 26}, {2918937600, 27}, {2950473600, 28}, {2982009600, 29},
       {3029443200, 30}, {3076704000, 31}, {3124137600, 32}, {3345062400, 33}, {3439756800, 34},
       {3550089600, 35}, {3644697600, 36}, {3692217600, 37}},
      3991593600};
  return table;
}

std::string& table_path() {
  static std::string path(kSystemLeapSecondTable);
  return path;
}

// A non-negative decimal number at `pos` (blanks and tabs before it passed
// over); false when there is none or it has more than 15 digits.
bool read_number(std::string_view line, std::size_t& pos, std::int64_t& value) {
  while (pos < line.size() && is_free_blank(line[pos])) ++pos;
  const std::size_t start = pos;
  value = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && pos - start < 15)
    value = value * 10 + (line[pos++] - '0');
  return pos > start && (pos == line.size() || !(line[pos] >= '0' && line[pos] <= '9'));
}

// The table of the list's text: "#@ EXPIRY" gives its expiry, every line
// that is no comment "NTP-TIME TAI-UTC [# comment]". A list without expiry,
// with a line of another form or with times out of order is no table
// (empty entries).
LeapTable parse_table(std::string_view text) {
  LeapTable table;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t pos = 0;
    std::int64_t since = 0, offset = 0;
    if (line.starts_with("#@")) {
      pos = 2;
      if (!read_number(line, pos, table.expires)) return {};
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    if (!read_number(line, pos, since) || !read_number(line, pos, offset) || offset > 1000) return {};
    while (pos < line.size() && is_free_blank(line[pos])) ++pos;
    if (pos < line.size() && line[pos] != '#') return {};
    if (!table.entries.empty() && since <= table.entries.back().since) return {};
    table.entries.push_back({since, static_cast<int>(offset)});
  }
  if (table.expires == 0) return {};
  return table;
}

LeapTable read_system_table() {
  const int fd = ::open(table_path().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() <= kMaxTableBytes)
    text.append(buffer, static_cast<std::size_t>(got));
  ::close(fd);
  if (got < 0 || text.size() > kMaxTableBytes) return {};
  return parse_table(text);
}

struct SystemTable {
  bool read = false;
  LeapTable table;
};
SystemTable systemTable;

const LeapTable& system_table() {
  if (!systemTable.read) {
    systemTable.table = read_system_table();
    systemTable.read = true;
  }
  return systemTable.table;
}

// GPS-UTC of `table` at the GPS time `gps` (NTP seconds counted in GPS
// time): an entry holds from its UTC instant on, which GPS time reaches
// TAI-UTC - 19 seconds later. Before the first entry (GPS time began in
// 1980 with 0) the value is 0.
int gps_minus_utc(const LeapTable& table, std::int64_t gps) {
  int value = 0;
  for (const LeapEntry& entry : table.entries) {
    if (gps < entry.since + entry.taiMinusUtc - kTaiMinusGps) break;
    value = entry.taiMinusUtc - kTaiMinusGps;
  }
  return value < 0 ? 0 : value;
}

}  // namespace

int gps_leap_seconds(std::int64_t mjd, std::int64_t secondOfDay) {
  const std::int64_t gps = (mjd - kMjdOf1900) * kSecondsPerDay + secondOfDay;
  const LeapTable& system = system_table();
  const LeapTable& builtin = builtin_table();
  // The table that knows the epoch; past both, the one that knows more.
  const bool systemKnows = !system.entries.empty() && gps >= system.entries.front().since && gps < system.expires;
  const bool useSystem =
      systemKnows || (!system.entries.empty() && gps >= builtin.expires && system.expires > builtin.expires);
  return gps_minus_utc(useSystem ? system : builtin, gps);
}

int gps_leap_seconds_now() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t unixSeconds = now.tv_sec;
  constexpr std::int64_t kMjdOf1970 = 40587;
  const std::int64_t days = unixSeconds / kSecondsPerDay;
  return gps_leap_seconds(kMjdOf1970 + days, unixSeconds - days * kSecondsPerDay);
}

void set_leap_second_table(std::string_view path) {
  table_path() = std::string(path);
  systemTable.read = false;
}

}  // namespace kavril::platform

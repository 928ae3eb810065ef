// The RINEX navigation versions the program writes, one row each: what
// differs between versions outside their own writers. A version is added
// with its header and record writer and one row here; the keyword check,
// the option's message and the driver take it from the table.
#include <string>
#include <vector>

#include "const/const.h"
#include "pgm/pgm.h"

namespace kavril {

namespace {

// The header writers with the run's date in the form their version writes.
void writeHeader1(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
                  std::span<const std::string> comment, int& irCode) {
  RXWTNH(lfnRnx, lfnErr, pgmNam, agency, runDate, runTime, static_cast<int>(comment.size()), comment, irCode);
}
void writeHeader2(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
                  std::span<const std::string> comment, int& irCode) {
  RXWTNH2(lfnRnx, lfnErr, pgmNam, agency, runDate, runTime, static_cast<int>(comment.size()), comment, irCode);
}
void writeHeader3(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
                  std::span<const std::string> comment, int& irCode) {
  RXWTNH3(lfnRnx, lfnErr, pgmNam, agency, runUtc, static_cast<int>(comment.size()), comment, irCode);
}
void writeHeader4(int lfnRnx, int lfnErr, std::string_view pgmNam, std::string_view agency,
                  std::span<const std::string> comment, int& irCode) {
  RXWTNH4(lfnRnx, lfnErr, pgmNam, agency, runUtc, static_cast<int>(comment.size()), comment, irCode);
}

constexpr std::string_view kNames1[] = {"1"};
constexpr std::string_view kNames2[] = {"2", "2.11"};
constexpr std::string_view kNames3[] = {"3", "3.04"};
constexpr std::string_view kNames4[] = {"4", "4.00"};

// In the order of their numbers, without gaps: keyword RXNVER is checked as
// an integer from the first number to the last.
constexpr RinexVersion kVersions[] = {
    {1, kNames1, writeHeader1, RXWTNR, StandardName::Short, nullptr, nullptr},
    {2, kNames2, writeHeader2, RXWTNR2, StandardName::Short, nullptr, nullptr},
    {3, kNames3, writeHeader3, RXWTNR3, StandardName::Long, RDBEP3, nullptr},
    {4, kNames4, writeHeader4, RXWTNR4, StandardName::Long, RDBEP3, end_rinex4_header},
};

}  // namespace

std::span<const RinexVersion> rinex_versions() { return kVersions; }

const RinexVersion& rinex_version(int number) {
  for (const RinexVersion& version : kVersions) {
    if (version.number == number) return version;
  }
  return kVersions[0];
}

std::string rinex_version_names() {
  std::vector<std::string_view> names;
  for (const RinexVersion& version : kVersions) names.push_back(version.names.front());
  for (const RinexVersion& version : kVersions) names.insert(names.end(), version.names.begin() + 1, version.names.end());
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) list += i + 1 == names.size() ? " or " : ", ";
    list += names[i];
  }
  return list;
}

}  // namespace kavril

// Writes the header of a RINEX navigation file of version 4.00.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "pgm/pgm.h"
#include "util/util.h"

namespace kavril {

namespace {

// 80 columns each, the label in columns 61 to 80: version 4.00 as F9.2 with
// the file type N in column 21 and the system G in column 41, the program
// line as in 3.04, and the leap seconds (I6, the other fields blank).
const platform::Layout kVersionLine("(F9.2,11X,A20,A20,A20)");
const platform::Layout kProgramLine("(A20,A20,A20,A20)");
const platform::Layout kLeapSecondsLine("(I6,54X,A20)");

// The header of the file being written, until its first record gives the
// epoch of its LEAP SECONDS line.
struct HeldHeader {
  int unit = -1;  // -1: none held
  std::string pgmNam, agency, dateUtc;
  std::vector<std::string> comment;
};
HeldHeader held;

std::optional<int> leapSecondsGiven;

int writeHeader(int lfnRnx, int leapSeconds) {
  using platform::fit;
  const HeldHeader header = std::move(held);
  held = HeldHeader{};
  int status = kVersionLine.write(lfnRnx, {4.00, fit("N", 20), fit("G", 20), "RINEX VERSION / TYPE"});
  if (status == 0)
    status = kProgramLine.write(lfnRnx, {fit(header.pgmNam, 20), fit(header.agency, 20), fit(header.dateUtc, 20),
                                         "PGM / RUN BY / DATE "});
  if (status == 0) status = RXWTNC(lfnRnx, static_cast<int>(header.comment.size()), header.comment);
  if (status == 0)
    status = kLeapSecondsLine.write(lfnRnx, {leapSecondsGiven.value_or(leapSeconds), fit("LEAP SECONDS", 20)});
  if (status == 0) status = RXWTNE(lfnRnx, 0, {});
  return status;
}

}  // namespace

void RXWTNH4(int lfnRnx, int /*lfnErr*/, std::string_view pgmNam, std::string_view agency,
             std::string_view dateUtc, int nCom, std::span<const std::string> comment, int& irCode) {
  const std::size_t lines = nCom > 0 ? std::min(static_cast<std::size_t>(nCom), comment.size()) : 0;
  held = HeldHeader{lfnRnx, std::string(pgmNam), std::string(agency), std::string(dateUtc),
                    std::vector<std::string>(comment.begin(), comment.begin() + static_cast<std::ptrdiff_t>(lines))};
  irCode = 0;
}

int write_held_rinex4_header(int lfnRnx, const RinexRecordArray& rinex) {
  if (held.unit != lfnRnx) return 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (RXEPO3(rinex, year, month, day, hour, minute, second) != 0) return 0;  // the record writer refuses it
  const auto mjd = static_cast<std::int64_t>(DJUL(year, month, day));
  return writeHeader(lfnRnx, platform::gps_leap_seconds(mjd, hour * 3600 + minute * 60 + second));
}

int end_rinex4_header(int lfnRnx) {
  return held.unit == lfnRnx ? writeHeader(lfnRnx, platform::gps_leap_seconds_now()) : 0;
}

void set_rinex4_leap_seconds(std::optional<int> leapSeconds) { leapSecondsGiven = leapSeconds; }

}  // namespace kavril

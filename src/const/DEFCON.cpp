// DEFCON: pi, the angle factors, the run date and time and, with flag 1, the
// constants file named by keyword CONST.
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "const/const.h"
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

// Constants-file line: name in columns 1-6, value field in columns 10-25.
constexpr std::size_t kNameLength = 6;
constexpr std::size_t kValueStart = 9;
constexpr std::size_t kValueLength = 16;

const platform::Layout kDecodingError("(/,A,/,1X,A6,3X,A16,/)");

struct FileConstant {
  std::string_view name;
  double* slot;
};

// The 42 names of the constants file and where each value is kept.
std::array<FileConstant, 42> file_constants(ConstantsBlock& k) {
  return {{{"C", &k.C},           {"FREQ1", &k.FREQ[0]},  {"FREQ2", &k.FREQ[1]},
           {"FREQ5", &k.FREQ[2]}, {"FREQP", &k.FREQP},    {"FREQGP", &k.FREQGP},
           {"FREQG1", &k.FREQG1}, {"FREQG2", &k.FREQG2},  {"DFRQG1", &k.DFRQG1},
           {"DFRQG2", &k.DFRQG2}, {"FRQE1", &k.FRQE[0]},  {"FRQE5", &k.FRQE[1]},
           {"FRQE5a", &k.FRQE[2]}, {"FRQE5b", &k.FRQE[3]}, {"FRQE6", &k.FRQE[4]},
           {"FRQS1", &k.FRQS[0]}, {"FRQS5", &k.FRQS[1]},  {"FRQC1", &k.FRQC[0]},
           {"FRQC2", &k.FRQC[1]}, {"FRQC5b", &k.FRQC[2]}, {"FRQC6", &k.FRQC[3]},
           {"FRQJ1", &k.FRQJ[0]}, {"FRQJ2", &k.FRQJ[1]},  {"FRQJ5", &k.FRQJ[2]},
           {"FRQJ6", &k.FRQJ[3]}, {"GM", &k.GM},          {"GMM", &k.GMM},
           {"GMS", &k.GMS},       {"AU", &k.AU},          {"AE", &k.AE},
           {"J2", &k.J2},         {"CONRE", &k.CONRE},    {"FACTEC", &k.FACTEC},
           {"P0", &k.P0},         {"OMEGA", &k.OMEGA},    {"ET-UTC", &k.ETUTC},
           {"WGTPHA", &k.WGTPHA}, {"WGTCOD", &k.WGTCOD},  {"HREF", &k.HREF},
           {"PREF", &k.PREF},     {"TREF", &k.TREF},      {"HUMREF", &k.HUMREF}}};
}

// Columns first..first+length-1 (0-based start) of a line, blank-padded.
std::string field(std::string_view line, std::size_t first, std::size_t length) {
  return platform::fit(first < line.size() ? line.substr(first) : std::string_view(), length);
}

// The value field read as one free-format real: its first item, which ends
// at a blank (or tab), a comma or a slash. A blank field has no number.
bool decode_value(std::string_view valueField, double& value) {
  const std::size_t begin = valueField.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return false;
  const std::size_t end = valueField.find_first_of(" \t,/", begin);
  return platform::parse_real(valueField.substr(begin, end - begin), value);
}

[[noreturn]] void decoding_error(std::string_view nameField, std::string_view valueField) {
  kDecodingError.write(lfnError, {" *** SR DEFCON: ERROR DECODING DATA ON THE FOLLOWING LINE:",
                                  nameField, printable(valueField)});
  EXITRC(2);
}

void derive_wavelengths(ConstantsBlock& k) {
  const double l1 = k.C / k.FREQ[0];
  const double l2 = k.C / k.FREQ[1];
  k.WLGT = {l1, l2, l1 * l2 / (l1 + l2), l1 - l2, l1 * l2 / (l2 - l1)};
  for (auto& pair : k.FREQSAT) pair = {k.FREQ[0], k.FREQ[1]};
  for (auto& quintuple : k.WLGTSAT) quintuple = k.WLGT;
}

}  // namespace

void DEFCON(int flag) {
  constants.PI = 4.0 * std::atan(1.0);
  constants.R2D = 180.0 / constants.PI;
  constants.RA2S = 3600.0 * constants.R2D;
  DATTIM(runDate, runTime, runUtc);
  if (flag != 1) return;

  const auto table = file_constants(constants);
  for (const FileConstant& c : table) {
    if (c.name != "WGTCOD") *c.slot = 0.0;  // the code weight survives a new call
  }

  std::string filNam;
  int irCode = 0;
  GTFLNA(1, "CONST", filNam, irCode);
  int ioStat = 0;
  OPNFIL(lfnLocal, filNam, "OLD", "FORMATTED", "READONLY", " ", ioStat);
  OPNERR(lfnError, lfnLocal, ioStat, filNam, "DEFCON");

  std::string line;
  platform::ReadResult result;
  while ((result = platform::read_line(lfnLocal, line)) == platform::ReadResult::Ok) {
    const std::string nameField = field(line, 0, kNameLength);
    for (const FileConstant& c : table) {
      if (!platform::same_text(nameField, c.name)) continue;
      const std::string valueField = field(line, kValueStart, kValueLength);
      if (!decode_value(valueField, *c.slot)) decoding_error(nameField, valueField);
      break;
    }
  }
  // A file that opened but cannot be read to its end must not pass for a
  // complete set of constants.
  if (result == platform::ReadResult::Error) stop_on_read_error(lfnLocal, "SR DEFCON");

  derive_wavelengths(constants);
  constants.constDefined = 1;
  platform::close_unit(lfnLocal);
}

}  // namespace kavril

// Constants: the shared block of physical and GNSS constants and the
// constants file.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kavril {

// The constants block. Every entry is 0 until DEFCON sets it.
struct ConstantsBlock {
  double PI = 0, R2D = 0, RA2S = 0;  // pi, degrees and arc seconds per radian
  double C = 0;                      // speed of light
  std::array<double, 3> FREQ{};      // FREQ1, FREQ2, FREQ5
  double FREQP = 0;
  double FREQGP = 0, FREQG1 = 0, FREQG2 = 0, DFRQG1 = 0, DFRQG2 = 0;
  std::array<double, 5> FRQE{};     // FRQE1, FRQE5, FRQE5a, FRQE5b, FRQE6
  std::array<double, 2> FRQS{};     // FRQS1, FRQS5
  std::array<double, 4> FRQC{};     // FRQC1, FRQC2, FRQC5b, FRQC6
  std::array<double, 4> FRQJ{};     // FRQJ1, FRQJ2, FRQJ5, FRQJ6
  double GM = 0, GMM = 0, GMS = 0, AU = 0, AE = 0, J2 = 0, CONRE = 0, FACTEC = 0;
  double P0 = 0, OMEGA = 0, ETUTC = 0, WGTPHA = 0, WGTCOD = 0;
  double HREF = 0, PREF = 0, TREF = 0, HUMREF = 0;
  std::array<double, 5> WLGT{};                     // derived wavelengths
  std::array<std::array<double, 2>, 100> FREQSAT{};  // per satellite (FREQ1, FREQ2)
  std::array<std::array<double, 5>, 100> WLGTSAT{};  // per satellite wavelengths
  int constDefined = 0;  // 1 once the constants file has been read
};
extern ConstantsBlock constants;

// Run date (9 characters, 06-DEC-26) and run time (5 characters, 14:05).
extern std::string runDate;
extern std::string runTime;
// The same instant in universal time (20 characters, "20261206 130500 UTC"
// and a blank), for the program line of RINEX 3.04.
extern std::string runUtc;

// The text of the package's standard constants file, built into the program.
extern const std::string_view kStandardConstants;

// Sets pi, the angle factors and the run date and time; with flag 1 also
// reads the constants file named by keyword CONST.
void DEFCON(int flag);

}  // namespace kavril

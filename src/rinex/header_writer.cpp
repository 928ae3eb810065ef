// The header of a RINEX navigation file written: 80 columns a line, the
// label in columns 61-80, the corrections each version keeps in its header.
#include <algorithm>
#include <cctype>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/columns.h"
#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

const platform::Layout kVersionLine("(F9.2,11X,A20,A20,A20)");
const platform::Layout kProgramLine("(A20,A20,A20,A20)");
const platform::Layout kLabelled("(A60,A20)");
const platform::Layout kIonAlphaBeta("(2X,4D12.4)");
const platform::Layout kDeltaUtc("(3X,2D19.12,2I9)");
const platform::Layout kCorrToSystemTime("(3I6,3X,D19.12)");
const platform::Layout kIonosphericCorr("(A4,1X,4ES12.4)");
const platform::Layout kIonosphericMark("(1X,A1,1X,I2)");
// The reference time and week take the blank before them when they need it
// (real receivers write negative times of seven characters).
const platform::Layout kTimeSystemCorr("(A4,1X,ES17.10,ES16.9,I7,I5)");
const platform::Layout kTimeSystemSource("(1X,A5,1X,I2)");
const platform::Layout kLeapSeconds("(4I6,A3)");
const platform::Layout kInteger("(I6)");
const platform::Layout kMergedFiles("(I9)");

// Writes `body` (formatted by a layout, with its line end) cut or padded to
// 60 columns, and `label`.
int labelled(int unit, std::string& body, std::string_view label) {
  if (!body.empty() && body.back() == '\n') body.pop_back();
  return kLabelled.write(unit, {platform::fit(body, 60), label});
}

// "M: MIXED" or "G: GPS" for a file of one system.
std::string system_text(char letter) {
  System system = System::GPS;
  if (!system_of_letter(letter, system)) return "M: MIXED";
  std::string name(system_name(system));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return joined({std::string_view(&letter, 1), ": ", name});
}

}  // namespace

int NavigationWriter::write_header(const Header& header, std::string_view program, std::string_view runBy,
                                   std::string_view date) {
  const bool two = version_ < 300;
  int status = 0;
  const auto line = [&](std::string& body, std::string_view label) {
    if (status == 0) status = labelled(unit_, body, label);
    body.clear();
  };
  const double version = version_ / 100.0;
  if (two) {
    const bool glonass = system_ == System::GLONASS;
    status = kVersionLine.write(unit_, {version, glonass ? "G: GLONASS NAV DATA" : "N: GPS NAV DATA", "",
                                        "RINEX VERSION / TYPE"});
  } else {
    status = kVersionLine.write(unit_, {version, "N: GNSS NAV DATA", system_text(header.systemLetter),
                                        "RINEX VERSION / TYPE"});
  }
  if (status == 0) {
    status = kProgramLine.write(unit_, {platform::fit(program, 20), platform::fit(runBy, 20), platform::fit(date, 20),
                                        "PGM / RUN BY / DATE"});
  }
  std::string body;
  if (version_ >= 400 && header.mergedFiles > 0) {
    kMergedFiles.format(body, {header.mergedFiles});
    line(body, "MERGED FILE");
  }
  for (const std::string& comment : header.comments) {
    body = comment;
    line(body, "COMMENT");
  }
  for (const IonosphereCorrection& c : header.ionosphere) {
    const std::span<const double> values(c.values.data(), static_cast<std::size_t>(c.valueCount));
    if (two && (c.type.view() == "GPSA" || c.type.view() == "GPSB") && system_ == System::GPS) {
      kIonAlphaBeta.format(body, {values});
      line(body, c.type.view() == "GPSA" ? "ION ALPHA" : "ION BETA");
    } else if (!two && version_ < 400) {
      kIonosphericCorr.format(body, {c.type.view(), values});
      if (c.timeMark != ' ' || c.satellite != 0) {
        body.pop_back();
        body.resize(53, ' ');
        kIonosphericMark.format(body, {std::string_view(&c.timeMark, 1), c.satellite});
      }
      line(body, "IONOSPHERIC CORR");
    }
  }
  for (const TimeCorrection& c : header.timeCorrections) {
    if (two && c.type.view() == "GPUT" && system_ == System::GPS) {
      kDeltaUtc.format(body, {c.a0, c.a1, c.referenceSeconds, c.referenceWeek});
      line(body, "DELTA-UTC: A0,A1,T,W");
    } else if (two && c.type.view() == "GLUT" && system_ == System::GLONASS) {
      // A correction of a 3.x or 4.x file gives its reference time as a GPS
      // week and second: its date is that of the 2.x line.
      const nav::Calendar date = nav::calendar_of(c.referenceWeek * nav::kSecondsPerWeek + c.referenceSeconds);
      constexpr int kLastWeek = 400000;  // about the year 9600
      const bool dated = c.year > 0 || c.referenceWeek <= 0 || c.referenceWeek > kLastWeek;
      kCorrToSystemTime.format(body, {dated ? c.year : date.year, dated ? c.month : date.month,
                                      dated ? c.day : date.day, c.a0});
      line(body, "CORR TO SYSTEM TIME");
    } else if (!two && version_ < 400) {
      kTimeSystemCorr.format(body, {c.type.view(), c.a0, c.a1, c.referenceSeconds, c.referenceWeek});
      if (c.source.size > 0 || c.utcId != 0) {
        body.pop_back();
        const std::string_view source = c.source.view();  // right-aligned, as "  G10"
        kTimeSystemSource.format(body, {std::string(5 - std::min<std::size_t>(source.size(), 5), ' ') + std::string(source), c.utcId});
      }
      line(body, "TIME SYSTEM CORR");
    }
  }
  const LeapSeconds& leap = header.leapSeconds;
  if (leap.given) {
    if (!two && leap.futureGiven) {
      kLeapSeconds.format(body, {leap.current, leap.future, leap.week, leap.day, leap.system.view()});
    } else {
      kInteger.format(body, {leap.current});
    }
    line(body, "LEAP SECONDS");
  }
  line(body, "END OF HEADER");
  return status;
}

}  // namespace kavril::rinex

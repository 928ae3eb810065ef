// Main program KAVRIL: converts the broadcast navigation files named by
// keyword BRDFIL into RINEX navigation files of version 1 (2.11 or 3.04 as
// keyword RXNVER asks), one summary row per input file. Consecutive input
// files with the same output name are merged into one RINEX file under one
// header.
#include <optional>
#include <string>
#include <vector>

#include "const/const.h"
#include "inpkey/inpkey.h"
#include "pgm/pgm.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

using platform::Layout;

constexpr std::size_t kTableNameWidth = 32;
constexpr std::size_t kAgencyLength = 20;
constexpr std::size_t kCommentLength = 60;
constexpr std::size_t kFileNameLength = 255;

std::string fileName(std::string_view value) {
  return std::string(platform::trim_right(value.substr(0, kFileNameLength)));
}

// Default output names come from column 2 of the file list; RXNFIL replaces
// them by one name for all rows or one name per row. A count that fits
// neither rule stops the run before anything is converted.
void applyOutputNames(FileNameMatrix& files, int nFil) {
  std::vector<std::string> names;
  int irc = 0;
  READKEYS("RXNFIL", names, irc);
  const int nNames = static_cast<int>(names.size());
  if (names.empty() || platform::is_blank(names.front())) return;

  if (nNames == 1) {
    for (int i = 1; i <= nFil; ++i) files.at(2, i) = fileName(names.front());
    return;
  }
  if (nNames == nFil) {
    for (int i = 1; i <= nFil; ++i) files.at(2, i) = fileName(names[static_cast<std::size_t>(i - 1)]);
    return;
  }
  static const Layout kMismatch("(/,A,A,/,16X,A,I4,/,16X,A,I4,/)");
  kMismatch.write(lfnError, {" *** PG KAVRIL: Number of input files not equal to number",
                             " of output files:", "Number of specified broadcast input files: ", nFil,
                             "Number of specified RINEX output files:    ", nNames});
  EXITRC(2);
}

// The agency of the RINEX header: RUNBY's first value, or a fixed text when
// the keyword is missing (READKEYS has reported that).
std::string agencyFromKeywords() {
  std::vector<std::string> values;
  int irc = 0;
  READKEYS("RUNBY", values, irc);
  if (irc != 0) return "AGENCY NOT SPECIFIED";
  return platform::fit(values.empty() ? std::string_view() : values.front(), kAgencyLength);
}

// The RINEX version of keyword RXNVER: 1 when it is missing or blank (no
// message), else its value checked as an integer option from 1 to 3; a bad
// value has been reported by CKOPTI and stops the run.
int rinexVersionFromKeywords() {
  if (!TSTKEY("RXNVER")) return 1;
  std::vector<std::string> values;
  int irc = 0;
  READKEYS("RXNVER", values, irc);
  int errCount = 0;
  int version = 1;
  CkoptiOptional opt;
  opt.emptyVal = 1;
  opt.lowLimit = kRinexVersionMin;
  opt.upLimit = kRinexVersionMax;
  opt.maxVal = 1;
  opt.initVal = 1;
  opt.firstResult = &version;
  CKOPTI(1, "RXNVER", values, "KAVRIL", "RINEX navigation format version", irc, errCount, opt);
  if (errCount != 0) EXITRC(2);
  return version;
}

// The header of a new RINEX file of `version`, its one comment the title of
// its first input file.
void writeHeader(int version, int lfnRnx, const std::string& agency, const std::string& title) {
  const std::string pgmName = platform::fit("KAVRIL", 20);
  const std::string comment[] = {platform::fit(title, kCommentLength)};
  int irc = 0;
  switch (version) {
    case 2: RXWTNH2(lfnRnx, lfnError, pgmName, agency, runDate, runTime, 1, comment, irc); break;
    case 3: RXWTNH3(lfnRnx, lfnError, pgmName, agency, runUtc, 1, comment, irc); break;
    default: RXWTNH(lfnRnx, lfnError, pgmName, agency, runDate, runTime, 1, comment, irc);
  }
  if (irc != 0) EXITRC(2);
}

void writeTableHead() {
  static const Layout kHead("(//,A,A,/,1X,A,2X,A,2X,A,2X,A,/)");
  kHead.write(lfnPrint, {" FILE  ORLANIC BROADCAST FILE NAME       ", "RINEX FILE NAME                   #MESS",
                         std::string(4, '-'), std::string(32, '-'), std::string(32, '-'), std::string(5, '-')});
}

void writeTableRow(int row, const std::string& input, const std::string& output, int nMess) {
  static const Layout kRow("(I5,2X,A32,2X,A32,I7)");
  const std::string shown = platform::is_blank(output) ? std::string("  ---") : output;
  kRow.write(lfnPrint, {row, input, shown, nMess});
}

// Converts every message of the open broadcast file on lfnLocal into records
// of RINEX `version` on the RINEX unit. Returns the number of messages
// converted.
int convertMessages(int lfnRnx, int version) {
  static EphemerisArray eph;
  static ClockArray clock;
  static RinexRecordArray rinex;
  int nMess = 0;
  for (int satNum = RDBSAT(lfnLocal); satNum != 0; satNum = RDBSAT(lfnLocal)) {
    RDBBLK(lfnLocal, eph);
    RDBCHK(lfnLocal, eph);
    RDBBLK(lfnLocal, clock);
    RDBTOC(lfnLocal, clock);
    V3RXBR(eph, clock, rinex);
    if (version == 3) RDBEP3(lfnLocal, rinex);
    int irc = 0;
    switch (version) {
      case 2: RXWTNR2(lfnRnx, lfnError, satNum, rinex, irc); break;
      case 3: RXWTNR3(lfnRnx, lfnError, satNum, rinex, irc); break;
      default: RXWTNR(lfnRnx, lfnError, satNum, rinex, irc);
    }
    if (irc != 0) EXITRC(2);
    ++nMess;
  }
  return nMess;
}

}  // namespace

void KAVRIL() {
  CPU_START(true);
  const int lfnRnx = lfnFirst;

  INIT_INPKEY(inpKey);
  READINPF(" ", inpKey);
  OPNSYS();
  DEFCON(1);
  PRITIT("KAVRIL", "Transfer Orlanic navigation files to RINEX");
  PRFLNA(79);

  writeTableHead();
  int nFil = 0;
  FileNameMatrix files;
  GTFILE2("BRDFIL", 2, nFil, files, kFileNameLength);
  applyOutputNames(files, nFil);
  const std::string agency = agencyFromKeywords();
  const int version = rinexVersionFromKeywords();

  // Output name of the row converted last; none at the start.
  std::optional<std::string> previousOutput;
  for (int row = 1; row <= nFil; ++row) {
    const std::string& input = files.at(1, row);
    const std::string& output = files.at(2, row);
    int nMess = 0;
    if (!platform::is_blank(output)) {
      int ios = 0;
      OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
      OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");

      std::string title;
      if (RDBTIT(lfnLocal, title)) {
        const bool newOutput = !previousOutput || !platform::same_text(output, *previousOutput);
        if (newOutput) {
          platform::close_unit(lfnRnx);
          OPNFIL(lfnRnx, output, "UNKNOWN", "FORMATTED", " ", " ", ios);
          OPNERR(lfnError, lfnRnx, ios, output, "KAVRIL");
          writeHeader(version, lfnRnx, agency, title);
        }
        nMess = convertMessages(lfnRnx, version);
        previousOutput = output;
      }
      platform::close_unit(lfnLocal);
    }
    writeTableRow(row, platform::fit(input, kTableNameWidth), platform::fit(output, kTableNameWidth), nMess);
  }

  platform::write_line(lfnPrint, "");
  EXITRC(0);
}

}  // namespace kavril

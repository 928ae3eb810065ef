// The RINEX navigation reader over the real files of tests/data/rinex-nav:
// records per system and message type as MANIFEST.tsv counts them, values
// where their columns say, and damaged files reported at their line.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "rinex/rinex.h"
#include "support/support.h"

using namespace kavril;
using namespace kavril::rinex;

namespace {

constexpr int kUnit = 77;
const std::string kCorpus = std::string(KAVRIL_TEST_DATA) + "/rinex-nav/";

struct ReadFile {
  Header header;
  std::vector<Record> records;
  Damage damage;
  bool complete = false;
};

ReadFile read_path(const std::string& path) {
  ReadFile file;
  EXPECT_EQ(platform::open_unit(kUnit, path, platform::OpenStatus::Old, true, true), 0) << path;
  NavigationReader reader(kUnit);
  if (reader.read_header(file.header)) {
    Record record;
    NavigationReader::Next next;
    while ((next = reader.next(record)) == NavigationReader::Next::Record) file.records.push_back(record);
    file.complete = next == NavigationReader::Next::End;
  }
  file.damage = reader.damage();
  platform::close_unit(kUnit);
  return file;
}

// A file of `text` read whole.
ReadFile read_text(const std::string& text) {
  // A file of the process's own: tests run in parallel processes, and other
  // builds' tests on the same machine.
  static const test::ScratchDir dir;
  const std::string path = dir.file("text.rnx");
  std::ofstream(path, std::ios::binary) << text;
  return read_path(path);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// "G=4 J=2 R=4" or "EPH:C:D1=2 STO:E:IFNV=5" as a map; "none" as no entry.
std::map<std::string, int> counts_of(const std::string& text) {
  std::map<std::string, int> counts;
  for (const std::string& item : split(text, ' ')) {
    const auto equals = item.find('=');
    if (equals != std::string::npos) counts[item.substr(0, equals)] = std::stoi(item.substr(equals + 1));
  }
  return counts;
}

TEST(RinexReader, EveryCorpusFileGivesTheManifestCounts) {
  std::ifstream manifest(kCorpus + "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);
  const std::vector<std::string> columns = split(line, '\t');
  const auto column = [&](const std::string& name) {
    return static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) - columns.begin());
  };
  int files = 0;
  while (std::getline(manifest, line)) {
    const std::vector<std::string> row = split(line, '\t');
    const std::string& name = row[column("file")];
    SCOPED_TRACE(name);
    const ReadFile file = read_path(kCorpus + name);
    ASSERT_TRUE(file.complete) << file.damage.line << ": " << file.damage.reason;
    std::map<std::string, int> perSystem;
    std::map<std::string, int> perType;
    for (const Record& r : file.records) {
      const std::string system(1, letter_of(r.satellite.system));
      if (r.kind == RecordKind::Ephemeris) ++perSystem[system];
      if (file.header.major() == 4) {
        ++perType[std::string(kind_word(r.kind)) + ":" + system + ":" + std::string(r.messageText.view())];
      }
    }
    EXPECT_EQ(perSystem, counts_of(row[column("eph_records_per_system")]));
    EXPECT_EQ(perType, counts_of(row[column("v4_records_type:sys:msg")]));
    ++files;
  }
  EXPECT_EQ(files, 49);
}

// Values at their columns, across the forms of real files: 2.x D exponents
// and 3-column indent, 2.12 QZSS "J 1", 3.05 5-line GLONASS, lower-case e and
// numbers without a leading zero, the 4.x short last line, SBAS numbers,
// time-offset texts, a NavIC L1NV with blank fields.
TEST(RinexReader, ValuesStandInTheirSlots) {
  struct Row {
    const char* file;
    std::size_t record;
    const char* satellite;
    Epoch epoch;
    int slot;
    double value;
    int lines;
  };
  const Row rows[] = {
      {"brdc0910.09g", 0, "R02", {2009, 4, 1, 0, 15, 0.0}, slot_of(3, 0), -0.176143896484E+05, 4},
      {"brdc3050.12q", 0, "J01", {2012, 10, 31, 0, 0, 0.0}, slot_of(1, 1), -3.955937500000E+02, 8},
      {"Example_Mixed_Rinex305.n", 0, "G01", {2006, 10, 1, 0, 0, 0.0}, slot_of(7, 1), 0.4e+01, 8},
      {"Example_Mixed_Rinex305.n", 2, "R01", {2006, 10, 1, 0, 15, 0.0}, slot_of(4, 1), 8.381903171539E-09, 5},
      {"Example_NavIC_Rinex402.n", 0, "I10", {2023, 6, 24, 0, 5, 0.0}, slot_of(7, 3), 5.995389074087e-09, 9},
      {"INS_1581.19P", 1, "G23", {2019, 6, 8, 19, 50, 24.0}, slot_of(1, 1), -3.725290298462E-09, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const ReadFile file = read_path(kCorpus + row.file);
    ASSERT_GT(file.records.size(), row.record);
    const Record& r = file.records[row.record];
    EXPECT_EQ(satellite_text(r.satellite), row.satellite);
    EXPECT_EQ(r.epoch, row.epoch);
    EXPECT_EQ(r.lines, row.lines);
    ASSERT_TRUE(r.has(row.slot));
    EXPECT_EQ(r.value(row.slot), row.value);
  }
  const ReadFile navic = read_path(kCorpus + "Example_NavIC_Rinex402.n");
  EXPECT_FALSE(navic.records[0].has(slot_of(6, 2)));  // a blank field is no value
  const ReadFile sto = read_path(kCorpus + "INS_1581.19P");
  EXPECT_EQ(sto.records[1].text.view(), "GPUT                                  UTC(USNO)");
  const ReadFile mixed = read_path(kCorpus + "BRDM00DLR_S_20230730000_01D_MN.rnx");
  const auto sbas = std::find_if(mixed.records.begin(), mixed.records.end(),
                                 [](const Record& r) { return r.satellite.system == System::SBAS; });
  ASSERT_NE(sbas, mixed.records.end());
  EXPECT_GE(sbas->satellite.number, 120);
  EXPECT_EQ(sbas->message, Message::SBAS);
}

// The message types that 2.x and 3.x records carry without naming them, and
// the header corrections of each version family.
TEST(RinexReader, ImpliedMessagesAndHeaderCorrections) {
  const ReadFile galileo = read_path(kCorpus + "v3_02-Allo223mA.22l");
  std::map<std::string, int> messages;
  for (const Record& r : galileo.records) ++messages[std::string(r.messageText.view())];
  EXPECT_GT(messages["INAV"], 0);
  EXPECT_GT(messages["FNAV"], 0);
  const ReadFile beidou = read_path(kCorpus + "VILL00ESP_R_20181700000_01D_MN.rnx.gz");
  for (const Record& r : beidou.records) {
    if (r.satellite.system != System::BeiDou) continue;
    EXPECT_EQ(r.message, r.satellite.number <= 5 ? Message::D2 : Message::D1) << satellite_text(r.satellite);
  }

  const ReadFile v2 = read_path(kCorpus + "brdc1820.10n");
  EXPECT_EQ(v2.header.version, 200);
  ASSERT_EQ(v2.header.ionosphere.size(), 2u);
  EXPECT_EQ(v2.header.ionosphere[1].type.view(), "GPSB");
  ASSERT_EQ(v2.header.timeCorrections.size(), 1u);
  EXPECT_EQ(v2.header.timeCorrections[0].type.view(), "GPUT");
  EXPECT_NE(v2.header.timeCorrections[0].referenceWeek, 0);
  const ReadFile v3 = read_path(kCorpus + "Example_Mixed_Rinex305.n");
  ASSERT_EQ(v3.header.timeCorrections.size(), 2u);
  const TimeCorrection& glut = v3.header.timeCorrections[1];
  EXPECT_EQ(glut.type.view(), "GLUT");
  EXPECT_EQ(glut.a0, 0.7823109626E-06);
  EXPECT_EQ(glut.referenceWeek, 1395);
  EXPECT_EQ(glut.source.view(), "R10");
  EXPECT_EQ(v3.header.leapSeconds.current, 14);
  const ReadFile glonass = read_path(kCorpus + "brdc0910.09g");
  ASSERT_EQ(glonass.header.timeCorrections.size(), 1u);
  EXPECT_EQ(glonass.header.timeCorrections[0].a0, 0.158790498972E-06);
  EXPECT_EQ(glonass.header.timeCorrections[0].year, 2009);
}

// A well-formed 4.x message type without a layout is carried with the lines
// it has (up to the next record), which 3.x cannot hold.
TEST(RinexReader, UnknownMessageTypesAreKeptAsText) {
  const ReadFile file = read_text(
      "     4.01           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE\n"
      "                                                            END OF HEADER\n"
      "> EPH R09 L9OC\n"
      "R09 2026 01 02 03 04 05 1.000000000000E+00                   3.000000000000E+00\n"
      "     4.000000000000E+00\n"
      "\n"
      "> EPH C05 D2\n");
  EXPECT_EQ(file.damage.line, 7);  // the D2 record has no lines
  ASSERT_EQ(file.records.size(), 1u);
  const Record& r = file.records[0];
  EXPECT_EQ(r.message, Message::Other);
  EXPECT_EQ(r.messageText.view(), "L9OC");
  EXPECT_EQ(r.lines, 2);
  EXPECT_EQ(r.given, 0b1101u);
  EXPECT_FALSE(NavigationWriter(6, 304).holds(r));
  EXPECT_TRUE(NavigationWriter(6, 400).holds(r));
}

// Damaged files: the line and the reason, and no record after the damage.
TEST(RinexReader, DamagedFilesNameTheirLine) {
  const std::string head3 =
      "     3.04           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE\n"
      "                                                            END OF HEADER\n";
  const std::string gps =
      "G01 2006 10 01 00 00 00 0.798045657575E-04 0.227373675443E-11 0.000000000000E+00\n"
      "     0.560000000000E+02-0.787500000000E+01 0.375658504827E-08 0.265129935612E+01\n"
      "    -0.411644577980E-06 0.640150101390E-02 0.381097197533E-05 0.515371852875E+04\n"
      "     0.000000000000E+00 0.782310962677E-07 0.188667086536E+00-0.391155481338E-07\n"
      "     0.989010441512E+00 0.320093750000E+03-0.178449589759E+01-0.775925177541E-08\n"
      "     0.828605943335E-10 0.000000000000E+00 0.139500000000E+04 0.000000000000E+00\n"
      "     0.200000000000E+01 0.000000000000E+00-0.325962901115E-08 0.560000000000E+02\n"
      "    -0.600000000000E+02 0.400000000000E+01\n";
  const std::string head4 =
      "     4.00           N: GNSS NAV DATA    M: MIXED            RINEX VERSION / TYPE\n"
      "                                                            END OF HEADER\n";
  const std::string sbas =
      "> EPH S27 SBAS\n"
      "S27 2023 03 12 00 01 04 0.000000000000e+00 0.000000000000e+00 2.603400000000e+05\n"
      "     4.087210000000e+04 0.000000000000e+00 0.000000000000e+00 0.000000000000e+00\n"
      "     1.018720000000e+03 0.000000000000e+00 0.000000000000e+00 3.276700000000e+04\n"
      "     0.000000000000e+00 0.000000000000e+00 0.000000000000e+00 1.900000000000e+01\n";
  const std::string cut = gps.substr(0, gps.rfind("    -0.6"));
  std::string bad = gps;
  bad.replace(bad.find("0.560000000000E+02"), 18, "0.5600000O0000E+02");
  // One character too many shifts every field after it on its line.
  std::string shifted = gps;
  shifted.insert(shifted.find("E-06 ") + 4, "5");
  std::string february = gps;
  february.replace(4, 10, "2006 02 30");
  struct Case {
    const char* what;
    std::string text;
    std::size_t records;
    long line;
    const char* reason;
  };
  const Case cases[] = {
      {"cut before the next record", head3 + cut + gps, 0, 10, "G01 record cut short: 7 of the 8 lines"},
      {"cut at the end", head3 + gps + cut, 1, 17, "at the end of the file"},
      {"a field that is no number", head3 + gps + bad, 1, 12, "'0.5600000O0000E+02' in column 5 is not a number"},
      {"a field of two numbers", head3 + gps + shifted, 1, 13, "'5 0.640150101390E-0' in column 24 is not a number"},
      {"a day the month does not have", head3 + february, 0, 3, "no valid epoch"},
      {"a year before GPS time", head3 + "G01 1979" + gps.substr(8), 0, 3, "no valid epoch"},
      {"a record before END OF HEADER", head3.substr(0, 81) + gps + head3.substr(81), 0, 2, "a record line before END OF HEADER"},
      {"unknown system letter", head3 + "X" + gps.substr(1), 0, 3, "unknown system letter 'X'"},
      {"unknown record type", head4 + sbas + "> EPX S27 SBAS\n" + sbas.substr(15), 1, 8, "unknown record type 'EPX'"},
      {"a message type of other characters", head4 + "> EPH S27 S-AS\n" + sbas.substr(15), 0, 3, "'S-AS' is no message"},
      {"too many lines", head4 + sbas + sbas.substr(15 + 81), 0, 8, "S127: line 5 of a SBAS SBAS record, which has 4"},
      {"satellite of another record line", head4 + "> EPH S28 SBAS\n" + sbas.substr(15), 0, 4, "S127 under"},
      {"orbit line without its epoch", head3 + gps.substr(81), 0, 3, "a line that starts a record"},
      {"no navigation file", "     3.04           OBSERVATION DATA    M                   RINEX VERSION / TYPE\n",
       0, 1, "not a RINEX navigation file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadFile file = read_text(c.text);
    EXPECT_FALSE(file.complete);
    EXPECT_EQ(file.records.size(), c.records);
    EXPECT_EQ(file.damage.line, c.line);
    EXPECT_NE(file.damage.reason.find(c.reason), std::string::npos) << file.damage.reason;
  }
}

}  // namespace

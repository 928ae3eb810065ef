// The files the RINEX room writes, read by other GNSS programs: the strict
// reader dumpnav (third_party/rinex4-client) prints from every version
// written the ephemerides it prints from the original file, and rnx2rtkp
// (2.11, 3.04) and mrtkpost (4.00) compute the station day's positions alike
// with its navigation file and with a chain of versions made from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "rinex/rinex.h"
#include "support/rinex_columns.h"
#include "support/rinex_files.h"
#include "support/support.h"

using namespace kavril;
using namespace kavril::rinex;
namespace fs = std::filesystem;

namespace {

const fs::path kClient = KAVRIL_RINEX4_CLIENT;

bool has_client() { return fs::exists(kClient / "dumpnav") && fs::exists(kClient / "mrtkpost"); }
bool has_rnx2rtkp() { return test::run_command("command -v rnx2rtkp > /dev/null 2>&1") == 0; }

// The lines `command` prints (run in `dir`), but those starting with `dropped`.
std::vector<std::string> printed(const test::ScratchDir& dir, const std::string& command, const std::string& dropped) {
  test::run_command("cd '" + dir.path().string() + "' && { " + command + "; } > printed.txt 2> /dev/null");
  std::vector<std::string> lines = test::lines_of(test::read_file(dir.path() / "printed.txt"));
  std::erase_if(lines, [&](const std::string& line) { return !dropped.empty() && line.starts_with(dropped); });
  return lines;
}

// The ephemerides dumpnav reads from `path`: its EPH, GEPH and SEPH lines.
std::vector<std::string> ephemerides(const test::ScratchDir& dir, const std::string& path) {
  std::vector<std::string> lines = printed(dir, "'" + (kClient / "dumpnav").string() + "' '" + path + "'", "");
  std::erase_if(lines, [](const std::string& line) {
    return !line.starts_with("EPH ") && !line.starts_with("GEPH ") && !line.starts_with("SEPH ");
  });
  return lines;
}

// The fields of a dumpnav line as `version` carries them: -0 as 0; in 2.11
// not the semi-major axis, which the reader squares from its root; below
// 3.05 the GLONASS status flags, accuracy index and extended health of the
// fourth orbit line, which those versions do not have, as their readers set
// them.
std::vector<std::string> as_carried(const std::string& line, int version) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field == "-0" ? "0" : field);
  constexpr std::size_t kSemiMajorAxis = 25, kHealth = 10, kFlags = 11, kAccuracy = 12;
  if (version == 211 && fields[0] == "EPH" && fields.size() > kSemiMajorAxis) fields[kSemiMajorAxis] = "-";
  if (version < 305 && fields[0] == "GEPH" && fields.size() > kAccuracy) {
    fields[kHealth] = std::to_string(std::stoi(fields[kHealth]) & 1);
    fields[kFlags] = fields[kAccuracy] = "0";
  }
  return fields;
}

// Two fields equal in `version`: alike, or in 2.11 numbers within a unit of
// their twelfth significant digit (D19.12 rounds a value once; the reader
// may scale it and round again).
bool same_field(const std::string& a, const std::string& b, int version) {
  if (a == b) return true;
  char *endA = nullptr, *endB = nullptr;
  const double x = std::strtod(a.c_str(), &endA);
  const double y = std::strtod(b.c_str(), &endB);
  return version == 211 && *endA == '\0' && *endB == '\0' && endA != a.c_str() && endB != b.c_str() &&
         std::fabs(x - y) <= 1e-11 * std::max(std::fabs(x), std::fabs(y));
}

// The ephemerides of `read` equal `expected` as `version` carries them.
void expect_same_ephemerides(const std::vector<std::string>& read, const std::vector<std::string>& expected, int version) {
  ASSERT_EQ(read.size(), expected.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    const std::vector<std::string> a = as_carried(read[i], version), b = as_carried(expected[i], version);
    const bool same = a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](const auto& x, const auto& y) {
                        return same_field(x, y, version);
                      });
    ASSERT_TRUE(same) << "ephemeris " << i + 1 << "\n written: " << read[i] << "\nexpected: " << expected[i];
  }
}

// `text` with the message types of its 4.x record lines padded to their
// four columns ("> EPH C05 D2  "): dumpnav passes over a record whose line
// some real files write shorter.
std::string padded(const std::string& text) {
  constexpr std::size_t kRecordLine = 14;
  std::string out;
  for (std::string line : test::lines_of(text)) {
    const bool crlf = line.ends_with('\r');
    if (crlf) line.pop_back();
    if (line.starts_with("> ") && line.size() < kRecordLine) line.resize(kRecordLine, ' ');
    out.append(line).append(crlf ? "\r\n" : "\n");
  }
  return out;
}

// `lines` less one line equal to each of `out` (-0 and 0 alike).
void left_out(std::vector<std::string>& lines, const std::vector<std::string>& out) {
  const auto key = [](const std::string& line) {
    std::string joined;
    for (const std::string& field : as_carried(line, 400)) joined.append(field).append(" ");
    return joined;
  };
  std::unordered_map<std::string, int> count;
  for (const std::string& line : out) ++count[key(line)];
  std::erase_if(lines, [&](const std::string& line) {
    const auto it = count.find(key(line));
    return it != count.end() && it->second-- > 0;
  });
  for (const auto& [line, left] : count) EXPECT_LE(left, 0) << "not read from the original: " << line;
}

TEST(RinexChain, DumpnavReadsFromEveryVersionWrittenTheEphemeridesOfTheOriginal) {
  if (!has_client()) {
    GTEST_SKIP() << "the RINEX 4 client (dumpnav) could not be built: the files were NOT read by it";
  }
  test::ScratchDir dir;
  std::size_t compared = 0;
  for (const std::string& name : test::rinex_corpus_files()) {
    SCOPED_TRACE(name);
    const test::RinexFile original = test::read_rinex(test::rinex_corpus() + name);
    // dumpnav takes gzip files through a program of the system: it gets the text.
    test::write_file(dir.path() / "original.rnx", padded(test::read_decompressed(test::rinex_corpus() + name)));
    const std::vector<std::string> reference = ephemerides(dir, dir.file("original.rnx"));
    struct Output { int version; System system; };
    std::vector<Output> outputs = {{304, System::GPS}, {305, System::GPS}, {400, System::GPS}};
    for (System system : {System::GPS, System::GLONASS}) {
      if (std::any_of(original.records.begin(), original.records.end(),
                      [&](const Record& r) { return r.satellite.system == system; })) {
        outputs.push_back({211, system});
      }
    }
    for (const Output& output : outputs) {
      SCOPED_TRACE(std::to_string(output.version) + " " + std::string(system_name(output.system)));
      test::write_rinex(original, dir.file("written.rnx"), output.version, output.system);
      // What the version has no form for is left out of the reference: the
      // ephemerides dumpnav reads from a 4.00 file of those records alone.
      test::RinexFile unwritten{original.header, {}};
      const NavigationWriter form(0, output.version, output.system);
      std::copy_if(original.records.begin(), original.records.end(), std::back_inserter(unwritten.records),
                   [&](const Record& r) { return !form.holds(r); });
      std::vector<std::string> expected = reference;
      if (!unwritten.records.empty()) {
        test::write_rinex(unwritten, dir.file("unwritten.rnx"), 400, output.system);
        left_out(expected, ephemerides(dir, dir.file("unwritten.rnx")));
      }
      expect_same_ephemerides(ephemerides(dir, dir.file("written.rnx")), expected, output.version);
      compared += expected.size();
    }
  }
  EXPECT_GT(compared, 100000u);
}


// The station day's navigation file through 2.11, 3.04, 4.00 and 2.11 again,
// each step written by the room from the file of the step before read back,
// as a direct run writes it: in 4.00 the header's ionosphere and time
// corrections as ION and STO records, which the next step takes back into
// its header. The names of the steps' files, in `dir`.
std::vector<std::string> version_chain(const test::ScratchDir& dir) {
  const std::vector<std::pair<int, const char*>> steps = {{211, "v211.05n"}, {304, "v304.rnx"}, {400, "v400.rnx"}, {211, "end211.05n"}};
  test::RinexFile file = test::read_rinex((test::data_dir() / "igs" / "30400920.05n").string());
  std::vector<std::string> names;
  for (const auto& [version, name] : steps) {
    if (version >= 400) {
      std::vector<Record> records = correction_records(file.header, gps_time(file.records.front()));
      records.insert(records.end(), file.records.begin(), file.records.end());
      file.records = records;
    }
    test::write_rinex(file, dir.file(name), version, System::GPS);
    file = test::read_rinex(dir.file(name));
    std::erase_if(file.records, [&](const Record& r) { return take_correction_record(r, file.header); });
    names.push_back(name);
  }
  return names;
}

// The single-point positions `program` computes from the station's hour of
// observations with the navigation file `nav` and its broadcast ionosphere,
// without the lines of the header.
std::vector<std::string> positions(const test::ScratchDir& dir, const std::string& program, const std::string& nav) {
  test::write_file(dir.path() / "ionosphere.conf", "pos1-ionoopt =brdc\npos1-tropopt =saas\n");
  return printed(dir, program + " -k ionosphere.conf -p 0 -o pos.txt 30400920.05o " + nav + " && cat pos.txt", "%");
}

TEST(RinexChain, PositionsWithAChainOfVersionsEqualThoseWithTheOriginal) {
  if (!has_rnx2rtkp()) {
    GTEST_SKIP() << "rnx2rtkp (Debian package rtklib) is not installed: the 2.11 and 3.04 files were NOT used";
  }
  test::ScratchDir dir;
  for (const char* name : {"30400920.05o", "30400920.05n"}) fs::copy_file(test::data_dir() / "igs" / name, dir.path() / name);
  const std::vector<std::string> original = positions(dir, "rnx2rtkp", "30400920.05n");
  ASSERT_EQ(original.size(), 115u);  // one hour at 30 s, a few epochs without a solution
  EXPECT_TRUE(original.front().starts_with("2005/04/02 00:00:00.000   35.132062904  139.624297378    75.7041")) << original.front();
  for (const std::string& name : version_chain(dir)) {
    if (!name.starts_with("v400")) {
      EXPECT_EQ(positions(dir, "rnx2rtkp", name), original) << name;
    }
  }
  if (!has_client()) {
    GTEST_SKIP() << "the RINEX 4 client (mrtkpost) could not be built: the 4.00 file was NOT used";
  }
  const std::string mrtkpost = "'" + (kClient / "mrtkpost").string() + "' -sys G";
  const std::vector<std::string> original4 = positions(dir, mrtkpost, "30400920.05n");
  ASSERT_EQ(original4.size(), 120u);
  EXPECT_EQ(positions(dir, mrtkpost, "v400.rnx"), original4);
}

}  // namespace

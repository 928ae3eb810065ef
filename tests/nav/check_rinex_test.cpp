// --check of RINEX navigation files: repeats and conflicts per satellite and
// message type, the counts of corpus files against their manifest, the
// picture grouped by system, and the records a selection keeps.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "nav/nav.h"
#include "platform/platform.h"
#include "support/support.h"

using namespace kavril;
using rinex::Record;

namespace {

Record gps_record(int sat, const char* type, int hour) {
  Record r;
  r.satellite = {rinex::System::GPS, sat};
  r.message = rinex::message_of_text(type);
  r.messageText.assign(type);
  r.epoch = {2023, 3, 14, hour, 0, 0.0};
  r.lines = 8;
  for (int slot = 0; slot < rinex::slot_of(7, 2); ++slot) r.set(slot, slot);
  r.set(rinex::slot_of(6, 1), 0.0);  // healthy
  return r;
}

}  // namespace

TEST(CheckRinex, ConflictsApartFromDuplicatesPerSatelliteAndType) {
  Record sent = gps_record(5, "LNAV", 2), again = sent, other = sent, earlier = gps_record(5, "LNAV", 0),
         unhealthy = gps_record(5, "LNAV", 4), sto = gps_record(5, "LNAV", 2);
  again.set(rinex::slot_of(7, 0), 1e6);  // transmitted later: a duplicate
  other.set(0, 1e-4);                    // another clock: a conflict, then a duplicate of it
  unhealthy.set(rinex::slot_of(6, 1), 1.0);
  sto.kind = rinex::RecordKind::TimeOffset;
  nav::FileCheck check;
  check.rinexFile = true;
  check.version = 400;
  for (const Record& r : {sent, again, other, other, earlier, unhealthy, gps_record(5, "CNAV", 2), sto})
    check.add(r, rinex::gps_time(r));
  check.finish();
  ASSERT_EQ(check.rows.size(), 2u);
  const nav::SatelliteCheck& lnav = check.rows.begin()->second;
  EXPECT_EQ(check.rows.begin()->first.type.view(), "LNAV");
  EXPECT_EQ(std::tuple(lnav.epochs.size(), lnav.duplicates, lnav.conflicts, lnav.outOfOrder, lnav.unhealthy.size()),
            std::tuple(6u, 2L, 1L, 1L, 1u));
  EXPECT_EQ(check.otherRecords[0], 1);
  EXPECT_EQ(nav::strict_findings(check), "2 duplicates, 1 record out of order, 1 unhealthy message");
  EXPECT_NE(nav::check_table(check).find(" ALL            7  2023-03-14 00:00:00  2023-03-14 04:00:00      2:00:00"
                                         "          1           2          1             1\n"),
            std::string::npos)
      << nav::check_table(check);
}

// Messages per system (and per type and kind in 4.x) as the manifest's two
// independent readers counted them; the picture's bands in the order G R E
// C J I S, each over the satellites of its system.
TEST(CheckRinex, CountsOfTheCorpusManifestAndThePictureGrouped) {
  const std::string manifest = test::read_file(test::data_dir() / "rinex-nav/MANIFEST.tsv");
  for (const std::string name : {"BRD400DLR_S_20230710000_01D_MN.rnx.gz", "ESBC00DNK_R_20201770000_01D_MN.rnx.gz",
                                 "VILL00ESP_R_20181700000_01D_MN.rnx.gz"}) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    const std::string path = (test::data_dir() / "rinex-nav" / name).string();
    ASSERT_EQ(test::run_kavril(dir.path(), "--check --json --plot p.svg " + path, dir.path() / "out", dir.path() / "err"), 0);
    const nlohmann::json file = nlohmann::json::parse(test::read_file(dir.path() / "out"))["files"][0];
    std::map<std::string, long> counted, expected;
    std::string labels, expectedLabels;  // of the picture's rows: system names and satellites
    for (const auto& s : file["systems"]) counted[s["system"]] = s["messages"];
    for (const auto& s : file["satellites"]) {
      const std::string system = s["system"], sat = s["satellite"];
      counted["EPH:" + system + ":" + s["type"].get<std::string>()] += s["messages"].get<long>();
      rinex::System named = rinex::System::GPS;
      rinex::system_of_letter(system[0], named);
      if (expectedLabels.find(rinex::system_name(named)) == std::string::npos)
        expectedLabels += std::string(rinex::system_name(named)) + " ";
      if (expectedLabels.find(" " + sat + " ") == std::string::npos) expectedLabels += sat + " ";
    }
    for (const auto& [kind, n] : file["other_records"].items()) counted[kind] = n;
    // The file's line: "G=257 R=510 ..." and in 4.x "EPH:G:LNAV=428 ... STO:C:CNVX=96 ...".
    std::istringstream line(manifest.substr(manifest.find("\n" + name + "\t") + 1));
    std::string word;
    for (int column = 0; column <= 5 && std::getline(line, word, '\t'); ++column) {
      std::istringstream counts(column == 3 || column == 5 ? word : "");
      for (std::string item; counts >> item;) {
        const std::string key = item.substr(0, item.find('=')), kind = key.substr(0, 3);
        expected[column == 5 && kind != "EPH" ? kind : key] += std::stol(item.substr(item.find('=') + 1));
      }
    }
    for (const auto& [key, n] : expected) EXPECT_EQ(counted[key], n) << key;
    if (file["version"] == "4.00") {
      EXPECT_EQ(file["totals"]["conflicts"], 363);  // the manifest's repeated keys
    }
    const std::string svg = test::read_file(dir.path() / "p.svg");
    EXPECT_EQ(test::run_command("xmllint --noout " + dir.file("p.svg")), 0);
    for (std::size_t end = svg.find("</text>"); end != std::string::npos; end = svg.find("</text>", end + 1)) {
      const std::string text = svg.substr(svg.rfind('>', end) + 1, end - svg.rfind('>', end) - 1);
      const bool satellite = std::isupper(static_cast<unsigned char>(text[0])) != 0 &&
                             text.find_first_not_of("0123456789", 1) == std::string::npos;
      if (satellite || text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") == std::string::npos)
        labels += text + " ";
    }
    EXPECT_EQ(labels, expectedLabels);
  }
}

TEST(CheckRinex, OnlyTheRecordsTheSelectionKeeps) {
  rinex::RecordSelection selection;
  selection.systems = rinex::SystemSet();
  selection.systems.add(rinex::System::Galileo);
  selection.hasFrom = selection.hasTo = true;
  ASSERT_TRUE(nav::parse_iso_time("2020-06-25T06:00", selection.from) && nav::parse_iso_time("2020-06-25T12:00", selection.to));
  selection.excluded.add({rinex::System::Galileo, 1});
  constexpr int kIn = 77;
  ASSERT_EQ(platform::open_unit(kIn, (test::data_dir() / "rinex-nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz").string(),
                                platform::OpenStatus::Old, true, true), 0);
  rinex::NavigationReader reader(kIn);
  rinex::Header header;
  nav::FileCheck check;
  ASSERT_TRUE(reader.read_header(header) && nav::check_records(reader, check, selection));
  platform::close_unit(kIn);
  ASSERT_FALSE(check.rows.empty());
  for (const auto& [key, s] : check.rows) {
    EXPECT_EQ(rinex::satellite_text(key.satellite).substr(0, 1), "E");
    EXPECT_NE(key.satellite.number, 1);
    for (const double epoch : s.epochs) EXPECT_TRUE(epoch >= selection.from && epoch < selection.to);
  }
}

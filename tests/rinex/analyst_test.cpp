// What direct runs do with RINEX records: GPS time across leap seconds and
// system times, selection and its option texts, --unique over a real file
// of every kind, what a version cannot hold, the version kept, names and
// merged headers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/rinex.h"
#include "support/support.h"

using namespace kavril;
using namespace kavril::rinex;

namespace {

Record record_at(System system, int number, Epoch epoch) {
  Record r;
  r.satellite = {system, number};
  r.epoch = epoch;
  return r;
}

double iso(const char* text) {
  double epoch = 0.0;
  EXPECT_TRUE(nav::parse_iso_time(text, epoch)) << text;
  return epoch;
}

std::vector<Record> corpus_records(const std::string& name, Header& header) {
  constexpr int kIn = 78;
  const std::string path = name.front() == '/' ? name : std::string(KAVRIL_TEST_DATA) + "/rinex-nav/" + name;
  EXPECT_EQ(platform::open_unit(kIn, path, platform::OpenStatus::Old, true, true), 0);
  NavigationReader reader(kIn);
  EXPECT_TRUE(reader.read_header(header));
  std::vector<Record> records(1);
  while (reader.next(records.back()) == NavigationReader::Next::Record) records.emplace_back();
  records.pop_back();
  platform::close_unit(kIn);
  return records;
}

}  // namespace

TEST(RinexAnalyst, EpochsInGpsTimeAndTheWindowAcrossSystemTimes) {
  struct Case { System system; Epoch epoch; const char* gps; };
  const Case cases[] = {
      {System::GPS, {2017, 1, 1, 0, 0, 0.0}, "2017-01-01T00:00:00"},
      {System::Galileo, {2017, 1, 1, 0, 0, 0.0}, "2017-01-01T00:00:00"},
      {System::BeiDou, {2017, 1, 1, 0, 0, 0.0}, "2017-01-01T00:00:14"},
      {System::GLONASS, {2016, 12, 31, 23, 59, 59.0}, "2017-01-01T00:00:16"},  // 17 s before the leap
      {System::GLONASS, {2017, 1, 1, 0, 0, 0.0}, "2017-01-01T00:00:18"},
      {System::GLONASS, {1980, 1, 6, 0, 0, 0.0}, "1980-01-06T00:00:00"},
      {System::GLONASS, {2006, 1, 1, 0, 0, 0.0}, "2006-01-01T00:00:14"},
  };
  RecordSelection window;
  window.hasFrom = window.hasTo = true;
  window.from = iso("2017-01-01T00:00:14");
  window.to = iso("2017-01-01T00:00:18");
  for (const Case& c : cases) {
    const Record r = record_at(c.system, 1, c.epoch);
    EXPECT_EQ(gps_time(r), iso(c.gps)) << c.gps;
    EXPECT_EQ(window.keeps(r, gps_time(r)), gps_time(r) >= window.from && gps_time(r) < window.to);
  }
  EXPECT_TRUE(window.keeps(record_at(System::BeiDou, 1, {2017, 1, 1, 0, 0, 0.0}), iso("2017-01-01T00:00:14")));
}

TEST(RinexAnalyst, SatellitesAndSystemsSelectedByTheirTexts) {
  struct Case { const char* sat; const char* sys; const char* exclude; std::vector<const char*> kept, left; };
  const Case cases[] = {
      {"R12,E01-E36,S120", "", "", {"R12", "E01", "E36", "S120"}, {"R11", "E37", "S121", "G12", "C01"}},
      {"5,G07-9,e02", "", "", {"G05", "G07", "G09", "E02"}, {"G06", "R05"}},
      {"S22,S26-S27", "", "", {"S122", "S126", "S127"}, {"S123", "S120"}},
      {"", "G,R,E", "R", {"G01", "E30"}, {"R01", "C01", "S120"}},
      {"", "", "C,J", {"G01", "I01", "S158"}, {"C10", "J01"}},
  };
  for (const Case& c : cases) {
    RecordSelection s;
    std::string error;
    if (*c.sys) s.systems = SystemSet();
    SystemSet excluded;
    ASSERT_TRUE(!*c.sat || parse_satellites(c.sat, s.chosen, error)) << error;
    ASSERT_TRUE(!*c.sys || parse_systems(c.sys, s.systems, error)) << error;
    ASSERT_TRUE(!*c.exclude || parse_systems(c.exclude, excluded, error)) << error;
    s.systems = s.systems.without(excluded);
    for (const auto& [names, kept] : {std::pair{c.kept, true}, std::pair{c.left, false}}) {
      for (const char* name : names) {
        Satellite sat;
        ASSERT_TRUE(system_of_letter(name[0], sat.system));
        sat.number = std::stoi(name + 1);
        EXPECT_EQ(s.keeps(record_at(sat.system, sat.number, {}), 0.0), kept) << c.sat << c.sys << " " << name;
      }
    }
  }
  for (const char* bad : {"", "R", "X01", "G100", "S119", "S159", "S19", "S59", "E05-E01", "G01-R05", "G01,,G02", "C1234"}) {
    SatelliteChoice choice;
    std::string error;
    EXPECT_FALSE(parse_satellites(bad, choice, error)) << bad;
    EXPECT_NE(error.find("satellite must be"), std::string::npos) << error;
  }
  for (const char* bad : {"", "G,", "X", "GR", "G,M"}) {
    SystemSet systems;
    std::string error;
    EXPECT_FALSE(parse_systems(bad, systems, error)) << bad;
    EXPECT_NE(error.find("system must be"), std::string::npos) << error;
  }
  const Record c = record_at(System::BeiDou, 3, {2017, 1, 1, 0, 0, 0.0});
  const Record r = record_at(System::GLONASS, 9, {2017, 1, 1, 0, 0, 0.0});
  EXPECT_LT(sort_key(r, 5.0), sort_key(c, 5.0));  // R before C at one epoch
  EXPECT_LT(sort_key(c, 4.0), sort_key(r, 5.0));
}

// Every record of a 4.x file of every kind and a 3.x file with GLONASS and
// SBAS: a second copy is a repeat, with another transmission time too; one
// value changed makes a conflict, repeated again a repeat.
TEST(RinexAnalyst, UniqueDropsRepeatsAndKeepsConflicts) {
  for (const char* name : {"BRD400DLR_S_20230710000_01D_MN.rnx.gz", "VILL00ESP_R_20181700000_01D_MN.rnx.gz"}) {
    Header header;
    const std::vector<Record> records = corpus_records(name, header);
    ASSERT_FALSE(records.empty());
    RepeatFilter filter;
    long conflicts = 0;
    for (const Record& r : records) conflicts += filter.take(r) == RepeatFilter::Verdict::Conflict;
    EXPECT_EQ(filter.conflicts(), conflicts);
    const long repeatsInFile = filter.repeats();
    for (Record r : records) {
      SCOPED_TRACE(std::string(kind_word(r.kind)) + " " + satellite_text(r.satellite) + " " +
                   std::string(r.messageText.view()));
      const int sent = transmission_slot(r);
      if (sent >= 0 && r.has(sent)) r.set(sent, r.value(sent) + 6.0);
      EXPECT_EQ(filter.take(r), RepeatFilter::Verdict::Repeat);
      const int changed = sent == 0 ? 1 : 0;
      r.set(changed, r.value(changed) + 1.0);
      const RepeatFilter::Verdict first = filter.take(r);
      EXPECT_NE(first, RepeatFilter::Verdict::New);
      EXPECT_EQ(filter.take(r), RepeatFilter::Verdict::Repeat);
    }
    EXPECT_EQ(filter.repeats(), repeatsInFile + 3 * static_cast<long>(records.size()) -
                                    (filter.conflicts() - conflicts));
    EXPECT_GT(filter.conflicts() - conflicts, static_cast<long>(records.size()) * 9 / 10);
  }
}

TEST(RinexAnalyst, WhatAVersionCannotHoldInOneWarning) {
  Header header;
  const std::vector<Record> records = corpus_records("BRD400DLR_S_20230710000_01D_MN.rnx.gz", header);
  NavigationWriter writer(-1, 304);
  Unwritten unwritten;
  long noForm = 0;
  for (const Record& r : records) {
    if (!writer.holds(r)) unwritten.add(r), ++noForm;
  }
  long counted = 0;
  for (const Unwritten::Kind& k : unwritten.kinds()) counted += k.count;
  EXPECT_EQ(counted, noForm);
  EXPECT_EQ(unwritten.total(), noForm);
  const std::string warning = unwritten.warning("day.rnx", 304);
  EXPECT_EQ(warning.rfind("kavril: warning: day.rnx: " + grouped_number(noForm) + " messages (", 0), 0U) << warning;
  EXPECT_NE(warning.find("BeiDou CNV1, "), std::string::npos) << warning;
  EXPECT_NE(warning.find(", STO, EOP, ION) have no RINEX 3.04 form, not written"), std::string::npos) << warning;
  EXPECT_EQ(Unwritten().warning("day.rnx", 304), "");
  for (const auto& [n, text] : {std::pair{0L, "0"}, {999L, "999"}, {1204L, "1,204"}, {1234567L, "1,234,567"}}) {
    EXPECT_EQ(grouped_number(n), text);
  }
}

TEST(RinexAnalyst, VersionKeptNamesAndMergedHeader) {
  struct Case { std::vector<std::pair<int, System>> inputs; int version; System system; const char* code; };
  const Case cases[] = {
      {{{211, System::GPS}, {210, System::GPS}}, 211, System::GPS, "GN"},
      {{{201, System::GLONASS}}, 211, System::GLONASS, "RN"},
      {{{211, System::GPS}, {211, System::GLONASS}}, 304, System::GLONASS, "MN"},
      {{{212, System::QZSS}}, 304, System::QZSS, "JN"},
      {{{303, System::GPS}, {305, System::GPS}}, 305, System::GPS, "GN"},
      {{{302, System::Galileo}, {211, System::GPS}}, 304, System::GPS, "MN"},
      {{{304, System::GPS}, {401, System::GPS}}, 400, System::GPS, "GN"},
  };
  for (const Case& c : cases) {
    VersionFamily family;
    SystemSet systems;
    HeaderMerge merge;
    double start = 0.0;
    for (const auto& [version, system] : c.inputs) {
      Header h;
      h.version = version;
      h.fileSystem = system;
      h.systemLetter = version < 300 ? ' ' : letter_of(system);
      h.comments = {"SAME", std::to_string(version) + letter_of(system)};
      TimeCorrection gput;
      gput.type.assign("GPUT");
      gput.a0 = version;
      h.timeCorrections.push_back(gput);
      family.add(h);
      systems.add(system);
      merge.add(h, start += 3600.0);
    }
    EXPECT_EQ(family.version(), c.version);
    if (c.version == 211) {
      EXPECT_EQ(family.system(), c.system);
    }
    EXPECT_EQ(content_code(systems), c.code);
    const Header out = merge.merged(7200.0, family.version());
    ASSERT_EQ(out.timeCorrections.size(), 1U);
    EXPECT_EQ(out.timeCorrections[0].a0, c.inputs[c.inputs.size() > 1 ? 1 : 0].first);  // the input begun at 7200
    const std::size_t files = c.inputs.size();
    EXPECT_EQ(out.comments.size(), files + 1 + (files > 1 && c.version < 400));
    EXPECT_EQ(out.mergedFiles, files > 1 && c.version >= 400 ? 2 : 0);
    EXPECT_EQ(out.systemLetter, std::string(c.code) == "MN" ? 'M' : letter_of(c.system));
  }
  SystemSet galileo;
  galileo.add(System::Galileo);
  const double day = iso("2024-07-27T00:00:00");
  EXPECT_EQ(long_name("BRDC00WRD", 'R', day, day + 86370.0, galileo), "BRDC00WRD_R_20242090000_01D_EN.rnx");
  EXPECT_EQ(long_name("BRDC00WRD", 'R', day, day, SystemSet::all()), "BRDC00WRD_R_20242090000_01H_MN.rnx");
  EXPECT_EQ(short_name("brdc", day, System::GLONASS), "brdc2090.24g");
  EXPECT_EQ(short_name("brdc", day, System::GPS), "brdc2090.24n");
}

// The corrections of 2.x and 3.x headers written as 4.00 ION and STO
// records, read back and made header corrections again, are those read.
TEST(RinexAnalyst, HeaderCorrectionsThroughTheRecordsOf400) {
  for (const char* name : {"ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "brdc1820.10n", "Example_Mixed_Rinex305.n"}) {
    SCOPED_TRACE(name);
    Header original;
    const std::vector<Record> records = corpus_records(name, original);
    const test::ScratchDir dir;  // of the process's own: other builds run the same tests
    const std::string path = dir.file("corrections.rnx");
    ASSERT_EQ(platform::open_unit(79, path, platform::OpenStatus::Unknown, true, false), 0);
    NavigationWriter writer(79, 400);
    ASSERT_EQ(writer.write_header(Header(), "KAVRIL", "TEST", "20261208 120000 UTC"), 0);
    const double start = gps_time(records.front());
    for (const Record& r : correction_records(original, start)) EXPECT_EQ(writer.write(r), NavigationWriter::Result::Written);
    ASSERT_EQ(platform::close_unit(79), 0);
    Header back;
    for (const Record& r : corpus_records(path, back)) EXPECT_TRUE(take_correction_record(r, back));
    ASSERT_EQ(back.ionosphere.size(), original.ionosphere.size());
    for (const IonosphereCorrection& a : original.ionosphere) {
      const auto b = std::find_if(back.ionosphere.begin(), back.ionosphere.end(),
                                  [&](const IonosphereCorrection& c) { return c.type.view() == a.type.view(); });
      ASSERT_NE(b, back.ionosphere.end()) << a.type.view();
      EXPECT_EQ(b->values, a.values);
    }
    ASSERT_EQ(back.timeCorrections.size(), original.timeCorrections.size());
    for (std::size_t i = 0; i < back.timeCorrections.size(); ++i) {
      const TimeCorrection &a = original.timeCorrections[i], &b = back.timeCorrections[i];
      EXPECT_EQ(b.type.view(), a.type.view());
      EXPECT_EQ(std::make_tuple(b.a0, b.a1, b.utcId, b.source.view()), std::make_tuple(a.a0, a.a1, a.utcId, a.source.view()));
      // A week written modulo 1024 (brdc1820.10n: 566) comes back whole.
      if (a.referenceWeek > 0) {
        EXPECT_EQ(std::make_pair(b.referenceSeconds, b.referenceWeek % 1024),
                  std::make_pair(a.referenceSeconds, a.referenceWeek % 1024));
        EXPECT_LT(std::abs(b.referenceWeek - gps_time(records.front()) / 604800.0), 512.0);
      }
    }
  }
}

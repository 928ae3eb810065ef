#include "support/rinex_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/platform.h"

namespace kavril::test {

namespace {
// Units of their own: the tests of the room open theirs from 77 on.
constexpr int kIn = 89;
constexpr int kOut = 90;
}  // namespace

RinexFile read_rinex(const std::string& path) {
  RinexFile file;
  EXPECT_EQ(platform::open_unit(kIn, path, platform::OpenStatus::Old, true, true), 0) << path;
  rinex::NavigationReader reader(kIn);
  EXPECT_TRUE(reader.read_header(file.header)) << path << ": " << reader.damage().reason;
  rinex::Record record;
  rinex::NavigationReader::Next next;
  while ((next = reader.next(record)) == rinex::NavigationReader::Next::Record) file.records.push_back(record);
  EXPECT_EQ(next, rinex::NavigationReader::Next::End) << path << ":" << reader.damage().line << ": " << reader.damage().reason;
  platform::close_unit(kIn);
  return file;
}

void write_rinex(const RinexFile& file, const std::string& path, int version, rinex::System system,
                 std::vector<rinex::Record>* held) {
  ASSERT_EQ(platform::open_unit(kOut, path, platform::OpenStatus::Unknown, true, false), 0) << path;
  rinex::NavigationWriter writer(kOut, version, system);
  EXPECT_EQ(writer.write_header(file.header, "KAVRIL", "TEST", "20261208 120000 UTC"), 0);
  if (held != nullptr) held->clear();
  for (const rinex::Record& r : file.records) {
    const rinex::NavigationWriter::Result result = writer.write(r);
    EXPECT_NE(result, rinex::NavigationWriter::Result::Failed);
    if (result == rinex::NavigationWriter::Result::Written && held != nullptr) held->push_back(r);
  }
  EXPECT_EQ(platform::close_unit(kOut), 0) << path;
}

std::string rinex_corpus() { return std::string(KAVRIL_TEST_DATA) + "/rinex-nav/"; }

std::vector<std::string> rinex_corpus_files() {
  std::ifstream manifest(rinex_corpus() + "MANIFEST.tsv");
  std::vector<std::string> files;
  std::string line;
  std::getline(manifest, line);
  while (std::getline(manifest, line)) files.push_back(line.substr(0, line.find('\t')));
  return files;
}

}  // namespace kavril::test

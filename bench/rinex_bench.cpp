// Cost of RINEX navigation files record by record: reading whole files (the
// largest mixed 3.x file of the corpus, 4,871 records, gzip; a merged 4.00
// daily file, 20,110 ephemerides and STO, EOP, ION records, gzip), and what
// 4.00 costs over 3.04 in and out: the mixed file and a file of 100 copies of
// its records, each in 3.04 read and written as 3.04 and in 4.00 read and
// written as 4.00 (to /dev/null), and the 4.00 daily file written as 3.04
// and as 4.00 (the records 3.04 holds, in both), read. The files of each version are written by the room
// itself, once, in a temporary folder removed at the end. Last, the cost of
// deciding the records of the 4.00 file for one output: a plain conversion,
// a window, --sort, --unique.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/rinex.h"

namespace {

using namespace kavril;
namespace fs = std::filesystem;

constexpr int kIn = 52;
constexpr int kOut = 53;
constexpr const char* kMixed = "ESBC00DNK_R_20201770000_01D_MN.rnx.gz";
constexpr const char* kDaily400 = "BRD400DLR_S_20230710000_01D_MN.rnx.gz";

// Reads `path` record by record, each record given to `take`; the records read.
template <typename Take>
long read_file(const std::string& path, rinex::Header& header, Take take) {
  if (platform::open_unit(kIn, path, platform::OpenStatus::Old, true, true) != 0) return -1;
  rinex::NavigationReader reader(kIn);
  long records = 0;
  if (reader.read_header(header)) {
    rinex::Record record;
    while (reader.next(record) == rinex::NavigationReader::Next::Record) {
      take(record);
      ++records;
    }
  }
  platform::close_unit(kIn);
  return records;
}

// The temporary folder of the prepared files, removed at the end.
struct Folder {
  fs::path path;
  Folder() {
    char name[] = "/tmp/kavril-rinex-bench-XXXXXX";
    if (::mkdtemp(name) != nullptr) path = name;
  }
  ~Folder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
};

// The corpus file `name` written by the room in `version`, its records
// `copies` times over under its header (with `as304`, only the records 3.04
// holds, so that files of both versions hold the same); made at the first
// call.
std::string prepared(const char* name, int version, int copies, bool as304 = false) {
  static Folder folder;
  static std::map<std::string, std::string> made;
  const std::string key = std::string(name) + "." + std::to_string(version) + "x" + std::to_string(copies) + (as304 ? "as304" : "");
  if (const auto it = made.find(key); it != made.end()) return it->second;
  rinex::Header header;
  std::vector<rinex::Record> records;
  const rinex::NavigationWriter form(kOut, 304);
  read_file(std::string(KAVRIL_BENCH_RINEX_NAV) + "/" + name, header, [&](const rinex::Record& r) {
    if (!as304 || form.holds(r)) records.push_back(r);
  });
  const std::string path = (folder.path / key).string();
  if (platform::open_unit(kOut, path, platform::OpenStatus::Unknown, true, false) != 0) return {};
  rinex::NavigationWriter writer(kOut, version, header.fileSystem);
  writer.write_header(header, "kavril_bench", "", "");
  for (int copy = 0; copy < copies; ++copy) {
    for (const rinex::Record& r : records) writer.write(r);
  }
  if (platform::close_unit(kOut) != 0) return {};
  return made[key] = path;
}

// The file `name` of `version` (`copies` times its records) read and written
// again in `version`, to /dev/null.
void BM_ReadAndWriteRinex(benchmark::State& state, const char* name, int version, int copies) {
  const std::string path = prepared(name, version, copies);
  long records = 0;
  rinex::Header header;
  for (auto _ : state) {
    if (path.empty() || platform::open_unit(kOut, "/dev/null", platform::OpenStatus::Unknown, true, false) != 0) {
      state.SkipWithError("cannot prepare the files");
      return;
    }
    rinex::NavigationWriter writer(kOut, version);
    long read = read_file(path, header, [&](const rinex::Record& r) { writer.write(r); });
    platform::close_unit(kOut);
    if (read <= 0) {
      state.SkipWithError("nothing read");
      return;
    }
    records += read;
  }
  state.SetItemsProcessed(records);
}
BENCHMARK_CAPTURE(BM_ReadAndWriteRinex, mixed_304, kMixed, 304, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndWriteRinex, mixed_400, kMixed, 400, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndWriteRinex, mixed_100_copies_304, kMixed, 304, 100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndWriteRinex, mixed_100_copies_400, kMixed, 400, 100)->Unit(benchmark::kMillisecond);

// Reading whole files: a corpus file as it is (gzip), or `version` written.
void BM_ReadRinexFile(benchmark::State& state, const char* name, int version) {
  const std::string path = version == 0 ? std::string(KAVRIL_BENCH_RINEX_NAV) + "/" + name : prepared(name, version, 1, true);
  long records = 0;
  rinex::Header header;
  for (auto _ : state) {
    const long read = read_file(path, header, [&](const rinex::Record& r) { benchmark::DoNotOptimize(r); });
    if (read <= 0) {
      state.SkipWithError("cannot read the RINEX file");
      return;
    }
    records += read;
  }
  state.SetItemsProcessed(records);
}
BENCHMARK_CAPTURE(BM_ReadRinexFile, mixed_305, kMixed, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRinexFile, merged_400, kDaily400, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRinexFile, merged_400_written_304, kDaily400, 304)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRinexFile, merged_400_written_400, kDaily400, 400)->Unit(benchmark::kMillisecond);

std::vector<rinex::Record> records_of(const char* name) {
  std::vector<rinex::Record> records;
  if (platform::open_unit(kIn, std::string(KAVRIL_BENCH_RINEX_NAV) + "/" + name, platform::OpenStatus::Old, true,
                          true) != 0)
    return records;
  rinex::NavigationReader reader(kIn);
  rinex::Header header;
  rinex::Record record;
  if (reader.read_header(header)) {
    while (reader.next(record) == rinex::NavigationReader::Next::Record) records.push_back(record);
  }
  platform::close_unit(kIn);
  return records;
}

void BM_DecideRecords(benchmark::State& state, const char* options) {
  static const std::vector<rinex::Record> records = records_of("BRD400DLR_S_20230710000_01D_MN.rnx.gz");
  if (records.empty()) {
    state.SkipWithError("cannot read the RINEX file");
    return;
  }
  nav::Request request;
  const std::string given = options;
  request.selection.sort = given.find("sort") != std::string::npos;
  request.selection.unique = given.find("unique") != std::string::npos;
  request.records.hasFrom = request.records.hasTo = given.find("window") != std::string::npos;
  request.records.from = rinex::gps_time(records.front()) + 6 * 3600.0;
  request.records.to = request.records.from + 6 * 3600.0;
  long written = 0;
  for (auto _ : state) {
    nav::RecordDecisions decisions(request);
    nav::InputCounts counts;
    for (const rinex::Record& record : records) decisions.take(record, counts);
    decisions.write_held([&written](const rinex::Record&) { return static_cast<int>(++written < 0); });
  }
  benchmark::DoNotOptimize(written);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(records.size()));
}
BENCHMARK_CAPTURE(BM_DecideRecords, plain, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecideRecords, window, "window")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecideRecords, sort, "sort")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecideRecords, unique, "unique")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecideRecords, sort_unique, "sort unique")->Unit(benchmark::kMillisecond);

}  // namespace

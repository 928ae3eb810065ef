// Cost of reading a whole RINEX navigation file record by record: the
// largest mixed 3.x file of the corpus (4,871 records, gzip) and a merged
// 4.00 daily file (20,110 ephemerides and STO, EOP, ION records, gzip);
// and of deciding the records of that 4.00 file for one output, as a plain
// conversion, with a window, and with --sort --unique.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"
#include "rinex/rinex.h"

namespace {

using namespace kavril;

constexpr int kIn = 52;

void BM_ReadRinexFile(benchmark::State& state, const char* name) {
  const std::string path = std::string(KAVRIL_BENCH_RINEX_NAV) + "/" + name;
  long records = 0;
  rinex::Header header;
  rinex::Record record;
  for (auto _ : state) {
    if (platform::open_unit(kIn, path, platform::OpenStatus::Old, true, true) != 0) {
      state.SkipWithError("cannot open the RINEX file");
      return;
    }
    rinex::NavigationReader reader(kIn);
    if (!reader.read_header(header)) {
      state.SkipWithError("damaged header");
      return;
    }
    while (reader.next(record) == rinex::NavigationReader::Next::Record) ++records;
    benchmark::DoNotOptimize(record);
    platform::close_unit(kIn);
  }
  state.SetItemsProcessed(records);
}
BENCHMARK_CAPTURE(BM_ReadRinexFile, mixed_305, "ESBC00DNK_R_20201770000_01D_MN.rnx.gz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRinexFile, merged_400, "BRD400DLR_S_20230710000_01D_MN.rnx.gz")->Unit(benchmark::kMillisecond);

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

// Cost of reading a whole RINEX navigation file record by record: the
// largest mixed 3.x file of the corpus (4,871 records, gzip) and a merged
// 4.00 daily file (20,110 ephemerides and STO, EOP, ION records, gzip).
#include <benchmark/benchmark.h>

#include <string>

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

}  // namespace

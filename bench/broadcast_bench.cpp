// Cost of the per-message path: reading one broadcast message (satellite
// record and two blocks of 20 numbers) and writing one RINEX record.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/platform.h"
#include "pgm/pgm.h"

namespace {

using namespace kavril;

constexpr int kIn = 50;
constexpr int kOut = 51;

// Reads the IGS-derived broadcast file again and again (421 messages); the
// rewind at its end is spread over all its messages.
void BM_ReadMessage(benchmark::State& state) {
  if (platform::open_unit(kIn, KAVRIL_BENCH_BROADCAST, platform::OpenStatus::Old, true, true) != 0) {
    state.SkipWithError("cannot open the broadcast file");
    return;
  }
  std::string title;
  RDBTIT(kIn, title);
  EphemerisArray eph;
  ClockArray clock;
  for (auto _ : state) {
    int satellite = RDBSAT(kIn);
    if (satellite == 0) {
      platform::rewind_unit(kIn);
      RDBTIT(kIn, title);
      satellite = RDBSAT(kIn);
    }
    RDBBLK(kIn, eph);
    RDBBLK(kIn, clock);
    benchmark::DoNotOptimize(satellite);
    benchmark::DoNotOptimize(eph);
    benchmark::DoNotOptimize(clock);
  }
  platform::close_unit(kIn);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadMessage);

// Writes the first message of the file as a RINEX record to /dev/null.
void BM_WriteRecord(benchmark::State& state) {
  if (platform::open_unit(kIn, KAVRIL_BENCH_BROADCAST, platform::OpenStatus::Old, true, true) != 0 ||
      platform::open_unit(kOut, "/dev/null", platform::OpenStatus::Unknown, true, false) != 0) {
    state.SkipWithError("cannot open the files");
    return;
  }
  std::string title;
  RDBTIT(kIn, title);
  const int satellite = RDBSAT(kIn);
  EphemerisArray eph;
  ClockArray clock;
  RDBBLK(kIn, eph);
  RDBBLK(kIn, clock);
  platform::close_unit(kIn);
  RinexRecordArray rinex;
  V3RXBR(eph, clock, rinex);
  int irCode = 0;
  for (auto _ : state) {
    RXWTNR(kOut, 6, satellite, rinex, irCode);
    benchmark::DoNotOptimize(irCode);
  }
  platform::close_unit(kOut);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteRecord);

}  // namespace

BENCHMARK_MAIN();

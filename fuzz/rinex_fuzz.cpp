// RINEX navigation file: the header, then record by record to the end or to
// the damage, whose line must lie within the lines read; each record taken
// as direct runs take it (GPS time, --unique, what 3.04 cannot hold, header
// corrections from its records and back).
#include <cstdlib>

#include "fuzz_support.h"
#include "rinex/rinex.h"

using namespace kavril;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("rinex");
  constexpr int kUnit = 60;
  const std::string& name = file.hold(data, size);
  if (platform::open_unit(kUnit, name, platform::OpenStatus::Old, true, true) != 0) std::abort();
  rinex::NavigationReader reader(kUnit);
  rinex::Header header;
  rinex::Record record;
  rinex::RepeatFilter repeats;
  rinex::Unwritten unwritten;
  const rinex::NavigationWriter writer(-1, 304);
  if (reader.read_header(header)) {
    rinex::Header corrections;
    while (reader.next(record) == rinex::NavigationReader::Next::Record) {
      if (record.lines < 1 || record.lines > rinex::kMaxRecordLines) std::abort();
      const double time = rinex::gps_time(record);
      (void)rinex::sort_key(record, time);
      (void)rinex::system_epoch(record.satellite.system, time);
      repeats.take(record);
      if (!writer.holds(record)) unwritten.add(record);
      rinex::take_correction_record(record, corrections);
    }
    (void)unwritten.warning("fuzz.rnx", 304);
    (void)rinex::correction_records(header, 0.0);
    (void)rinex::correction_records(corrections, 0.0);
  }
  if (!reader.damage().reason.empty() && reader.damage().line > platform::line_number(kUnit) + 1) std::abort();
  platform::close_unit(kUnit);
  return 0;
}

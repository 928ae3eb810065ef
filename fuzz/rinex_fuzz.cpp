// RINEX navigation file: the header, then record by record to the end or to
// the damage, whose line must lie within the lines read.
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
  if (reader.read_header(header)) {
    while (reader.next(record) == rinex::NavigationReader::Next::Record) {
      if (record.lines < 1 || record.lines > rinex::kMaxRecordLines) std::abort();
    }
  }
  if (!reader.damage().reason.empty() && reader.damage().line > platform::line_number(kUnit) + 1) std::abort();
  platform::close_unit(kUnit);
  return 0;
}

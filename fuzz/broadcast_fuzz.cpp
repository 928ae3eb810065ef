// Broadcast navigation file: the title, then message by message the satellite
// record, the two blocks, the conversion and the RINEX record, written with
// the header onto /dev/null, as the main program does for one input file,
// in versions 1 and 4.00.
#include <string>

#include "fuzz_support.h"
#include "pgm/pgm.h"

using namespace kavril;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("broadcast");
  const std::string& name = file.hold(data, size);
  fuzz::run_input([&] {
    inpKey.runPhase = 2;  // an input file has been read (and held no keywords)
    platform::open_unit(lfnLocal, name, platform::OpenStatus::Old, true, true);
    platform::open_unit(lfnFirst, "/dev/null", platform::OpenStatus::Unknown, true, false);

    std::string title;
    if (!RDBTIT(lfnLocal, title)) return;
    const std::string comment[] = {platform::fit(title, 60)};
    int irCode = 0;
    RXWTNH(lfnFirst, lfnError, "KAVRIL", "AGENCY", "06-DEC-26", "14:05", 1, comment, irCode);
    RXWTNH4(lfnFirst, lfnError, "KAVRIL", "AGENCY", "20261206 140500 UTC", 1, comment, irCode);

    EphemerisArray eph{};
    ClockArray clock{};
    RinexRecordArray rinex{};
    for (int satNum = RDBSAT(lfnLocal); satNum != 0; satNum = RDBSAT(lfnLocal)) {
      RDBBLK(lfnLocal, eph);
      RDBCHK(lfnLocal, eph);
      RDBBLK(lfnLocal, clock);
      RDBTOC(lfnLocal, eph, clock);
      V3RXBR(eph, clock, rinex);
      RXWTNR(lfnFirst, lfnError, satNum, rinex, irCode);
      RXWTNR4(lfnFirst, lfnError, satNum, rinex, irCode);  // the epoch of 3.04, its numbers, the leap seconds
    }
  });
  return 0;
}

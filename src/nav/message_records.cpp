// A broadcast message as the GPS LNAV record a RINEX file gives, and such a
// record back as the record array of the broadcast conversion: the one
// bridge between the two, so that an output fed by RINEX files writes a
// broadcast message as any other GPS record, and version 1 writes GPS
// records of RINEX files with its own writer.
#include <cmath>

#include "nav/nav.h"

namespace kavril::nav {

namespace {

// Positions 2 to 30 of the record array are the values of the record's
// lines in order: clock, six orbit lines, transmission time and fit
// interval (the broadcast message has none: 0, as every version writes it).
constexpr int kValueSlots = 29;
constexpr int kLines = 8;
constexpr std::size_t kWeekOfToe = 22;  // position 23

}  // namespace

void record_of_message(int satNum, const RinexRecordArray& rinex, rinex::Record& record) {
  record.kind = rinex::RecordKind::Ephemeris;
  record.satellite = {rinex::System::GPS, satNum};
  record.message = rinex::Message::LNAV;
  record.messageText.assign("LNAV");
  record.variant.assign({});
  record.text.assign({});
  record.lines = kLines;
  rinex::Epoch& e = record.epoch;
  // Whole seconds by integer arithmetic where the epoch has them, as the
  // writers of 3.04 and 4.00 take it; else the epoch of versions 1 and 2.11.
  int second = 0;
  if (RXEPO3(rinex, e.year, e.month, e.day, e.hour, e.minute, second) == 0) {
    e.second = second;
  } else {
    RXEPOC(rinex, e.year, e.month, e.day, e.hour, e.minute, e.second);
  }
  record.clear_values();
  for (int slot = 0; slot < kValueSlots; ++slot) record.set(slot, rinex[static_cast<std::size_t>(slot) + 1]);
}

bool message_of_record(const rinex::Record& record, int& satNum, RinexRecordArray& rinex) {
  if (record.kind != rinex::RecordKind::Ephemeris || record.satellite.system != rinex::System::GPS ||
      record.message != rinex::Message::LNAV)
    return false;
  satNum = record.satellite.number;
  rinex.fill(0.0);
  for (int slot = 0; slot < kValueSlots; ++slot) {
    if (record.has(slot)) rinex[static_cast<std::size_t>(slot) + 1] = record.value(slot);
  }
  // toc counts from the start of the week of toe, the week the writers
  // take the epoch's week from (RXWEEK).
  rinex[0] = rinex::gps_time(record) - std::round(rinex[kWeekOfToe]) * kSecondsPerWeek;
  return true;
}

}  // namespace kavril::nav

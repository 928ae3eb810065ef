// Navigation files the way analysts use them: a time window and a choice of
// satellites, records of one output sorted and without repeated messages,
// the standard RINEX names, and a check of what a broadcast file holds
// (table, JSON document, SVG picture). Used by direct runs only.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "inpkey/inpkey.h"
#include "pgm/pgm.h"
#include "rinex/rinex.h"

namespace kavril::nav {

inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kSecondsPerHour = 3600.0;
inline constexpr double kSecondsPerWeek = 604800.0;

// --- Times -----------------------------------------------------------------
// An epoch is GPS time in seconds since the start of GPS week 0 (6 January
// 1980); whole seconds are exact, as are the fractions of real records.

// The epoch of a RINEX record: week of its epoch (RXWEEK) and toc.
double record_epoch(const RinexRecordArray& rinex);

// The one line a layout formats, without its line end.
std::string formatted_line(const platform::Layout& layout, std::initializer_list<platform::Arg> args);

// Reads an ISO 8601 date or date and time, "2010-07-01", "2010-07-01T12:00"
// or "2010-07-01T12:00:30" (a blank instead of the T as well), as GPS time.
// False for anything else, an impossible date or time among it.
bool parse_iso_time(std::string_view text, double& epoch);

// The calendar of an epoch; `second` keeps a fraction.
struct Calendar {
  int year = 0, month = 0, day = 0, dayOfYear = 0, hour = 0, minute = 0;
  double second = 0.0;
};
Calendar calendar_of(double epoch);
// "2010-07-01 00:00:00" (`separator` between date and time); the seconds
// are cut to whole seconds.
std::string iso_text(double epoch, char separator = ' ');
// A duration as "h:mm:ss" (whole seconds, hours not limited).
std::string duration_text(double seconds);

// --- Satellites ------------------------------------------------------------

using SatelliteSet = std::bitset<100>;  // bit n: satellite n (1 to 99)

// "G05" for satellite 5.
std::string satellite_name(std::size_t sat);

// Adds the satellites of "5,G07,10-12" to `set`. False with `error` set for
// an empty item, a number outside 1 to 99, a system letter other than G or a
// range whose end lies before its start.
bool parse_satellite_list(std::string_view text, SatelliteSet& set, std::string& error);

// --- What a direct run asks of its records ---------------------------------

struct Selection {
  std::optional<double> from, to;  // [from, to)
  SatelliteSet satellites;         // the satellites to keep
  bool sort = false;               // records of an output by epoch, then satellite
  bool unique = false;             // repeated messages left out
  // --sys or --exclude-sys given, or satellites of a system other than GPS:
  // the run selects even when every GPS satellite is kept.
  bool choosesSystems = false;

  Selection() : satellites(every_satellite()) {}
  static SatelliteSet every_satellite() { return SatelliteSet().set().reset(0); }
  bool active() const {
    return from || to || satellites != every_satellite() || sort || unique || choosesSystems;
  }
  bool keeps_satellite(int sat) const { return sat >= 1 && sat <= 99 && satellites.test(static_cast<std::size_t>(sat)); }
  bool keeps_epoch(double epoch) const { return (!from || epoch >= *from) && (!to || epoch < *to); }
};

// What a direct run asks beyond the conversion.
struct Request {
  Selection selection;
  SatelliteSet chosen, excluded;  // --sat and --exclude-sat as given
  std::string nameId;             // -n: standard names from this ID
  char source = 0;                // --source R, S or U (0: not given, U)
  bool merge = false;             // -m: all inputs into one named output
  bool gzip = false;              // -z: compressed outputs, ".gz" appended
  bool check = false, json = false;
  bool strict = false;            // --strict: status 2 for what the check found
  std::string plot;               // --plot FILE.svg, or - for standard output
  std::string fromText, toText;   // as given, until the run is checked
  // The same choice for records of every system (outputs that a RINEX
  // input feeds): window, --sat/--exclude-sat with system letters,
  // --sys/--exclude-sys.
  rinex::RecordSelection records;
  rinex::SystemSet systemsChosen, systemsExcluded;  // --sys and --exclude-sys as given
};

// What became of the messages of one input.
struct InputCounts {
  long read = 0;
  long written = 0;
  long unselected = 0;  // outside the window or of a satellite left out
  long duplicates = 0;  // repeated messages (--unique)
  long conflicts = 0;   // same system, satellite, type and epoch, other values (kept)
  long noForm = 0;      // records the output's version has no form for
};

// The message that --unique compares: satellite, epoch and IODE.
struct MessageKey {
  int sat = 0;
  double epoch = 0.0;
  double iode = 0.0;
  bool operator==(const MessageKey&) const = default;
};
struct MessageKeyHash {
  std::size_t operator()(const MessageKey& key) const;
};
using MessageKeys = std::unordered_set<MessageKey, MessageKeyHash>;

// The epochs of the records an output has written, as its standard name
// needs them: the records per hour and the latest epoch.
class WrittenEpochs {
 public:
  void add(double epoch);
  bool empty() const { return perHour_.empty(); }
  // The epoch a standard name starts at: the hour that holds most of the
  // records (more than half) when no record comes after it, else the first
  // day that holds at least half as many records as the busiest day. So a
  // file that opens with messages of the hour or the evening before keeps
  // its own hour or day, and two full days are named from the first. Only
  // when not empty().
  double name_start() const;
  double last() const { return last_; }

 private:
  // Hours beyond the first kMaxCountedHours are not counted: memory stays
  // bounded on any epochs.
  static constexpr std::size_t kMaxCountedHours = 24 * 400;
  std::map<std::int64_t, long> perHour_;  // records per hour (epoch / 3600)
  double last_ = 0.0;
};

// Records held until their output is complete, packed: the values a record
// gives and its texts (about 60 % of a record of GPS, 40 % of one of
// GLONASS), in blocks that growing never copies.
class HeldRecords {
 public:
  void add(const rinex::Record& record, double gpsTime);
  // Calls `write` for the records in the order of rinex::sort_key (input
  // order among equal keys) until it returns non-zero, which is returned;
  // the store is emptied.
  int write_sorted(const std::function<int(const rinex::Record&)>& write);

 private:
  struct Entry {
    rinex::SortKey key;
    std::uint32_t block, offset;  // where the packed record starts
  };
  std::deque<Entry> entries_;
  std::vector<std::vector<unsigned char>> blocks_;
  rinex::Record unpacked_;  // the record handed to `write`
};

// The records of one output as a direct run decides them: kept or left out,
// written at once or held until the output is complete (--sort), and what the
// standard names need: the records written per hour, the latest epoch.
class OutputRecords {
 public:
  explicit OutputRecords(const Selection& selection) : selection_(&selection) {}

  enum class Decision { Write, Hold, LeaveOut };
  // The record converted from a message of satellite `sat`; counts it in
  // `counts`.
  Decision take(int sat, const RinexRecordArray& rinex, InputCounts& counts);

  // A held record: its place in the order of the output and what it writes.
  struct Held {
    double epoch;
    int sat;
    RinexRecordArray rinex;
  };
  // Calls `write` for the held records in the order of the output (records
  // of equal epoch and satellite in their input order) until it returns
  // non-zero, which is returned; the store is emptied.
  int write_sorted(const std::function<int(const Held&)>& write);

  bool empty() const { return written_.empty(); }
  // The start of the output's standard name (WrittenEpochs::name_start).
  double name_start() const { return written_.name_start(); }
  double last_epoch() const { return written_.last(); }

 private:
  const Selection* selection_;
  MessageKeys seen_;
  std::deque<Held> held_;  // no copies and little slack while it grows
  WrittenEpochs written_;
};

// The records of one output that a RINEX input feeds, of every system, as a
// direct run decides them: kept or left out by request.records, repeats
// left out and conflicts counted (--unique), written at once or held for
// the order of --sort (epoch, system G R E C J I S, satellite; input order
// among equals), and what the standard names need.
class RecordDecisions {
 public:
  explicit RecordDecisions(const Request& request) : request_(&request) {}

  enum class Decision { Write, Hold, LeaveOut };
  // Counts `record` in `counts` (read, written, unselected, duplicates,
  // conflicts).
  Decision take(const rinex::Record& record, InputCounts& counts);
  // Calls `write` for the held records in the order of the output until it
  // returns non-zero, which is returned; the store is emptied.
  int write_held(const std::function<int(const rinex::Record&)>& write);

  bool empty() const { return written_.empty(); }  // no record written
  // As OutputRecords::name_start, over the GPS times of the records
  // written. Only when not empty().
  double name_start() const { return written_.name_start(); }
  double last_epoch() const { return written_.last(); }
  rinex::SystemSet systems() const { return systems_; }  // of the records written

 private:
  const Request* request_;
  rinex::RepeatFilter repeats_;  // used with --unique only
  WrittenEpochs written_;
  rinex::SystemSet systems_;
  HeldRecords held_;             // with --sort
};

// Reads the two blocks of a message (after its satellite record), checks
// them and converts them into the record array, as every run does.
void read_message(int lfn, RinexRecordArray& rinex);

// Reads past the two blocks of a message whose satellite is left out,
// counting its numbers without converting them; the end of the file inside a
// block is an input error as in a conversion.
void skip_message_blocks(int lfn);

// A broadcast message (the record array of satellite `satNum`) as the GPS
// LNAV record a RINEX file gives; and a GPS LNAV record back as a message
// (false for any other record, which version 1 cannot write).
void record_of_message(int satNum, const RinexRecordArray& rinex, rinex::Record& record);
bool message_of_record(const rinex::Record& record, int& satNum, RinexRecordArray& rinex);

// --- Standard names --------------------------------------------------------

// The RINEX 3 identification: nine characters, four of station and monument
// (letters and digits), the receiver digit, then a country code of three
// letters ("BRDC00ORL"). False with `error` set otherwise.
bool valid_long_id(std::string_view id, std::string& error);
// "ssssddd0.yyn" from the first four characters of `id` (lower case) and the
// day of year and year of `firstEpoch`.
std::string short_name(std::string_view id, double firstEpoch);
// "IIIIIIIII_S_YYYYDDDHHMM_PPU_GN.rnx" for records from `firstEpoch` to
// `lastEpoch`: one hour, one day, or whole days.
std::string long_name(std::string_view id, char source, double firstEpoch, double lastEpoch);

// --- Check -----------------------------------------------------------------

// A gap between two messages of a satellite that the picture marks and
// --strict fails a file for, in seconds.
inline constexpr double kLongGap = 4 * 3600.0;

// A row of the check: a satellite and the message type of its records.
// Broadcast files hold GPS messages of one type, named by their satellite
// alone (type empty).
struct CheckKey {
  rinex::Satellite satellite;
  rinex::Message message = rinex::Message::LNAV;
  rinex::ShortText<8> type;  // as the file names it ("LNAV", "D2"); empty for broadcast files
  // Systems G R E C J I S, then satellite number, then message type.
  bool operator<(const CheckKey& other) const;
};

// What one file holds for a satellite and message type.
struct SatelliteCheck {
  std::vector<double> epochs;     // in file order
  std::vector<double> unhealthy;  // epochs of messages whose health is not 0
  long duplicates = 0;
  long conflicts = 0;   // same key and epoch as an earlier record, other values
  long outOfOrder = 0;  // records before the previous record of the row
  double longestGap = 0.0;
  long longGaps = 0;  // gaps between consecutive epochs longer than kLongGap
};

// What one file holds: a broadcast file (GPS satellites), or a RINEX
// navigation file (every system; ephemerides per satellite and message
// type, time-offset, Earth-orientation and ionosphere records counted).
struct FileCheck {
  std::string name;
  bool complete = false;  // every message read
  bool rinexFile = false;
  int version = 0;        // of a RINEX file, times 100 (304, 400); 0 until its header is read
  std::map<CheckKey, SatelliteCheck> rows;
  std::array<long, 3> otherRecords{};  // STO, EOP and ION records of a RINEX file
  MessageKeys seen;                    // broadcast files: duplicates by satellite, epoch and IODE
  rinex::RepeatFilter repeats;         // RINEX files: duplicates and conflicts
  bool is_rinex() const { return rinexFile; }
  void add(int sat, const RinexRecordArray& rinex);
  // `gpsTime` is rinex::gps_time(record).
  void add(const rinex::Record& record, double gpsTime);
  void finish();  // longest gaps; the memory of repeats let go
  long messages() const;
};

// The slot of the health field of an ephemeris record, or -1 when its
// layout has none this program knows (GLONASS L1OC/L3OC, unknown types).
int health_slot(const rinex::Record& record);

// Reads the messages of the broadcast file open on `lfn` (after its title)
// into `check`, those that `selection` keeps (its satellites and time
// window); input errors stop the run as in a conversion.
void check_messages(int lfn, FileCheck& check, const Selection& selection);

// What --strict fails a file for: duplicates, records out of order,
// unhealthy messages and gaps longer than kLongGap, counted over all
// satellites. "26 unhealthy messages, 1 gap over 4 hours", empty when
// nothing was found. Conflicts are none: merged files carry them by the
// thousand and QZSS sends several clock sets for one epoch.
std::string strict_findings(const FileCheck& check);

// The table of one file (fixed columns), the JSON document of all files,
// and the SVG picture of all files (gaps longer than kLongGap marked).
std::string check_table(const FileCheck& check);
std::string check_json(const std::vector<FileCheck>& checks);
std::string check_svg(const std::vector<FileCheck>& checks);

// Reads the records of the RINEX navigation file `reader` reads (after its
// header) into `check`, those that `selection` keeps. False when the file
// is damaged (reader.damage() says where).
bool check_records(rinex::NavigationReader& reader, FileCheck& check, const rinex::RecordSelection& selection);

// The check run of --check: the table of every input file of `files`
// (or, with --json, one JSON document) on the unit opened under
// `standardOutput`, and the picture of --plot (there instead of the tables
// for --plot -), which replaces no file of the run (find_files_of_the_run
// has found them). RINEX navigation files (plain or gzip) are checked per
// system, satellite and message type with request.records; broadcast files
// as a conversion reads them with request.selection. Ends the run: status 0
// when every file was read and every output written (2 with --strict when a
// file has findings); an input error stops it as in a conversion ("FILE:LINE:
// reason" for a damaged RINEX file), a failed write with its reason.
[[noreturn]] void run_check(const FileNameMatrix& files, int nFil, const Request& request,
                            std::string_view standardOutput);

}  // namespace kavril::nav

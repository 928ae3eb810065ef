// The RINEX room: navigation records of every system and version, the table
// of their line layouts, and the streaming reader of RINEX navigation files
// (versions 2.01 to 4.02, plain or gzip).
//
// A record holds what one message of a file says: its kind (ephemeris, time
// offset, Earth orientation, ionosphere), system, satellite, message type,
// epoch in the system's own time, and the values of its lines in order.
// Values sit in slots: the three of the epoch line first, then four per
// further line; a blank field is a slot that is not given. One table of
// layouts (lines and fields per line for each kind, system, version and
// message type) drives reading and writing alike.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kavril::rinex {

// --- Systems, satellites, message types --------------------------------------

// The systems, by the letter RINEX gives them.
enum class System : char {
  GPS = 'G',
  GLONASS = 'R',
  Galileo = 'E',
  BeiDou = 'C',
  QZSS = 'J',
  NavIC = 'I',
  SBAS = 'S',
};
inline constexpr std::array<System, 7> kSystems = {System::GPS, System::GLONASS, System::Galileo,
                                                  System::BeiDou, System::QZSS, System::NavIC,
                                                  System::SBAS};
// The system of a RINEX letter; false for any other character.
bool system_of_letter(char letter, System& system);
inline char letter_of(System system) { return static_cast<char>(system); }
// "GPS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "SBAS".
std::string_view system_name(System system);

// Satellite numbers as the system counts them: GPS 1-32 and beyond, GLONASS
// slots (above 27 as well), SBAS PRNs 120-158 (written 20-58 in files).
struct Satellite {
  System system = System::GPS;
  int number = 0;  // 0: the record names no satellite (a 4.x "> STO E   IFNV")
  bool operator==(const Satellite&) const = default;
};
// "G05", "R28", "S120" ("E" for a system without a satellite).
std::string satellite_text(Satellite satellite);

enum class RecordKind : std::uint8_t { Ephemeris, TimeOffset, EarthOrientation, Ionosphere };
// "EPH", "STO", "EOP", "ION" (the 4.x record-type words).
std::string_view kind_word(RecordKind kind);

// Message types of ephemerides; Other is a well-formed type this system has
// no layout for, carried by its text.
enum class Message : std::uint8_t {
  LNAV, CNAV, CNV1, CNV2, CNV3, INAV, FNAV, D1, D2, FDMA, SBAS, L1NV, L1OC, L3OC, Other
};
// The type of a message text ("LNAV", "D2"); Other when unknown.
Message message_of_text(std::string_view text);
std::string_view message_text(Message message);  // "" for Other

// A short text kept in place (no allocation per record).
template <std::size_t N>
struct ShortText {
  std::array<char, N> chars{};
  std::uint8_t size = 0;
  void assign(std::string_view text) {
    size = static_cast<std::uint8_t>(text.size() < N ? text.size() : N);
    for (std::size_t i = 0; i < size; ++i) chars[i] = text[i];
  }
  std::string_view view() const { return {chars.data(), size}; }
};

// A calendar epoch in the time of the record's system (GPS time, GLONASS
// UTC(SU), Galileo and BeiDou system times ...), as the file writes it.
struct Epoch {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0.0;
  bool operator==(const Epoch&) const = default;
};

inline constexpr int kMaxRecordLines = 12;  // the epoch line and eleven more
inline constexpr int kEpochLineSlots = 3;
inline constexpr int kSlotsPerLine = 4;
inline constexpr int kMaxSlots = kEpochLineSlots + kSlotsPerLine * (kMaxRecordLines - 1);
// The slot of field `field` of line `line` (0 the epoch line).
constexpr int slot_of(int line, int field) {
  return line == 0 ? field : kEpochLineSlots + kSlotsPerLine * (line - 1) + field;
}

struct Record {
  RecordKind kind = RecordKind::Ephemeris;
  Satellite satellite;
  Message message = Message::LNAV;
  ShortText<8> messageText;  // as the file writes it ("LNAV", "D1D2", "LEG")
  ShortText<8> variant;      // a fifth word of the 4.x record line ("KLOB"), or empty
  Epoch epoch;
  int lines = 0;             // lines of values: the epoch line and the orbit lines
  std::array<double, kMaxSlots> values{};
  std::uint64_t given = 0;   // bit n: slot n holds a value
  ShortText<60> text;        // the texts of a time-offset record's epoch line (columns 25-80)

  bool has(int slot) const { return (given >> slot) & 1U; }
  double value(int slot) const { return values[static_cast<std::size_t>(slot)]; }
  void set(int slot, double v) {
    values[static_cast<std::size_t>(slot)] = v;
    given |= std::uint64_t{1} << slot;
  }
  void clear_values() { given = 0; }
};

// --- Layouts ---------------------------------------------------------------

// The lines of one kind of record in one version family: `lines` lines of
// values (the epoch line first), `fields[i]` meaningful fields on line i (a
// spare field beyond them is read when a file gives it). `minLines` below
// `lines` lets files of the version keep an older, shorter form (GLONASS
// records of 4 lines in files that say 3.05). Rows hold from version `since`
// (times 100) on, up to the next row of the same key. `system` 0 matches
// every system; `message` "*" every message type.
struct LineLayout {
  RecordKind kind;
  char system;
  int since;
  const char* message;
  std::uint8_t lines;
  std::uint8_t minLines;
  std::array<std::uint8_t, kMaxRecordLines> fields;
};
// The layout of a record of `kind`, `system` and message text `message` in
// a file of `version` (times 100), or nullptr when the table holds none
// (the record's lines are then found by where the next record starts).
const LineLayout* find_layout(RecordKind kind, System system, int version, std::string_view message);
// The whole table (for tests and writers).
std::span<const LineLayout> layouts();

// The message type a record of a 2.x or 3.x file carries: GPS, QZSS and
// NavIC LNAV, GLONASS FDMA, Galileo INAV or FNAV from its data-source field,
// BeiDou D1 or D2 from its satellite (geostationary ones send D2), SBAS.
Message implied_message(const Record& record);

// --- Header ----------------------------------------------------------------

// Ionosphere parameters of a header: 3.x IONOSPHERIC CORR (GPSA, GPSB, GAL,
// QZSA, BDSA, IRNA ...), 2.x ION ALPHA (as GPSA) and ION BETA (as GPSB).
struct IonosphereCorrection {
  ShortText<4> type;
  std::array<double, 4> values{};
  int valueCount = 0;     // 3 for GAL, 4 for the others
  char timeMark = ' ';    // 3.x: the hour letter of the parameters' time
  int satellite = 0;      // 3.x: the satellite that sent them, or 0
};

// Time-system corrections: 3.x TIME SYSTEM CORR (GPUT, GAUT, GAGP, GLUT,
// BDUT ...), 2.x DELTA-UTC: A0,A1,T,W (as GPUT) and CORR TO SYSTEM TIME (as
// GLUT, with its date, a0 = -tauC).
struct TimeCorrection {
  ShortText<4> type;
  double a0 = 0.0, a1 = 0.0;
  int referenceSeconds = 0, referenceWeek = 0;
  ShortText<5> source;    // satellite or SBAS provider, 3.x
  int utcId = 0;
  int year = 0, month = 0, day = 0;  // CORR TO SYSTEM TIME
};

struct LeapSeconds {
  bool given = false;
  int current = 0, future = 0, week = 0, day = 0;
  bool futureGiven = false;
  ShortText<3> system;    // 3.04+: "GPS", "BDS"
};

struct Header {
  int version = 0;        // times 100: 211, 304, 400
  char fileType = 'N';    // N, G, H, L, J, Q, I
  char systemLetter = ' ';  // column 41: G, R, E, C, J, I, S, M, or blank
  System fileSystem = System::GPS;  // of 2.x records, which give no letter
  std::vector<IonosphereCorrection> ionosphere;
  std::vector<TimeCorrection> timeCorrections;
  LeapSeconds leapSeconds;
  int mergedFiles = 0;    // 4.x MERGED FILE
  std::vector<std::string> comments;
  long lines = 0;         // lines of the header, END OF HEADER included
  int major() const { return version / 100; }
};

// --- Recognition -------------------------------------------------------------

// True when `lines`, the first lines of a file, make it a RINEX navigation
// file: the first line that is no COMMENT has "RINEX VERSION / TYPE" in
// columns 61-80, a version of 2, 3 or 4 and a navigation file type.
bool is_navigation_file(std::span<const std::string> lines);
// True when the regular file `name` (plain or gzip) is a RINEX navigation
// file by its first lines. False for standard input, pipes and devices,
// whose lines a look would take from the run, and for files that cannot be
// read.
bool is_navigation_input(std::string_view name);

// --- Reading -------------------------------------------------------------------

// Where a file is damaged: its line number and what is wrong there, for the
// caller's "FILE:LINE: reason".
struct Damage {
  long line = 0;
  std::string reason;
};

// Reads a RINEX navigation file from a logical unit opened for reading (the
// platform layer decompresses gzip), one record at a time: memory stays flat
// and reading a record allocates nothing once the buffers have grown.
class NavigationReader {
 public:
  explicit NavigationReader(int unit) : unit_(unit) {}

  // Reads the header. False when the file is no RINEX navigation file or its
  // header is damaged (damage() says where and why).
  bool read_header(Header& header);

  enum class Next { Record, End, Damaged };
  // Reads the next record into `record` (COMMENT and blank lines between
  // records are passed over).
  Next next(Record& record);

  const Damage& damage() const { return damage_; }

 private:
  bool fail(long line, std::string reason);
  bool read_line(std::string& line, long& number);
  bool starts_record(std::string_view line) const;
  bool skips(std::string_view line) const;
  Next gather();
  bool decode(Record& record);
  bool decode_record_line(Record& record);
  bool decode_epoch_line(Record& record, std::string_view line, long number);
  bool decode_values(Record& record, int line, std::string_view text, long number);
  bool check_line_count(const Record& record);

  int unit_;
  int version_ = 0;
  System fileSystem_ = System::GPS;
  std::array<std::string, kMaxRecordLines + 1> lines_;  // of the record being read
  std::array<long, kMaxRecordLines + 1> numbers_{};
  int count_ = 0;
  std::string pending_;  // the first line of the next record, read ahead
  long pendingNumber_ = 0;
  bool hasPending_ = false;
  bool ended_ = false;
  long lastLine_ = 0;
  const LineLayout* layout_ = nullptr;
  Damage damage_;
};

// --- Writing -------------------------------------------------------------------

// Writes RINEX navigation files of version 2.11 (`system` GPS or GLONASS:
// one system a file), 3.04, 3.05 or 4.00 (every system) to a logical unit
// opened for writing, a record at a time.
class NavigationWriter {
 public:
  NavigationWriter(int unit, int version, System system = System::GPS);

  // The header: version and type, the program line (`program`, `runBy`,
  // `date`), the comments, and the corrections and leap seconds of `header`
  // the version holds in its header (2.x ION ALPHA/BETA, DELTA-UTC, CORR TO
  // SYSTEM TIME; 3.x IONOSPHERIC CORR, TIME SYSTEM CORR; 4.x MERGED FILE).
  // Returns 0 or an errno value.
  int write_header(const Header& header, std::string_view program, std::string_view runBy, std::string_view date);

  // True when the version has a form for `record`: 2.11 and 3.x hold the
  // ephemerides they define (GLONASS of 3.04 without its fourth orbit
  // line), 4.00 every record (types it does not define with their lines as
  // read).
  bool holds(const Record& record) const;

  enum class Result { Written, NoForm, Failed };
  Result write(const Record& record);

 private:
  int write_record_line(const Record& record);
  void start_epoch_line(const Record& record);
  void append_values(const Record& record, int line);

  int unit_;
  int version_;
  System system_;
  std::string line_;  // reused for every line
};

}  // namespace kavril::rinex

// --- What direct runs do with records -------------------------------------------
// Times are GPS time in seconds since the start of GPS week 0 (6 January
// 1980), the scale of the command line's --from and --to.

namespace kavril::rinex {

// GPS - UTC in seconds at UTC day `mjd` (Modified Julian Date) and second
// `secondOfDay` of it.
int gps_minus_utc(std::int64_t mjd, std::int64_t secondOfDay);

// The epoch of `record` in GPS time: Galileo system time, QZSS, NavIC and
// SBAS times are GPS time; BeiDou time is GPS time less 14 s; GLONASS
// records give UTC, which becomes GPS time by the leap seconds of that date.
double gps_time(const Record& record);

// A set of systems, one bit per system in the order of kSystems.
class SystemSet {
 public:
  void add(System system) { bits_ |= bit(system); }
  bool has(System system) const { return (bits_ & bit(system)) != 0; }
  int count() const;
  bool empty() const { return bits_ == 0; }
  static SystemSet all();
  SystemSet without(SystemSet other) const;
  bool operator==(const SystemSet&) const = default;

 private:
  static std::uint8_t bit(System system);
  std::uint8_t bits_ = 0;
};
// The rank of a system in the order of outputs: G R E C J I S.
int system_rank(System system);

// Satellites chosen on the command line, of every system.
class SatelliteChoice {
 public:
  static constexpr int kLimit = 200;  // numbers 1 to 199 (SBAS 120-158)
  void add(Satellite satellite);
  bool has(Satellite satellite) const;
  bool empty() const { return count_ == 0; }

 private:
  std::array<std::array<std::uint64_t, (kLimit + 63) / 64>, kSystems.size()> bits_{};
  int count_ = 0;
};

// Adds the satellites of "G05,R12,E01-E36,S120,7" (no letter: GPS) to
// `choice`. False with `error` set for an empty item, an unknown system
// letter, a number the system does not have, or a range that runs backwards
// or across systems.
bool parse_satellites(std::string_view text, SatelliteChoice& choice, std::string& error);
// Adds the systems of "G,R,E" to `systems`; false with `error` set for an
// empty item or a letter that is no system.
bool parse_systems(std::string_view text, SystemSet& systems, std::string& error);

// Which records a direct run keeps: a GPS-time window [from, to), systems
// (--sys less --exclude-sys), satellites (--sat less --exclude-sat).
struct RecordSelection {
  bool hasFrom = false, hasTo = false;
  double from = 0.0, to = 0.0;
  SystemSet systems = SystemSet::all();
  SatelliteChoice chosen, excluded;  // chosen empty: every satellite
  // `gpsTime` is gps_time(record), computed once by the caller.
  bool keeps(const Record& record, double gpsTime) const;
};

// The order of --sort: epoch in GPS time, then system (G R E C J I S), then
// satellite; records equal in all three keep their input order when sorted
// stably.
struct SortKey {
  double epoch = 0.0;
  int system = 0;
  int satellite = 0;
  auto operator<=>(const SortKey&) const = default;
};
SortKey sort_key(const Record& record, double gpsTime);

// --unique: a record is a repeat when an earlier record of the output has
// the same system, satellite, kind, message type and epoch and the same
// values apart from the transmission time; one with the same key but other
// values is a conflict, kept and counted. Memory grows with the distinct
// keys (and the distinct contents of conflicting keys) only.
class RepeatFilter {
 public:
  enum class Verdict { New, Repeat, Conflict };
  Verdict take(const Record& record);
  long repeats() const { return repeats_; }
  long conflicts() const { return conflicts_; }

  struct Key {
    std::uint64_t identity = 0;  // kind, system, satellite, message type
    std::uint64_t epoch = 0;     // the bits of the epoch as written
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct ContentKey {
    Key key;
    std::uint64_t content = 0;
    bool operator==(const ContentKey&) const = default;
  };
  struct ContentKeyHash {
    std::size_t operator()(const ContentKey& key) const;
  };

 private:
  std::unordered_map<Key, std::uint64_t, KeyHash> first_;            // key -> content of its first record
  std::unordered_set<ContentKey, ContentKeyHash> laterContents_;     // the other contents of conflicting keys
  long repeats_ = 0, conflicts_ = 0;
};
// The slot of a record's transmission time, or -1 when it has none apart
// from its epoch (ION records, unknown layouts).
int transmission_slot(const Record& record);
// A hash of what a record says apart from its transmission time.
std::uint64_t content_hash(const Record& record);

// The records of one output its version has no form for, per kind
// ("BeiDou CNV1", "Galileo INAV", "EOP").
class Unwritten {
 public:
  void add(const Record& record);
  long total() const { return total_; }
  struct Kind {
    std::string label;
    long count = 0;
    int rank = 0;
  };
  // In the order G R E C J I S, then STO, EOP, ION.
  const std::vector<Kind>& kinds() const { return kinds_; }
  // "kavril: warning: day.rnx: 1,204 messages (BeiDou CNV1, EOP) have no
  // RINEX 3.04 form, not written", or "" when every record was written.
  std::string warning(std::string_view file, int version) const;

 private:
  std::vector<Kind> kinds_;
  long total_ = 0;
};
// "1,204" for 1204.
std::string grouped_number(long number);
// "2.11", "3.04", "4.00" for 211, 304, 400; "1" for 100.
std::string version_text(int version);

// The version an output gets without -r when all its inputs are RINEX: that
// of their family (2.x -> 2.11, or 3.04 when the 2.x inputs hold more than
// one system or one 2.11 cannot write; 3.x -> 3.05 when an input is 3.05,
// else 3.04; 4.x -> 4.00). Inputs of several families take the highest of
// them, whose version holds what the lower ones hold.
class VersionFamily {
 public:
  void add(const Header& header);
  int version() const;            // 0 before the first input
  System system() const;          // of a 2.11 output: GPS or GLONASS

 private:
  int highestMajor_ = 0;
  bool any305_ = false;
  SystemSet twoSystems_;          // systems of the 2.x inputs
};

// The standard names of an output holding records of `systems`: the long
// name ends "_MN.rnx" for several systems, "_GN.rnx", "_RN.rnx" ... for one;
// the short name of 2.11 ends in "n" (GPS) or "g" (GLONASS).
std::string long_name(std::string_view id, char source, double firstEpoch, double lastEpoch, SystemSet systems);
std::string short_name(std::string_view id, double firstEpoch, System system);
// "MN", "GN", "RN" ... of the long name.
std::string content_code(SystemSet systems);

// One header for an output of several inputs: the corrections (and leap
// seconds) of the input in force at the output's first epoch, each
// correction type once, the comments once each, the count of inputs
// (MERGED FILE in 4.x, a COMMENT below 4).
class HeaderMerge {
 public:
  // `firstEpoch`: GPS time of the input's first record (inputs without
  // records count as starting at their place in the order given).
  void add(const Header& header, double firstEpoch);
  Header merged(double outputFirstEpoch, int outputVersion) const;

 private:
  struct Input {
    Header header;
    double firstEpoch;
  };
  std::vector<Input> inputs_;
};

// Header corrections as the records of 4.x and back: ION records
// (Klobuchar of GPSA/GPSB, QZSA/QZSB, BDSA/BDSB, IRNA/IRNB; NeQuick-G of
// GAL) at GPS time `gpsTime` and STO records at the reference time of each
// TIME SYSTEM CORR (DELTA-UTC, CORR TO SYSTEM TIME); and the header
// correction an ION or STO record of a 4.x file gives, added to `header`
// unless one of its type is there already (false then, and for records
// that have no header form: BDGIM, CNAV ionosphere).
std::vector<Record> correction_records(const Header& header, double gpsTime);
bool take_correction_record(const Record& record, Header& header);
// The reference weeks of the header's time corrections that a 2.x file
// wrote modulo 1024, as the weeks nearest GPS time `gpsTime` (their
// continuous count, which 2.11 and 3.x write).
void unwrap_correction_weeks(Header& header, double gpsTime);

// The calendar epoch of GPS time `gpsTime` in the time of `system`'s
// records (the inverse of gps_time).
Epoch system_epoch(System system, double gpsTime);

}  // namespace kavril::rinex

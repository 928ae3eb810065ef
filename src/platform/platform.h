// Platform layer: the only code that touches files, the standard streams,
// errno, clocks, the command line and number conversion.
//
// Files are addressed by logical unit numbers, as in the rest of the system.
// Units 5 and 6 are standard input and standard output, unit 0 is standard
// error (for the few lines meant for the terminal); they are connected from
// the start; every other unit is connected by open_unit. Texts are formatted
// with layouts of edit descriptors ("(1X,A,I5)", "(3X,4D19.12)") executed by
// Layout, and read with the strict free-format decoders below.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kavril::platform {

// ---------------------------------------------------------------------------
// Blank-padded texts
// ---------------------------------------------------------------------------
// Texts of the system are blank-padded fields: trailing blanks never matter,
// a longer text assigned to a field is cut on the right.

// `text` without its trailing blanks.
std::string_view trim_right(std::string_view text);
// True when `text` holds nothing but blanks (or is empty).
bool is_blank(std::string_view text);
// Equal after the shorter one is padded with blanks (case-sensitive).
bool same_text(std::string_view a, std::string_view b);
// `text` cut or blank-padded to exactly `length` characters.
std::string fit(std::string_view text, std::size_t length);
// Assigns `text` to the field `field` of `length` characters (cut or padded).
void assign_fit(std::string& field, std::string_view text, std::size_t length);

// ---------------------------------------------------------------------------
// Logical units
// ---------------------------------------------------------------------------

inline constexpr int kStdErr = 0;
inline constexpr int kStdIn = 5;
inline constexpr int kStdOut = 6;
inline constexpr int kMaxUnit = 9999;

enum class OpenStatus { Old, New, Unknown, Scratch, Replace };

// Connects `unit` to the file `name` (trailing blanks of the name do not
// count). Old: the file must exist. New: the file must not exist. Unknown:
// opened if it exists (and rewritten from its start unless readOnly), created
// otherwise. An existing file that is no regular file (a named pipe, a
// character device) opened Old is opened for reading only: holding a pipe's
// write end would keep its end from ever coming. Scratch: a new nameless temporary file. Replace: a new version
// of `name` written whole (see "Files written whole" below): the unit writes
// a hidden temporary file beside it, and `name` keeps what it holds until
// commit_unit renames the complete file onto it; an existing file that may
// not be written is refused (EACCES) and stays as it is, and so is a regular
// file for which no temporary file can be made (ENOSPC, EACCES, EMFILE...). A unit works like a
// sequential file: the first write after the open or a rewind cuts the file
// there, so opening an existing file and closing it unwritten leaves it
// intact. Without readOnly, a file that cannot be written (EACCES, EROFS) is
// opened for reading and its writes fail with that status, and a name that
// is a link check_link_trust refuses is not opened (kLinkNotFollowed). A folder is not
// a file (EISDIR). Opening a file on unit 5 or 6 replaces the standard
// stream until the unit is closed.
// `formatted` selects line-structured text; unformatted files are opened the
// same way but never read as lines by this system. Returns 0 or an errno value
// (never a non-zero multiple of 256). A unit that is connected is closed first.
int open_unit(int unit, std::string_view name, OpenStatus status, bool formatted, bool readOnly);

enum class ReadResult { Ok, End, Error };

// Reads the next line of `unit` into `line` without its line end ("\n", or
// "\r\n"). The last line of a file need not end in "\n" (nor in "\r\n": a last
// "\r" alone is taken for its line end). `line` keeps its capacity, so a
// reused buffer does not allocate per line. A unit written since its open or
// rewind, unit 6 and unconnected units give Error.
// A line longer than kMaxLineLength characters (without its line end) is an
// Error with the status kLineTooLong: memory stays bounded whatever the file.
ReadResult read_line(int unit, std::string& line);
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;
inline constexpr int kLineTooLong = 100003;

// The status of a name that leads through a symbolic link that no run
// follows: a link in a folder that everyone may write and that has the
// sticky bit (such as /tmp), whose owner is neither the user who runs nor
// the folder's owner. Another user may plant such a link to make the run
// write or replace a file of their choosing (the rule of the kernel's
// protected_symlinks, applied also where the kernel does not). A status of
// its own, above the system's errno values and below 256, as the statuses of
// opens must be.
inline constexpr int kLinkNotFollowed = 200;
// kLinkNotFollowed when `name` (trailing blanks do not count) is such a
// link, else 0 (also when it cannot be looked up: the open says why).
int check_link_trust(std::string_view name);

// True when the line read last from `unit` ended in a line end (false for
// the last line of a file that stops without one).
bool line_ended(int unit);

// Number of lines read from `unit` since it was opened or rewound (the line
// number of the line read last).
long line_number(int unit);

// Why the last read of `unit` gave Error: an errno value, or one of the
// statuses of compressed files below (status_text names each).
int read_status(int unit);

// --- Compressed files ------------------------------------------------------
// A file read on a unit whose first bytes are the gzip signature is read as
// the text it holds (also on standard input): lines and line numbers count
// the decompressed text. A damaged or cut compressed file fails like a read.
inline constexpr int kCompressedDataDamaged = 100001;
inline constexpr int kCompressedDataCut = 100002;
struct GzipReader;
struct GzipReaderDeleter {
  void operator()(GzipReader* reader) const;
};
using GzipReaderPtr = std::unique_ptr<GzipReader, GzipReaderDeleter>;
// True when the file read on `unit` is compressed (known after its first read).
bool unit_compressed(int unit);
// Up to `count` first lines of the regular file `name` (decompressed), and
// whether it is compressed. False when `name` is no regular file that can be
// read (a pipe is never opened); `status` then says why: the errno value of
// its lookup or open, EISDIR for a folder, or with `readError` the status of
// the read of the line after `lines` (0 for a pipe or a device). Uses unit
// kMaxUnit.
struct FileHead {
  std::vector<std::string> lines;
  bool compressed = false;
  bool empty = false;  // a file of no bytes
  int status = 0;
  bool readError = false;
};
bool read_file_head(std::string_view name, std::size_t count, FileHead& head);
// True when the first bytes of a file, `data`, open a gzip stream.
bool starts_gzip(const char* data, std::size_t size);
// Decompresses the file on `fd` (not closed here), whose first bytes `head`
// have been read already; nullptr when no memory is left for it.
GzipReaderPtr start_gzip(int fd, const char* head, std::size_t size);
// Up to `size` decompressed bytes into `out`: their count, 0 at the end of
// the file, -1 with `status` set when the file cannot be read or its data is
// damaged or cut short.
long read_gzip(GzipReader& reader, char* out, std::size_t size, int& status);

// Makes `unit`, opened for reading and not read yet, one that can be
// rewound: a pipe or a device is read to its end into a nameless scratch
// file that the unit reads from then on (its name and identity stay). A
// unit that can already be rewound is left as it is. Returns 0 or the errno
// value of a failed read or write.
int make_rewindable(int unit);

// Writes `text` and a line end to `unit`. Output is buffered; the first write
// error is remembered and returned by close_unit. Returns 0 or an errno value.
// Text for a unit that is not connected goes to standard error instead (after
// standard output is written out), and the status is EBADF: nothing written
// is ever dropped without a trace.
int write_line(int unit, std::string_view text);

// Writes `text`, which may hold several lines separated by '\n', as records;
// a final '\n' ends the last record (so "a\nb\n" writes two lines).
int write_text(int unit, std::string_view text);

int rewind_unit(int unit);

// Closes `unit`, deleting its file when `deleteFile` (only a regular file is
// deleted; for any other the status is EPERM). Units 0, 5 and 6 are never
// really closed, only flushed (a file opened on them is closed and the unit
// goes back to the standard stream). Returns 0 or an errno value, including the
// first write error that happened on the unit. Closing an unconnected unit
// succeeds.
int close_unit(int unit, bool deleteFile = false);

bool unit_connected(int unit);

// Closes `unit` keeping what was written, when every write and the close
// succeed. A unit opened with Replace then puts its complete file under its
// name: a flush to the storage device (fsync) and the close, then the
// temporary file is renamed onto the name and the folder synced. Returns 0,
// or an errno value: with the unit still connected when the file was not
// put under its name (its file unchanged for abandon_unit; the name keeps
// its earlier file), or with the unit closed when the complete file is under
// its name but the sync of its folder failed (written but not durable).
int commit_unit(int unit);

// commit_unit for a Replace unit whose name is chosen when its file is
// complete: the temporary file, made beside the name the unit was opened
// under, is put under `name` in the same folder instead. EINVAL for a unit
// that writes no temporary file.
int commit_unit_as(int unit, std::string_view name);

// From now on the bytes written to `unit` reach its file gzip-compressed;
// commit_unit ends the compressed stream before the file is synced.
void compress_unit_output(int unit);

// Closes `unit` without keeping what was written: the temporary file of a
// Replace unit is deleted (the name keeps its earlier file); a file written
// in place is deleted when it is a regular file. True when a file was
// deleted; a temporary file that could not be deleted is noted for
// take_temporary_file_notes.
bool abandon_unit(int unit);

// The system's text for a status returned by the unit functions (an errno
// value), such as "No such file or directory" for ENOENT.
std::string status_text(int status);

// Name under which `unit` was opened (blank text for an unconnected unit or
// the standard streams).
std::string unit_file_name(int unit);

struct FileInquiry {
  bool exists = false;
  bool connected = false;
  int unit = -1;  // the unit the file is connected to, or -1
};

// Inquires by name. Two names of one file (links, "./x" and "x") are the same
// file. Returns 0 or an errno value; a failed inquiry answers "does not
// exist" and "not connected".
int inquire_file(std::string_view name, FileInquiry& answer);

// Writes out the buffer of `unit`. Returns 0 or the first write error that
// happened on the unit since its open (a failed write is sticky: close_unit
// reports it as well). The check of a file's writes costs no system call per
// line: writes only fill the buffer, and this or close_unit says whether all
// of them reached the file.
int write_out(int unit);

// Identity of a file (device and inode): two names, or a name and a unit,
// mean the same file when their identities are equal.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
  auto operator<=>(const FileId&) const = default;
};
// The identity of the existing file `name` (trailing blanks do not count;
// links are followed). False when no such file exists.
bool existing_file_id(std::string_view name, FileId& id);
// True when `name` (trailing blanks do not count; links are followed) is an
// existing regular file.
bool is_regular_file(std::string_view name);
// The identity of the file connected to `unit`. False for an unconnected
// unit, a standard stream and a scratch file.
bool unit_file_id(int unit, FileId& id);
// The identity of the regular file behind the standard stream of unit 0, 5
// or 6 (a redirection), as the process got it. False for a terminal, a pipe,
// a device or a stream closed at the start.
bool standard_stream_file_id(int unit, FileId& id);

// ---------------------------------------------------------------------------
// Files written whole
// ---------------------------------------------------------------------------
// A file opened with OpenStatus::Replace is written as ".NAME.kavril-XXXXXX"
// in the folder of NAME, the last six characters drawn at random
// (".kavril-XXXXXX" where the long form would exceed the file system's limit
// for a name), created exclusively (never through a link) with mode 0600,
// then given the permissions of a new file, or those (and for root the
// owner) of the file it replaces, before it holds any data. The run holds a
// lock (flock) on it while it exists. The earlier file is looked up under
// NAME: a lookup that fails otherwise than with "no such file" is an error
// that keeps it. A NAME that is a symbolic link is followed: the link's
// target is replaced and the link stays (a link that check_link_trust
// refuses, at any step, is kLinkNotFollowed and nothing is written). A NAME that exists and is no
// regular file (a device, a pipe) is written in place instead, as by
// Unknown; a regular file is never written in place. Before the first
// temporary file beside NAME, leftovers of NAME from killed runs are
// deleted: files of its temporary names that are regular files of this
// user, older than a minute, whose lock no process holds.
//
// A name marked with name_at_commit stands for an output whose name its
// contents decide: its unit writes a temporary file in the name's folder,
// and commit_unit_as puts it under the final name, from which it then takes
// its attributes. Nothing under the marked name itself is ever opened or
// looked at: for inquire_file, existing_file_id, is_regular_file and
// delete_regular_file it is no file.
void name_at_commit(std::string_view name);
bool is_named_at_commit(std::string_view name);

// The temporary file of a unit opened with Replace (empty paths: in place).
struct Replacement {
  std::string finalPath;  // the file replaced (a link's target)
  std::string tempPath;   // the file written
  int slot = -1;          // its entry in the list the interrupt handler removes
  int lockFd = -1;        // holds the lock on the temporary file
  bool namedAtCommit = false;  // no final name until retarget_replacement
};
// Creates the temporary file for `name`: status 0 with `fd` open for writing
// it, status 0 with `fd` -1 when `name` is to be written in place, or an
// errno value (the existing `name` may not be written or replaced, is a
// folder, no temporary file can be made or given the earlier file's
// permissions, ...).
int begin_replacement(std::string_view name, Replacement& replacement, int& fd);
// Renames the temporary file (synced and closed before) onto its final name
// and syncs the folder. Returns 0 or an errno value: of the rename while
// `replacement` still names the temporary file (which stays, for
// discard_replacement), of the folder's sync once it is cleared.
int rename_replacement(Replacement& replacement);
// Deletes the temporary file (`fd` closed before). True when it was deleted;
// when it could not be, it is noted for take_temporary_file_notes.
bool discard_replacement(Replacement& replacement);

// What happened to temporary files beside the RINEX files, for the user: a
// temporary file that could not be deleted (`error` its reason: the user
// must remove it), or a leftover of a killed run that was deleted (`error`
// 0). Returns the notes since the last call.
struct TemporaryFileNote {
  std::string path;
  int error = 0;
};
std::vector<TemporaryFileNote> take_temporary_file_notes();

// Points the temporary file of a Replace unit (open on `fd`) at another
// final name in the same folder (links followed), chosen when the file is
// complete, and gives it the attributes that name calls for. Returns 0, or
// an errno value when that name may not be replaced (a folder, a device, a
// file this user may not write, a failed lookup).
int retarget_replacement(Replacement& replacement, int fd, std::string_view name);

// Closes the units that write temporary files and deletes those files (the
// names keep their earlier files), as for a run that cannot go on: a file
// that could not be deleted is noted for take_temporary_file_notes.
void abandon_replacing_units();

// Compresses a unit's bytes into the gzip format (zlib): what deflate is
// given comes out compressed in `out`; `finish` ends the stream (the gzip
// trailer). Returns 0 or an errno value.
class GzipDeflater {
 public:
  GzipDeflater();
  ~GzipDeflater();
  GzipDeflater(const GzipDeflater&) = delete;
  GzipDeflater& operator=(const GzipDeflater&) = delete;
  int deflate(const char* data, std::size_t size, bool finish, std::string& out);

 private:
  struct Stream;
  Stream* stream_;
};

// Who writes `name`: the folder's resolved path and the file name, with a
// symbolic link of the name followed. Two spellings of one output ("out/A",
// "./out/A", a link to the folder) give the same text, also before the file
// exists.
std::string output_identity(std::string_view name);

// On SIGINT, SIGTERM, SIGHUP and SIGPIPE: deletes the temporary files of
// every uncommitted Replace unit and writes to standard error " *** Run
// interrupted by signal SIGINT: no RINEX file of the unfinished row was
// written" when it deleted one, " *** Run interrupted by signal SIGINT:
// every RINEX file of the finished rows is complete" when none was being
// written, and " *** Temporary file not deleted: NAME: REASON" for one it
// could not delete; then ends the process by the same signal with its
// default action. A signal the process ignores stays ignored (an ignored
// SIGPIPE makes a write to a closed pipe an ordinary write failure, EPIPE).
// set_interrupt_line_head replaces the text before the signal's name
// (" *** Run interrupted by signal "); `head` must outlive the run.
// end_quietly_on_broken_pipe drops the interrupt line for SIGPIPE: a reader
// that stopped reading is no interruption to report (a temporary file that
// could not be deleted is still named).
void catch_interrupts();
// SIGXFSZ ignored: a write beyond the file-size limit (ulimit -f) fails with
// EFBIG, reported and cleaned up as a full disk is, instead of killing the
// process with its temporary file half written. Called first thing.
void ignore_file_size_signal();
void set_interrupt_line_head(const char* head);
void end_quietly_on_broken_pipe();

// Deletes `name` when it is a regular file (never a device, a folder or a
// FIFO); a symbolic link is followed and the file it names deleted. Returns
// 0 when it was deleted, ENOENT when there is no such file, or another errno
// value.
int delete_regular_file(std::string_view name);

// --- Names that are no files ------------------------------------------------
// A run from options and broadcast files has names for standard input and
// standard output and for the built-in constants. No name is special until it
// is set here, so a keyword file always means the files it names. A unit
// opened under the input name reads standard input (status Old or read-only),
// one opened under the output name writes standard output, both through a
// duplicate of the stream's descriptor: the stream is never rewound, cut,
// closed or deleted. A unit opened under the text name reads a copy of the
// text. Any other use of these names fails (EBADF, EROFS). They are no files
// for inquire_file and delete_regular_file, whatever the current folder
// holds; existing_file_id gives the identity of the stream's file when it is
// a regular file (a redirection), so that a run does not write over the file
// it reads.
void set_standard_stream_names(std::string_view input, std::string_view output);
void set_builtin_text(std::string_view name, std::string_view text);
void clear_special_names();
bool is_special_name(std::string_view name);

// What the unit layer gets when it opens a special name: a descriptor of its
// own (fd, to be closed with the unit), whether it is a standard stream
// (never rewound or cut), or the errno value of a failure. `special` is false
// for every other name.
struct SpecialOpen {
  bool special = false;
  int fd = -1;
  bool stream = false;
  int error = 0;
};
SpecialOpen open_special_name(const std::string& name, OpenStatus status, bool readOnly);
// The descriptor of the standard stream that `name` stands for, or -1.
int standard_stream_of(std::string_view name);

// The status of a system call that failed: errno, or EIO should the call
// have left it 0.
int last_error();

// Opens /dev/null on standard input, output or error where the caller left
// it closed, so that no file the program opens takes its number and receives
// what is meant for the terminal. Called first thing.
void open_standard_streams();
// True when standard output was closed at the start: writes to unit 6 and
// the output name of set_standard_stream_names then fail with EBADF.
bool standard_output_closed_at_start();
// True when standard input was closed at the start: the input name of
// set_standard_stream_names then cannot be opened (EBADF).
bool standard_input_closed_at_start();

// Lines written to `unit` go to standard error from now on, or nowhere, as
// on a standard stream (flushed, never closed), or to `sink`, one call per
// line (without its line end); closing the unit hands the sink an empty line.
void send_unit_to_standard_error(int unit);
void discard_unit_output(int unit);
using LineSink = void (*)(std::string_view line);
void send_unit_to_sink(int unit, LineSink sink);

// Writes out the buffers of every unit (unit 6 included: tests that capture
// standard output call this before reading the capture).
void flush_all();

// Flushes and closes everything, then ends the process. When a write to
// standard output (unit 6 while no file is opened on it) failed, a line on
// standard error names the reason and a status of 0 becomes 1.
[[noreturn]] void exit_process(int status);

// A process that exit_process would end with status 0 ends with `status`
// instead: a run that succeeded but found what its caller acts on.
void set_status_of_success(int status);

// Test hook for harnesses that run many stops in one process (the fuzz
// targets): once a handler is installed, exit_process closes every unit as
// always and then calls the handler with the status instead of ending the
// process. The handler must not return; it leaves by throwing an exception of
// its own type, which unwinds through the routines back to the harness (no
// routine catches it), and the harness then resets the module state. Should
// the handler return, the process ends as without it. The program never
// installs a handler; nullptr removes it.
using ExitHandler = void (*)(int status);
void set_exit_handler(ExitHandler handler);

// ---------------------------------------------------------------------------
// Command line, clock
// ---------------------------------------------------------------------------

void set_command_line(int argc, const char* const* argv);
int argument_count();             // without the program's own name
std::string argument(int index);  // 1-based
// Drops the first argument (a "--" that only marks the rest as a file name).
void drop_first_argument();

// An option of the command line: its letter (0: a long name only), its long
// name and whether it takes a value ("-r 3", "-r3", "--rinex 3", "--rinex=3").
struct CommandOption {
  char letter;
  const char* longName;
  bool takesValue;
};
// An option given: its place in the table of options, and its value.
struct GivenOption {
  std::size_t index;
  std::string value;
};
// Reads the command line with the C library's option parser: options may
// stand before, between and after the operands, and "--" ends the options.
// Fills `given` in command-line order and `operands`. On an unknown option or
// a missing value returns false with `error` saying so ("unknown option '-x'",
// "option '--rinex' needs a value"). May be called any number of times.
bool parse_options(std::span<const CommandOption> options, std::vector<GivenOption>& given,
                   std::vector<std::string>& operands, std::string& error);

struct LocalTime {
  int year = 0, month = 0, day = 0, utcOffsetMinutes = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
LocalTime local_time();
double cpu_seconds();

// ---------------------------------------------------------------------------
// Leap seconds
// ---------------------------------------------------------------------------

// GPS-UTC in seconds (TAI-UTC - 19) at the GPS time `mjd` (Modified Julian
// Date) + `secondOfDay`. The value comes from the system's leap-second table
// (IERS format: "NTP-SECONDS TAI-UTC" lines, "#@ NTP-SECONDS" its expiry)
// when the epoch lies between its first entry and its expiry, otherwise from a table
// built into the program (known to 2026-06-28), and past both from the one
// that expires later; a missing, unreadable or malformed system table is
// not used. 0 before 1980.
int gps_leap_seconds(std::int64_t mjd, std::int64_t secondOfDay);
// The same at the current time of the system clock.
int gps_leap_seconds_now();
// The system's leap-second table; tests point set_leap_second_table at
// another file (it is read afresh on the next use).
inline constexpr std::string_view kSystemLeapSecondTable = "/usr/share/zoneinfo/leap-seconds.list";
void set_leap_second_table(std::string_view path);

// ---------------------------------------------------------------------------
// Formatted output
// ---------------------------------------------------------------------------

// One output item of a layout: an integer, a real, a text, a logical, or a
// list of reals or integers that supplies one item per element.
class Arg {
 public:
  enum class Kind { Integer, Real, Text, Logical, RealList, IntegerList };
  Arg(int v) : kind_(Kind::Integer), i_(v) {}
  Arg(long v) : kind_(Kind::Integer), i_(v) {}
  Arg(long long v) : kind_(Kind::Integer), i_(v) {}
  Arg(double v) : kind_(Kind::Real), d_(v) {}
  Arg(bool v) : kind_(Kind::Logical), i_(v ? 1 : 0) {}
  Arg(std::string_view v) : kind_(Kind::Text), s_(v) {}
  Arg(const std::string& v) : kind_(Kind::Text), s_(v) {}
  Arg(const char* v) : kind_(Kind::Text), s_(v) {}
  Arg(std::span<const double> v) : kind_(Kind::RealList), reals_(v) {}
  Arg(std::span<const int> v) : kind_(Kind::IntegerList), ints_(v) {}

  Kind kind() const { return kind_; }
  long long integer() const { return i_; }
  double real() const { return d_; }
  std::string_view text() const { return s_; }
  std::span<const double> reals() const { return reals_; }
  std::span<const int> integers() const { return ints_; }

 private:
  Kind kind_;
  long long i_ = 0;
  double d_ = 0.0;
  std::string_view s_;
  std::span<const double> reals_;
  std::span<const int> ints_;
};

// A parsed layout of edit descriptors: Iw, Iw.m, Fw.d, Dw.d, Ew.d, ESw.d, A, Aw, Lw,
// nX, "/", quoted literals ('text' or "text") and repeat groups n(...).
// Items are consumed left to right; when the items run out, output stops at
// the next data descriptor (literals, X and "/" before it are still written);
// when the layout runs out while items remain, it is used again from its last
// top-level group, starting a new line (format reversion). A layout that
// starts or ends with "/" writes an empty line there.
// Fields: Aw cuts or blank-pads the text on the right (texts are blank-padded
// fields); nX always writes n blanks, also at the end of a line; Fw.d keeps
// the minus sign of a negative value that rounds to zero (" -0.0") and drops
// the zero before the point when there is no room ("-.5"); Dw.d writes zero
// of either sign with a blank sign; ESw.d writes one digit before the point
// and d after it ("-1.674746163189E-04" in ES19.12), zero of either sign with
// a blank sign, and the three-digit exponents of Dw.d without the letter
// ("1.000000000000-100"). Letters may be lower case; blanks are
// ignored; widths and counts go up to 1000. A wrong item kind for a
// descriptor (a real for I, a text for D) aborts: it is a programming error.
class Layout {
 public:
  explicit Layout(std::string_view layout);  // aborts on a malformed layout
  ~Layout();
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  // Appends the lines to `out`, each ended by '\n'.
  void format(std::string& out, std::initializer_list<Arg> args) const;
  void format(std::string& out, std::span<const Arg> args) const;
  // Formats and writes the lines to `unit`. Returns 0 or an errno value.
  int write(int unit, std::initializer_list<Arg> args) const;
  int write(int unit, std::span<const Arg> args) const;

  struct Impl;

 private:
  Impl* impl_;
};

// Convenience for messages written once: parses `layout` and writes.
int write_layout(int unit, std::string_view layout, std::initializer_list<Arg> args);

// List-directed output: one line of a leading blank and the items, integers
// as their shortest decimal text, texts as they are, reals in their shortest
// round-trip form, logicals as T or F, separated by one blank. Without items
// the line is empty (an empty record).
int write_list(int unit, std::initializer_list<Arg> args);

// Single edit descriptors, each writing exactly `w` characters at `out`
// (asterisks when the value does not fit). Exposed for the exactness tests.
void put_I(char* out, long long value, int w, int m = -1);
void put_F(char* out, double value, int w, int d);
void put_D(char* out, double value, int w, int d);
void put_E(char* out, double value, int w, int d);
void put_ES(char* out, double value, int w, int d);

// The free-format text of an integer: a blank and its decimal digits, with a
// minus sign before the digits of a negative number (" 7", " -3").
std::string integer_text(long long value);

// base^0 to base^N as 64-bit integers, for the tables of the exact number
// conversions (the caller keeps base^N below 2^64).
template <std::size_t N>
constexpr std::array<std::uint64_t, N + 1> integer_powers(std::uint64_t base) {
  std::array<std::uint64_t, N + 1> powers{};
  powers[0] = 1;
  for (std::size_t k = 1; k <= N; ++k) powers[k] = powers[k - 1] * base;
  return powers;
}

// ---------------------------------------------------------------------------
// Free-format input
// ---------------------------------------------------------------------------

// The blanks of free-format input: the blank and the tab.
inline bool is_free_blank(char c) { return c == ' ' || c == '\t'; }

// A real number: optional sign, digits with an optional decimal point, an
// optional exponent introduced by E, e, D or d with optional sign. Nothing
// else (no blanks, no repeat counts, no NaN/Inf, no hexadecimal). A value
// beyond the largest double fails; a value below the smallest double reads as
// the nearest double (zero or subnormal). Locale-independent.
bool parse_real(std::string_view token, double& value);
// True when `token` has the form parse_real reads, whatever its magnitude:
// parse_real refuses such a token only because it overflows.
bool has_real_form(std::string_view token);

// An optionally signed decimal integer within the signed 32-bit range.
bool parse_int(std::string_view token, int& value);

// Splits numbers of a free-format line: blanks (and tabs) and commas
// separate, a comma between two blanks runs counts once. The line end before
// the line is a separator too, so blanks with one comma at the start of the
// line are passed over. A slash is no separator: it stays in its token (which
// parse_real then rejects). Yields the tokens left to right.
class NumberTokens {
 public:
  explicit NumberTokens(std::string_view line) : line_(line) {}
  // Next token, or false at the end of the line. An empty item between two
  // commas (or after the comma at the line's start) yields an empty token
  // (which parse_real rejects).
  bool next(std::string_view& token);

  // Next token read as a real number, as parse_real reads it: Ok (value
  // set), End (no token left) or NotANumber (value untouched). `token` is
  // the token unless End. Faster than next and parse_real.
  enum class Result { Ok, End, NotANumber };
  Result next_real(double& value, std::string_view& token);
  // The next numbers into `values` (count set to how many): Ok when all of
  // `values` are read, End when the line ends first, NotANumber at a token
  // that is no number (`token`). The fast way to read a line of numbers.
  Result next_reals(std::span<double> values, std::size_t& count, std::string_view& token);

 private:
  void skip_separator();

  std::string_view line_;
  std::size_t pos_ = 0;
};

// Item decoding of keyword lines: items separated by blanks or by a comma with
// optional blanks around it; an item may be delimited by double quotes or
// apostrophes (a doubled delimiter inside stands for one); an undelimited item
// ends before a blank, comma or slash; a slash outside a delimited item ends
// the line. Status of the next item: Ok (item set), EndOfLine (no item left),
// Slash (a slash ended the line before an item), Unterminated (a quoted item
// without its closing delimiter, or with text right after it as in 'ab'cd),
// Empty (nothing between two commas, or a comma at the start). Tabs count as
// blanks outside quotes.
// Strict decoding (the lines of the keyword input file) refuses a slash that
// touches an undelimited item, with SlashInItem ("out/", "/data/x", "a/b"):
// only a slash standing alone, between blanks, a comma or the line's ends,
// ends the line there. Without it, such an item ends before the slash.
enum class ItemResult { Ok, EndOfLine, Slash, Unterminated, Empty, SlashInItem };

class ItemDecoder {
 public:
  explicit ItemDecoder(std::string_view line, bool strict = false) : line_(line), strict_(strict) {}
  ItemResult next(std::string& item);
  // True when the item of the last Ok was delimited by quotes or apostrophes.
  bool quoted() const { return quoted_; }

 private:
  std::string_view line_;
  bool strict_;
  bool quoted_ = false;
  std::size_t pos_ = 0;
};

}  // namespace kavril::platform

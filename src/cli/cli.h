// The command line: the choice between a keyword input file and a direct run
// (options and broadcast files), the options of a direct run, its keyword
// table and where its report goes. The framework defines none of this.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inpkey/inpkey.h"
#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::cli {

// The usage error of --leap-seconds in a run that writes no RINEX 4.00 file:
// -r other than 4, or no -r and no RINEX input (whose outputs may be 4.00).
inline constexpr std::string_view kLeapSecondsWithout4 =
    "--leap-seconds is written only in RINEX 4.00 headers (-r 4, or RINEX 4 inputs)";

// A run from options and broadcast files (direct mode) instead of a keyword
// input file: what the options ask, with their defaults.
struct DirectRun {
  std::vector<std::string> brdFiles;  // "-": standard input
  std::string output;                 // one RINEX file for all inputs ("-": standard output)
  std::string folder;                 // folder of one RINEX file per input
  std::string extension = "rnx";      // of the RINEX names per input
  std::string agency;                 // of the RINEX header
  std::string constFile;              // blank: the built-in standard constants
  int version = 3;                    // RINEX 1, 2 (2.11), 3 (3.04) or 4 (4.00)
  bool versionGiven = false;          // -r given: else outputs of RINEX inputs keep their family's
  std::optional<int> leapSeconds;     // of the 4.00 header (--leap-seconds); none: from the tables
  bool quiet = false;                 // report only warnings and errors
  char answer = 0;                    // 'h' or 'V': answer that instead of running
  nav::Request analyst;               // selection, ordering, names, check, compression
};

// Set by read_command_line when the command line is a direct run.
extern std::optional<DirectRun> directRun;

// One option of a direct run: its names, whether it takes a value, and how
// it is taken into the run. `take` returns what is wrong with the value, or
// nothing. One row of kDirectOptions per option; the help text lists them.
struct DirectOption {
  platform::CommandOption names;
  std::string (*take)(DirectRun& run, const std::string& value);
};
extern const std::span<const DirectOption> kDirectOptions;

// The command line. A single argument "--help" or "-h" (usage and a summary
// of the keyword input file) or "--version" or "-V" is answered on standard
// output and ends the process with status 0. A command line without an input
// file (no argument, or only blank ones) writes the usage to standard error
// and ends it with status 1. A direct run (a command line holding an option
// of direct mode, or any that names no keyword input file) is read into
// directRun; a faulty one writes what is wrong and the usage to standard
// error and ends the process with status 1. Returns for a command line that
// names the keyword input file; a first argument "--" says so and is
// dropped. See mode.cpp for the choice.
void read_command_line();

// True when `argument` is an option: it starts with "-" and is longer.
bool is_option(std::string_view argument);

// True when the regular file `name` begins like a broadcast file (title,
// satellite record, numbers), also inside gzip: no output may replace it.
bool holds_broadcast_messages(const std::string& name);

// Reads the options and broadcast files of the command line into `run`.
// False with `error` set ("unknown option -x") when the command line is
// faulty.
bool parse_direct_run(DirectRun& run, std::string& error);

// The help text (usage, options, keywords read) and the version line on
// standard output; the head of the help alone on standard error.
void write_help();
void write_version();
void write_short_usage();

// Standard input or output as the user names them on the command line.
inline constexpr std::string_view kStandardStream = "-";
// Standard output as an output name of a direct run.
inline constexpr std::string_view kStandardOutput = "(standard output)";
// The name an output of -n is opened under in its folder ("out/" and this and
// a number), until its records decide its standard name.
inline constexpr std::string_view kUnnamedOutput = "kavril-unnamed-";

// The RINEX name that the broadcast file `input` of `run` is written to: -o,
// standard output for standard input (without -o or -d), else its name with
// the extension, in the folder of -d or beside it.
std::string rinex_name_of(const DirectRun& run, const std::string& input);

// Warns on standard error about the same broadcast file given twice.
void warn_repeated_inputs(const DirectRun& run);

// The options of selection, ordering, standard names, check and
// compression (analyst_options.cpp): their rows of the option table, the
// check of their combination (what is wrong, or nothing), and the RINEX
// names of the run's rows that they decide (`names` as the other options
// make them, `folder` of -d).
extern const std::span<const DirectOption> kAnalystOptions;
std::string analyst_run_error(DirectRun& run);
std::vector<std::string> analyst_names(const DirectRun& run, std::vector<std::string> names);

// Builds the keyword table of a direct run, as a keyword file holding the
// same keywords would give it, and names standard input and output ("-")
// and the built-in constants for the unit layer.
void direct_keywords(const DirectRun& run, t_inpkey& table);

// Takes the lines of the message unit in a direct run: each message block
// becomes one line "kavril: ..." on standard error.
void plain_message_line(std::string_view line);

// Sends the report of a direct run to standard error (only warnings and
// errors when `quiet`): standard output may carry a RINEX file. Messages
// are plain lines (plain_message_line), the interrupt line as well. Names the
// running program, which the title block does in a keyword run.
void direct_report(std::string_view pgmName, bool quiet);

}  // namespace kavril::cli

// Run framework: file opening, termination, the logical file numbers and the
// system output files, run timing, and the run report (title block, file-name
// listing).
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kavril {

// --- Logical file numbers and program name (module state) -----------------

extern int lfnSysInp;   // 5
extern int lfnPrint;    // 6, or lfnPrtFile
extern int lfnError;    // 6, lfnErrFile, or lfnPrint
extern int lfnFirst;    // 11
extern int lfnErrFile;  // 997
extern int lfnPrtFile;  // 998
extern int lfnLocal;    // 999

// Name of the running program (8 characters), blank until PRITIT sets it.
extern std::string pgmNam;
// Input file of the menu-auxiliary program; never set by this program.
extern std::string menuAuxFile;

// --- File opening ----------------------------------------------------------

// Opens `filNam` on `lfn`. status: OLD, NEW, UNKNOWN, SCRATCH, REPLACE (a file
// written whole, platform::OpenStatus::Replace) or blank; form:
// FORMATTED, UNFORMATTED, BINARY or blank; action: READONLY or blank. iostat
// 0 on success. Always followed by OPNERR.
void OPNFIL(int lfn, std::string_view filNam, std::string_view status, std::string_view form,
            std::string_view action, std::string_view spare, int& iostat);

// Reports a failed open (iostat modulo 256 not 0) and stops the run.
void OPNERR(int lfnMsg, int lfn, int iostat, std::string_view filNam, std::string_view caller);

// Reports that the file open on `lfn` could not be read (the system's
// reason, the number of lines read before) and stops the run. `who` opens
// the message, as "SR DEFCON" or "PG KAVRIL"; `status` is the errno value,
// or 0 for that of the unit's failed read. A read error is never taken for
// the end of a file.
[[noreturn]] void stop_on_read_error(int lfn, std::string_view who, int status = 0);

// Inquiry by unit or by file name (variables resolved in error mode); every
// argument is optional.
struct InquireArgs {
  std::optional<int> unit;
  std::optional<std::string> file;
  std::string* name = nullptr;
  bool* exist = nullptr;
  bool* opened = nullptr;
  int* number = nullptr;
};
void INQUIRE(const InquireArgs& args);

// --- Termination -----------------------------------------------------------

[[noreturn]] void EXITRC(int irCode);

// A last step that the main program may set for its own files: EXITRC calls
// it once, with the return code, before the exit steps (after the stop
// notice), so that a file it completes is one the exit steps may delete.
using ExitCleanup = void (*)(int irCode);
extern ExitCleanup exitCleanup;
// Files a run passed over on an error and went on without (an input of a
// direct run that cannot be read, an output refused its standard name): a
// run that would end with return code 0 ends with 2 when there are any.
extern int filesPassedOver;
void EXIT_MEN(int irCode);
void EXIT_DEL();
[[noreturn]] void EXIT_PGM(int irCode);

// Reports a failed allocation (status not 0) and stops the run.
void ALCERR(int status, std::string_view varName, std::span<const long long> extents,
            std::string_view caller);

// A run that ran out of memory (std::bad_alloc caught by the main program):
// keep_memory_for_stop holds back memory at the start; stop_out_of_memory
// gives it back, deletes the temporary files of the outputs being written
// (their names keep their earlier files), says so and stops the run with
// status 1. The outputs' completion step (exitCleanup) is not run.
void keep_memory_for_stop();
[[noreturn]] void stop_out_of_memory();

// Reports the notes of platform::take_temporary_file_notes on lfnError: a
// temporary file that could not be deleted (the user must remove it), a
// leftover of a killed run that was deleted.
void report_temporary_files();

// --- System output files -----------------------------------------------------

void OPNSYS();

// --- Run timing (module m_cpu) ---------------------------------------------

void CPU_START(bool measure);
void CPU_NOW(std::string_view label);
void CPU_END(int irCode);
// Duration in days as H:MM:SS.sss in a 13-character field.
void WRITE_TIME(std::string& text, double value);
// Year, month, day, UTC offset (minutes), hour, minute, second, millisecond.
void CLOCKS(std::array<int, 8>& values);
// Run date (06-DEC-26) and time (14:05).
void DATTIM(std::string& date, std::string& time);
// The same, and the same clock reading in universal time as "yyyymmdd hhmmss
// UTC" and a blank (20 characters).
void DATTIM(std::string& date, std::string& time, std::string& utc);

// --- Run report --------------------------------------------------------------

// The package and its version, as the title block and --version name them.
inline constexpr std::string_view kSoftwareTitle = "Orlanic GNSS Software, Version 5.2";

void PRITIT(std::string_view pgmName, std::string_view descr,
            std::optional<int> width = std::nullopt);
void PRFLNA(std::optional<int> lineWidth = std::nullopt);

}  // namespace kavril

// The plain messages of a direct run. The framework and the driver write
// their messages as blocks: a title line (" *** SR OPNERR: OPEN FAILED" for
// an error, " ### ..." for a warning) and detail lines ("FILE NAME : x").
// In a direct run the blocks come here, line by line, and each becomes one
// line on standard error in the manner of command-line tools:
//   kavril: nosuch.brd: No such file or directory
//   kavril: day.brd:92: Satellite number in columns 12 to 14 is not an integer: "ST "
//   kavril: warning: empty.brd: empty file, empty.rnx not written
// A block's plain form is one row of kPlainForms; a block without a row is
// still shown, as its title and values on one line.
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "platform/platform.h"

namespace kavril::cli {

namespace {

struct PlainForm {
  std::string_view title;  // the block's title, without its leading blank
  // The line after "kavril: ". {Label} stands for the value of the detail
  // line of that label, {1} or {2} for a detail line as it is, {?earlier},
  // {?now}, {?folder} and {?next line} for the notes below. Empty: the block is not shown (what
  // it says, another line has said).
  std::string_view form;
};

constexpr PlainForm kPlainForms[] = {
    {"*** SR OPNERR: OPEN FAILED", "{FILE NAME}: {REASON}{?folder}"},
    {"*** PG KAVRIL: Error reading broadcast file", "{File name}:{Line number}: {Reason}"},
    {"*** PG KAVRIL: Error reading RINEX navigation file", "{File name}:{Line number}: {Reason}"},
    {"*** PG KAVRIL: RINEX file would overwrite a file of this run",
     "{RINEX file}: not written: it would overwrite {Same file}, a file of this run"},
    {"*** PG KAVRIL: Cannot write RINEX file", "{File name}: {Reason}"},
    {"### PG KAVRIL: Incomplete RINEX file deleted", "{File name}: incomplete, not kept{?now}"},
    {"### PG KAVRIL: Broadcast file is empty", "warning: {File name}: empty file"},
    {"### PG KAVRIL: Broadcast file is empty, RINEX file not written",
     "warning: {File name}: empty file, {RINEX file} not written{?earlier}"},
    {"### PG KAVRIL: No messages written, RINEX file not written",
     "warning: {File name}: no messages written, not written{?earlier}"},
    {"*** PG KAVRIL: Standard name refused, RINEX file not written", "{File name}: {Reason}, not written"},
    {"### PG KAVRIL: No messages to name the RINEX file by",
     "warning: {File name}: no messages to name the output by (-n {Name ID}), not written"},
    {"*** PG KAVRIL: Lines after the end of the messages not read",
     "{File name}:{Line number}: lines after the end of the messages not read"},
    {"### PG KAVRIL: RINEX file started again, earlier records replaced",
     "warning: {File name}: started again for input {Row}, its earlier records replaced"},
    {"*** SR RXWTNR3: Epoch of the record cannot be written in RINEX 3.04",
     "satellite {Satellite}: epoch {Clock ref.} cannot be written in RINEX 3.04"},
    {"*** PG KAVRIL: Cannot read file", "{File name}:{?next line}: cannot read: {Reason}"},
    {"*** SR DEFCON: Cannot read file", "{File name}:{?next line}: cannot read: {Reason}"},
    {"*** PG KAVRIL: RINEX file written but not made durable", "{File name}: written but not made durable: {Reason}"},
    {"### PG KAVRIL: RINEX file not written, earlier file kept",
     "warning: {File name}: not written (the earlier file is left as it was)"},
    {"### PG KAVRIL: Temporary file could not be deleted",
     "warning: {File name}: temporary file could not be deleted: {Reason}"},
    {"*** PG KAVRIL: Out of memory", "out of memory"},
    {"### PG KAVRIL: Leftover temporary file deleted",
     "warning: {File name}: leftover temporary file of an ended run deleted"},
    {"*** SR DEFCON: ERROR DECODING DATA ON THE FOLLOWING LINE:", "constants file: value not a number: {1}"},
    {"### SR OPNFIL: Problem to access file for opening", "warning: {File name}: {2}"},
    {"### SR EXITRC: PROGRAM HAS BEEN STOPPED IN OPNFIL", ""},
    {"### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING INITIALIZATION", ""},
    {"### SR EXITRC: PROGRAM HAS BEEN STOPPED DURING EXITING", ""},
};

// A block as written: its title and its detail lines.
struct Block {
  std::string title;
  std::vector<std::string> details;
};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : platform::trim_right(text.substr(first));
}

// The value of the detail line "Label : value" ("Label: value") of `label`.
std::string value_of(const Block& block, std::string_view label) {
  for (const std::string& line : block.details) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && trimmed(std::string_view(line).substr(0, colon)) == label)
      return std::string(trimmed(std::string_view(line).substr(colon + 1)));
  }
  return {};
}

// What a name holds after the run left it: an earlier file, or nothing.
std::string earlier_file_note(const Block& block) {
  std::string name = value_of(block, "RINEX file");
  if (name.empty()) name = value_of(block, "File name");
  platform::FileId id;
  if (platform::is_special_name(name) || !platform::existing_file_id(name, id)) return {};
  return " (the earlier file is left as it was)";
}

// For a name that cannot be opened because a folder of it is missing: the
// first folder of the name that does not exist.
std::string missing_folder_note(const Block& block) {
  const std::string name = value_of(block, "FILE NAME");
  if (value_of(block, "IOSTAT") != "2") return {};
  platform::FileId id;
  for (std::size_t slash = name.find('/', 1); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    const std::string folder = name.substr(0, slash);
    if (!platform::existing_file_id(folder, id)) return " (no folder " + folder + ")";
  }
  return {};
}

// The number of the line that could not be read: the one after the lines read.
std::string next_line_number(const Block& block) {
  int linesRead = 0;
  if (!platform::parse_int(value_of(block, "Lines read"), linesRead) || linesRead < 0) return "?";
  return std::to_string(static_cast<long long>(linesRead) + 1);
}

// A value as the user knows it: an output of -n, still under the name it is
// opened under, is the output named by -n.
std::string shown_name(std::string value) {
  const std::size_t slash = value.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  if (value.compare(base, kUnnamedOutput.size(), kUnnamedOutput) == 0 &&
      value.find_first_not_of("0123456789", base + kUnnamedOutput.size()) == std::string::npos)
    value.replace(base, std::string::npos, "(the output named by -n)");
  return value;
}

std::string detail_line(const Block& block, std::size_t index) {
  return index < block.details.size() ? std::string(trimmed(block.details[index])) : std::string();
}

std::string value_or(std::string text, std::string_view otherwise) {
  return text.empty() ? std::string(otherwise) : text;
}

std::string filled(std::string_view form, const Block& block) {
  std::string line;
  for (std::size_t open; (open = form.find('{')) != std::string_view::npos;) {
    const std::size_t close = form.find('}', open);
    const std::string_view name = form.substr(open + 1, close - open - 1);
    line += form.substr(0, open);
    if (name == "1" || name == "2") line += detail_line(block, static_cast<std::size_t>(name[0] - '1'));
    else if (name == "?earlier") line += earlier_file_note(block);
    else if (name == "?now") line += value_or(earlier_file_note(block), " (no file of that name)");
    else if (name == "?folder") line += missing_folder_note(block);
    else if (name == "?next line") line += next_line_number(block);
    else line += shown_name(value_of(block, name));
    form.remove_prefix(close + 1);
  }
  return line + std::string(form);
}

// A block without a plain form: its title without the writer's name, then
// its values.
std::string generic_form(const Block& block) {
  std::string_view title = block.title;
  const bool warning = title.starts_with("###");
  title.remove_prefix(std::min<std::size_t>(title.size(), 4));
  if (const std::size_t colon = title.find(": "); colon != std::string_view::npos && colon < 12)
    title.remove_prefix(colon + 2);
  std::string line = (warning ? "warning: " : "") + std::string(trimmed(title));
  for (const std::string& detail : block.details) {
    const std::size_t colon = detail.find(':');
    line += "; " + std::string(trimmed(colon == std::string::npos ? std::string_view(detail)
                                                                    : std::string_view(detail).substr(colon + 1)));
  }
  return line;
}

std::string plain_form(const Block& block) {
  for (const PlainForm& row : kPlainForms) {
    if (block.title == row.title) return row.form.empty() ? std::string() : "kavril: " + filled(row.form, block);
  }
  return "kavril: " + generic_form(block);
}

// The block being written; it ends at a blank line or the next title.
Block pending;
bool blockOpen = false;

void finish_block() {
  if (!blockOpen) return;
  blockOpen = false;
  if (const std::string line = plain_form(pending); !line.empty()) platform::write_line(platform::kStdErr, line);
}

bool is_title(std::string_view line) {
  const std::string_view text = trimmed(line);
  return text.starts_with("***") || text.starts_with("###");
}

}  // namespace

void plain_message_line(std::string_view line) {
  if (platform::is_blank(line)) return finish_block();
  if (is_title(line)) {
    finish_block();
    pending = Block{std::string(trimmed(line)), {}};
    blockOpen = true;
    return;
  }
  if (!blockOpen) {
    platform::write_line(platform::kStdErr, "kavril: " + std::string(trimmed(line)));
    return;
  }
  pending.details.emplace_back(line);
}

}  // namespace kavril::cli

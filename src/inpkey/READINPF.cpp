// Reads the keyword input file into the keyword table. The file is read
// twice: the first pass counts the keyword lines and checks each with its
// values, so that the first faulty line of the file is the one reported and
// the second pass fills a record list created at its final size.
#include <algorithm>
#include <array>
#include <utility>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::string_view kRoutine = "readInpf";
constexpr std::string_view kQuote = "\"";
// A line with at least this many double quotes is a value taken verbatim.
constexpr int kVerbatimQuotes = 3;

// A line of the keyword file as NEXTLINE gives it (empty at the end of the
// keywords), with its 1-based number in the file for the reports.
struct FileLine {
  std::string text;
  long number = 0;
};

FileLine next_line() {
  FileLine line;
  line.text = NEXTLINE(lfnLocal, 1);
  line.number = platform::line_number(lfnLocal);
  return line;
}

[[noreturn]] void report_bad_line(const t_inpkey& table, const FileLine& line,
                                  std::string_view what = "Error decoding keyword line") {
  write_keyword_line_block("*** SR READKEYS: " + std::string(what), table.inpFilNam, line.text, line.number);
  EXITRC(2);
}

// Decodes the first items of a line of the keyword file into `items` (as
// decode_items counts them) and stops the run on a line that cannot be
// decoded, naming a slash that touches an unquoted item. `countAt` is the
// index of the item that is a value count, which must not be quoted.
int decode_line(const t_inpkey& table, const FileLine& line, std::span<std::string> items,
                std::size_t countAt = std::dynamic_extent) {
  platform::ItemDecoder decoder(line.text, true);
  std::string item;
  for (std::size_t k = 0; k < items.size(); ++k) {
    switch (decoder.next(item)) {
      case platform::ItemResult::Ok:
        if (k == countAt && decoder.quoted()) report_bad_line(table, line);
        items[k] = item;
        break;
      case platform::ItemResult::Slash:
        return static_cast<int>(k);
      case platform::ItemResult::SlashInItem:
        report_bad_line(table, line, "Value holding a slash must be in double quotes");
      default:  // out of items, an empty item, an unterminated quote
        return -1;
    }
  }
  return static_cast<int>(items.size());
}

// The keyword and the value count of a keyword line, or a stop when they
// cannot be decoded (a slash before the count, a quoted count).
void decode_keyword_line(const t_inpkey& table, const FileLine& line, std::string& keyWord,
                         int& count) {
  std::array<std::string, 2> items;
  if (decode_line(table, line, items, 1) != 2 || !platform::parse_int(items[1], count))
    report_bad_line(table, line);
  keyWord = std::move(items[0]);
}

// The value of a keyword line with count 1: its third item, or the line from
// its first double quote on when the value is verbatim.
std::string keyword_line_value(const t_inpkey& table, const FileLine& line) {
  int firstQuote = 0;
  if (CHRCOUNT(kQuote, line.text, firstQuote) >= kVerbatimQuotes) {
    return line.text.substr(static_cast<std::size_t>(firstQuote - 1));
  }
  std::array<std::string, 3> items;
  if (decode_line(table, line, items, 1) < 2) report_bad_line(table, line);
  return items[2];
}

// True when `text` starts with a keyword of `known` followed by a value
// count: a keyword line, not a value.
bool is_keyword_line(std::string_view text, std::span<const std::string> known) {
  if (known.empty()) return false;
  platform::ItemDecoder decoder(text, true);
  std::string keyWord, count;
  if (decoder.next(keyWord) != platform::ItemResult::Ok ||
      std::find(known.begin(), known.end(), keyWord) == known.end()) {
    return false;
  }
  int number = 0;
  return decoder.next(count) == platform::ItemResult::Ok && !decoder.quoted() && platform::parse_int(count, number);
}

// The value of the next value line: its first item, or the whole line when
// the value is verbatim. Missing value lines are reported at the keyword line:
// at the end of the file, and where a keyword line of `known` follows too
// soon (taking it as a value would shift every keyword after it).
std::string value_line_value(const t_inpkey& table, const FileLine& keyLine, std::span<const std::string> known) {
  const FileLine line = next_line();
  if (line.text.empty() || is_keyword_line(line.text, known)) {
    report_bad_line(table, keyLine, "Fewer value lines than the count of the keyword line");
  }
  int firstQuote = 0;
  if (CHRCOUNT(kQuote, line.text, firstQuote) >= kVerbatimQuotes) return line.text;
  std::array<std::string, 1> items;
  if (decode_line(table, line, items) < 0) report_bad_line(table, line);
  return items[0];
}

// Reads a keyword line and its values. `values` null (the counting pass):
// the values are decoded and dropped, so that every line is checked in file
// order before anything is created and the first faulty line is the one
// reported. Otherwise `values` is created and filled. A value line that is a
// keyword line of `known` is refused (the filling pass, reading lines the
// counting pass has checked, passes no names).
void read_keyword(const t_inpkey& table, const FileLine& line, std::span<const std::string> known,
                  std::string& keyWord, int& count, std::vector<std::string>* values) {
  decode_keyword_line(table, line, keyWord, count);
  if (values != nullptr) {
    const int nValues = count == 0 ? 1 : count;
    create_checked(
        [&] { values->assign(static_cast<std::size_t>(std::max(nValues, 0)), std::string()); },
        "inpKey%keys(ikey)%value", {nValues}, "readkeys");
  }
  std::string value;
  if (count == 1) value = keyword_line_value(table, line);
  if (count == 1 && values != nullptr) (*values)[0] = std::move(value);
  for (int j = 0; count > 1 && j < count; ++j) {
    value = value_line_value(table, line, known);
    if (values != nullptr) (*values)[static_cast<std::size_t>(j)] = std::move(value);
  }
}

// Counting pass: the number of keyword lines, each read and checked whole.
int count_keyword_lines(const t_inpkey& table, std::span<const std::string> known) {
  int nKey = 0;
  for (FileLine line = next_line(); !line.text.empty(); line = next_line()) {
    ++nKey;
    std::string keyWord;
    int count = 0;
    read_keyword(table, line, known, keyWord, count, nullptr);
  }
  return nKey;
}

void fill_record(t_inpkey& table, const FileLine& line, t_key& key) {
  std::string keyWord;
  int count = 0;
  read_keyword(table, line, {}, keyWord, count, &key.value);
  key.name = platform::trim_right(platform::fit(keyWord, kKeyNameLength));
  key.hasValue = true;
  key.line = platform::trim_right(line.text);
  key.lineNumber = line.number;
  if (count >= 1) {
    for (std::string& value : key.value) strip_hash_marks(value);
  }

  if (platform::same_text(key.name, "DELETE_FILES")) {
    const auto nDel = key.value.begin() + std::max(count, 0);
    create_checked([&] { table.delFil.assign(key.value.begin(), nDel); }, "inpKey%delFil", {count},
                   kRoutine);
    table.nDel = static_cast<int>(table.delFil.size());
  }
}

// An entry of the deletion list that names a keyword stands for the first
// value of that keyword.
void resolve_deletion_list(t_inpkey& table) {
  for (std::string& entry : table.delFil) {
    const auto named = std::find_if(table.keys.begin(), table.keys.end(), [&](const t_key& key) {
      return platform::same_text(key.name, entry);
    });
    if (named != table.keys.end()) entry = named->value.empty() ? std::string() : named->value[0];
  }
}

}  // namespace

void READINPF(std::string_view filNam, t_inpkey& table, std::span<const std::string_view> keywordsRead) {
  if (table.runPhase >= 1 && !platform::is_blank(filNam) &&
      platform::same_text(filNam, table.inpFilNam)) {
    return;
  }
  INIT_INPKEY(table);
  table.runPhase = 1;
  if (platform::is_blank(filNam)) {
    MYGETARG(table.inpFilNam);
  } else {
    table.inpFilNam = platform::trim_right(platform::fit(filNam, kKeyValueLength));
  }

  int ioStat = 0;
  OPNFIL(lfnLocal, table.inpFilNam, "OLD", "FORMATTED", "READONLY", " ", ioStat);
  OPNERR(lfnError, lfnLocal, ioStat, table.inpFilNam, kRoutine);
  // Read twice: a keyword file given as a pipe is kept for the second pass.
  if (const int rc = platform::make_rewindable(lfnLocal); rc != 0) stop_on_read_error(lfnLocal, "SR READKEYS", rc);

  const int nKey = count_keyword_lines(table, keyword_names_read(keywordsRead));
  table.nKey = nKey;
  create_checked([&] { table.keys.assign(static_cast<std::size_t>(nKey), t_key{}); }, "inpKey%keys",
                 {nKey}, kRoutine);
  for (t_key& key : table.keys) INIT_KEY(key);

  if (const int rc = platform::rewind_unit(lfnLocal); rc != 0) stop_on_read_error(lfnLocal, "SR READKEYS", rc);
  for (t_key& key : table.keys) fill_record(table, next_line(), key);
  platform::close_unit(lfnLocal);

  resolve_deletion_list(table);
  table.runPhase = 2;
}

}  // namespace kavril

// Reads the keyword input file into the keyword table. The file is read
// twice: the first pass counts the keyword lines (and checks that each can be
// decoded and has its value lines), so that the second pass fills a record
// list created at its final size.
#include <algorithm>
#include <array>
#include <utility>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr std::string_view kRoutine = "readInpf";
constexpr std::string_view kQuote = "\"";
// A line with at least this many double quotes is a value taken verbatim.
constexpr int kVerbatimQuotes = 3;

[[noreturn]] void report_bad_line(const t_inpkey& table, std::string_view line) {
  static const platform::Layout kBadLine("(/,A,/,A,A,/,A,A,/)");
  kBadLine.write(lfnError, {"*** SR READKEYS: Error decoding keyword line",
                            "                 panel: ", platform::trim_right(table.inpFilNam),
                            "                 line : ", printable(platform::trim_right(line))});
  EXITRC(2);
}

// The keyword and the value count of a keyword line; false when they cannot
// be decoded (a slash before the count included).
bool decode_keyword_line(std::string_view line, std::string& keyWord, int& count) {
  std::array<std::string, 2> items;
  if (decode_items(line, items) != 2) return false;
  keyWord = std::move(items[0]);
  return platform::parse_int(items[1], count);
}

// Counting pass: the number of keyword lines.
int count_keyword_lines(const t_inpkey& table) {
  int nKey = 0;
  for (std::string line = NEXTLINE(lfnLocal, 1); !line.empty(); line = NEXTLINE(lfnLocal, 1)) {
    ++nKey;
    std::string keyWord;
    int count = 0;
    if (!decode_keyword_line(line, keyWord, count)) report_bad_line(table, line);
    for (int j = 0; count > 1 && j < count; ++j) {
      if (NEXTLINE(lfnLocal, 1).empty()) report_bad_line(table, line);
    }
  }
  return nKey;
}

// The value of a keyword line with count 1: its third item, or the line from
// its first double quote on when the value is verbatim.
std::string keyword_line_value(const t_inpkey& table, const std::string& line) {
  int firstQuote = 0;
  if (CHRCOUNT(kQuote, line, firstQuote) >= kVerbatimQuotes) {
    return line.substr(static_cast<std::size_t>(firstQuote - 1));
  }
  std::array<std::string, 3> items;
  if (decode_items(line, items) < 2) report_bad_line(table, line);
  return items[2];
}

// The value of the next value line: its first item, or the whole line when
// the value is verbatim.
std::string value_line_value(const t_inpkey& table, const std::string& keyLine) {
  const std::string line = NEXTLINE(lfnLocal, 1);
  if (line.empty()) report_bad_line(table, keyLine);
  int firstQuote = 0;
  if (CHRCOUNT(kQuote, line, firstQuote) >= kVerbatimQuotes) return line;
  std::array<std::string, 1> items;
  if (decode_items(line, items) < 0) report_bad_line(table, line);
  return items[0];
}

void fill_record(t_inpkey& table, const std::string& line, t_key& key) {
  std::string keyWord;
  int count = 0;
  if (!decode_keyword_line(line, keyWord, count)) report_bad_line(table, line);
  key.name = platform::trim_right(platform::fit(keyWord, kKeyNameLength));

  const int nValues = count == 0 ? 1 : count;
  create_checked(
      [&] { key.value.assign(static_cast<std::size_t>(std::max(nValues, 0)), std::string()); },
      "inpKey%keys(ikey)%value", {nValues}, "readkeys");
  key.hasValue = true;
  if (count == 1) key.value[0] = keyword_line_value(table, line);
  for (int j = 0; count > 1 && j < count; ++j) key.value[j] = value_line_value(table, line);
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

void READINPF(std::string_view filNam, t_inpkey& table) {
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

  const int nKey = count_keyword_lines(table);
  table.nKey = nKey;
  create_checked([&] { table.keys.assign(static_cast<std::size_t>(nKey), t_key{}); }, "inpKey%keys",
                 {nKey}, kRoutine);
  for (t_key& key : table.keys) INIT_KEY(key);

  platform::rewind_unit(lfnLocal);
  for (t_key& key : table.keys) fill_record(table, NEXTLINE(lfnLocal, 1), key);
  platform::close_unit(lfnLocal);

  resolve_deletion_list(table);
  table.runPhase = 2;
}

}  // namespace kavril

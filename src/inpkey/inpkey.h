// Input file and keywords: the keyword table, lookup, variable substitution,
// file names from keywords, and the option checks.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kavril {

// --- Module m_orln -------------------------------------------------------

// Keyword record: the keyword (32 characters) and its owned list of values
// (255 characters each, blank-padded or shorter; trailing blanks never
// matter). `value` is empty after INIT_KEY; `hasValue` tells a created list
// from no list. `line` and `lineNumber` are the keyword line as read (left-
// adjusted, without trailing blanks) and its 1-based number in the file, for
// the messages about it; empty and 0 for a record not read from a file
// (their default initializers let such records be written {name, value,
// hasValue}).
struct t_key {
  std::string name;
  std::vector<std::string> value;
  bool hasValue = false;
  std::string line{};
  long lineNumber = 0;
};

void INIT_KEY(t_key& key);

// --- Module d_inpkey -----------------------------------------------------

struct t_inpkey {
  std::string inpFilNam;      // name of the input file (the command line is never cut)
  int nKey = 0;               // number of keyword records
  std::vector<t_key> keys;    // records in file order
  int nDel = 0;               // number of entries of delFil
  std::vector<std::string> delFil;  // files to delete at exit
  int inOpnfil = 0;           // -1 while OPNFIL runs, else 0
  int runPhase = 0;           // 0 initialised, 1 reading, 2 complete, 3 terminating
};

// The one keyword table of the program.
extern t_inpkey inpKey;

inline constexpr std::size_t kKeyNameLength = 32;
inline constexpr std::size_t kKeyValueLength = 255;

void INIT_INPKEY(t_inpkey& table);

// Reads the keyword input file `filNam` (blank: the command line) into
// `table`. Every failure stops the program. `keywordsRead`, the keywords the
// calling program reads, lets the reader refuse a value line that is a
// keyword line of one of them (or of their DESCR_ and MSG_ companions)
// followed by a count: the keyword line above has fewer value lines than
// its count. Without the list there is no such check.
void READINPF(std::string_view filNam, t_inpkey& table,
              std::span<const std::string_view> keywordsRead = {});

// The names of `keywordsRead` and of their DESCR_ and MSG_ companions: each
// name followed by its two companions.
std::vector<std::string> keyword_names_read(std::span<const std::string_view> keywordsRead);

// True when `name` is not `known` but may be a misspelling of it: it differs
// from `known` only in letter case, or, when `known` has at least five
// characters, also (case aside) by one character inserted, deleted or
// changed, or by two neighbouring characters swapped.
bool near_keyword(std::string_view name, std::string_view known);

// Warns about every keyword line of the complete keyword table whose keyword
// the program does not read but which is a near miss (near_keyword) of one of
// `keywordsRead` or their companions; the hint names the first such keyword.
// Other unknown keywords, which may belong to other programs, stay silent.
// Writes to the message unit, so it runs once the system files are open.
void CKKEYNAM(std::span<const std::string_view> keywordsRead);

// The message block about one line of the keyword file `panel`: the message
// line `first`, the line (non-printable bytes shown as "?") and its number,
// and the hint when there is one; framed by empty lines, on the message unit.
void write_keyword_line_block(std::string_view first, std::string_view panel, std::string_view line,
                              long number, std::string_view hint = {});

// Next line of `lfn` that is neither blank nor a comment (255 characters),
// shifted left when `adjust` is 1; a blank text at the end of the file, on a
// read error, or after more than 1000 blank lines.
std::string NEXTLINE(int lfn, int adjust);

// All command-line arguments joined with single blanks (never cut).
void MYGETARG(std::string& text);

// Number of occurrences of the first character of `chr` in `text`; `first`
// receives the 1-based position of the first occurrence, or 0.
int CHRCOUNT(std::string_view chr, std::string_view text, int& first);

// Decodes the next items of `line` into `items`, in order, by the free-format
// item rules of the keyword file. Returns the number of items set: fewer than
// items.size() when a slash ended the line first (the items not reached keep
// their content); -1 when the line ran out, or held an empty or unterminated
// item, before all items were decoded.
int decode_items(std::string_view line, std::span<std::string> items);

// Post-processing of a decoded keyword value: "#text#" becomes "text", and a
// double-quoted field "#text#" inside the value loses its two "#".
void strip_hash_marks(std::string& value);

// Runs `create`, which makes a list at its final size, and hands a failed
// allocation to ALCERR (variable name, extents, routine), which stops the run.
void create_checked(const std::function<void()>& create, std::string_view varName,
                    std::initializer_list<long long> extents, std::string_view caller);

// --- Keyword lookup ------------------------------------------------------

// Replaces `keyValue` by a copy of the values of `keyWord`; irCode 0 when
// found. Blank: the input file name; "*": all keyword names; "DUMMY_KEY":
// no message when missing.
void READKEYS(std::string_view keyWord, std::vector<std::string>& keyValue, int& irCode);

// True when the table is complete and holds `keyWord`. Writes nothing.
bool TSTKEY(std::string_view keyWord);

// --- Variable substitution -----------------------------------------------

// Replaces ${NAME} and $N references in `text` (in place, at its length;
// a text shorter than 255 characters may grow to at most 255) by the
// definitions of keyword ENVIRONMENT. Mode 0 silent, 1 warnings, 2 errors.
void RPLENVAR(int mode, std::string& text);

// --- File names from keywords --------------------------------------------

// The file name of `keyWord`: obligatory when mustFlag is 1. irCode 0 when a
// non-blank name was found, 1 otherwise. "DEFNAM" changes nothing.
void GTFLNA(int mustFlag, std::string_view keyWord, std::string& filNam, int& irCode);

// Matrix of file names indexed (column, file) from (1, 1).
class FileNameMatrix {
 public:
  void reset(int nCol, int nFil, std::size_t elementLength);
  std::string& at(int col, int fil) { return cells_[index(col, fil)]; }
  const std::string& at(int col, int fil) const { return cells_[index(col, fil)]; }
  int columns() const { return nCol_; }
  int files() const { return nFil_; }
  std::size_t elementLength() const { return length_; }

 private:
  std::size_t index(int col, int fil) const {
    return static_cast<std::size_t>(fil - 1) * static_cast<std::size_t>(nCol_) +
           static_cast<std::size_t>(col - 1);
  }
  int nCol_ = 0, nFil_ = 0;
  std::size_t length_ = 255;
  std::vector<std::string> cells_;
};

// The files of `keyWord` (column 1) and the names derived from them with the
// column path and extension keywords (columns 2 to nCol). Elements are cut to
// `elementLength` characters.
void GTFILE2(std::string_view keyWord, int nCol, int& nFil, FileNameMatrix& filnam,
             std::size_t elementLength = 255);

// Splits a file name into device, directory, name and extension.
// mode 1: parts keep their separators. irCode 0, 1 empty, 2 malformed.
void FPARSE(int mode, std::string& fileSpec, std::string& device, std::string& dir,
            std::string& name, std::string& ext, int& irCode);

// Position of the last character that is neither a blank nor a NUL, 0 if none.
int LENGT0(std::string_view text);

// --- Option checks -------------------------------------------------------

// The option description of `keyName` from its MSG_ or DESCR_ companion, at
// most descrLen characters; blank when there is none.
void DESCRP(std::string_view keyName, int descrLen, std::string& descr);

// Optional arguments of CKOPTI (absent when not set).
struct CkoptiOptional {
  std::optional<int> emptyVal;
  std::optional<int> lowLimit;
  std::optional<int> upLimit;
  std::optional<std::string> colTitle;
  std::optional<int> lineNum;
  std::optional<std::string> entryTitle;
  std::optional<int> maxVal;
  std::optional<int> initVal;
  std::optional<int> errorVal;
  int* numBad = nullptr;
  int* numGood = nullptr;
  int* firstResult = nullptr;
  int* numValues = nullptr;
  std::vector<int>* result = nullptr;  // its size limits the number of values
};

void CKOPTI(int severity, std::string_view keyName, const std::vector<std::string>& values,
            std::string_view callerName, std::string_view optDescr, int readStatus,
            int& errCount, const CkoptiOptional& opt = {});

void CKOPTN(int severity, std::string_view keyName, const std::vector<std::string>& values,
            int& numItems, std::string_view callerName, std::string_view optDescr,
            int& errCount, int maxItems);

// Optional arguments of CKOPTB.
struct CkoptbOptional {
  std::optional<std::string> colTitle;
  std::optional<int> lineNum;
  std::optional<std::string> entryTitle;
  std::optional<int> initVal;
  std::optional<int> errorVal;
  int* selIndex = nullptr;
  bool* selFlag = nullptr;
};

void CKOPTB(int severity, std::span<const std::string> keyNames, std::string_view callerName,
            std::string_view optDescr, int& errCount, const CkoptbOptional& opt = {});

// Module m_ckopt: the report pieces that CKOPTB, CKOPTI and CKOPTN share.
namespace m_ckopt {

inline constexpr int kDescrLength = 45;  // longest option description shown

// " ### SR <routine>: " for severity 0, " *** SR <routine>: " otherwise.
std::string prefix(std::string_view routine, int severity);

// The description of keyName from the keyword table, else the first 45
// characters of the caller's description.
std::string option_description(std::string_view keyName, std::string_view optDescr);

// Report lines: an empty line and the header from column 1; a detail line of
// 16 blanks, a 13-character label and a text or a number in 5 columns.
void append_header(std::string& block, std::string_view header);
void append_detail(std::string& block, std::string_view label, std::string_view text);
void append_detail(std::string& block, std::string_view label, int number);

// The header followed by the "Input file:", "Called by:" and "Option:" lines.
void append_report_head(std::string& block, std::string_view header, std::string_view callerName,
                        std::string_view description);

// Free-format texts of two integers, the shorter prefixed with blanks to the
// length of the longer, and to at least minWidth.
void aligned_integer_texts(long long a, long long b, std::size_t minWidth, std::string& aText,
                           std::string& bText);

// Warning about a caller's description longer than 45 characters.
void write_description_warning(std::string_view routine, std::string_view optDescr,
                               std::string_view keywordLine);

// Block about a severity other than 0 or 1; stops the run. The keyword line
// is left out when blank.
[[noreturn]] void stop_severity_misuse(std::string_view routine, std::string_view keywordLine);

// errCount + count, held at the largest int instead of overflowing.
void add_errors(int& errCount, int count);

}  // namespace m_ckopt

}  // namespace kavril

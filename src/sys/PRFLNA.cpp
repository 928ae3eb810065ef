// PRFLNA: the list of described input and output files in the program
// output. Every keyword DESCR_<F> of the input file describes the file
// keyword F; known system files come first, known auxiliary and summary
// files last, all others in input-file order between them.
#include <algorithm>
#include <array>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr int kDefaultWidth = 79;
constexpr int kMaxWidth = 255;
constexpr std::size_t kUnderlineLength = 26;
constexpr std::size_t kFileNameLength = 32;
constexpr std::string_view kDescrPrefix = "DESCR_";
constexpr int kUnlistedRank = 1000;

// Files listed first, in this order.
constexpr std::array<std::string_view, 45> kFirstFiles = {
    "CONST",   "DATUM",   "GPSUTC",  "JPLEPH",  "POTCOE",  "SETIDES", "OTIDES",  "ALBEMIS",
    "ALBREFL", "SATCRUX", "SATELL",  "PHASECC", "ANTAZI",  "RECEIVR", "FRQINFO", "NUTMOD",
    "SUBMOD",  "POLE",    "STDORB",  "STDOR1",  "RPRCOE",  "TABFIL",  "SATCLK",  "RXCLKIN",
    "DCBINP",  "ISBINP",  "ABBREV",  "STAINFO", "STAFILE", "COORD",   "COORD1",  "COORD2",
    "CRDINP",  "CRDMTR",  "VELOS",   "VELAPR",  "VELINP",  "VELMTR",  "VELOCI",  "ECCENT",
    "OCNLOAD", "ATMLOAD", "STAWGT",  "TROPEST", "IONOS"};

// Files listed last, in this order.
constexpr std::array<std::string_view, 27> kLastFiles = {
    "REPOSSUM", "SUMOUT",  "SUMFIL",  "SUMACC",  "SUMMARY", "HISTOGRAM",    "SMCINO",
    "SMEINO",   "WEKSUM",  "WKSSUM",  "RESID",   "RESPLOT", "PLOTSKL",      "PLOTRS",
    "PLTFIL",   "RESIDRS", "SYSOUT",  "SYSERR",  "AUXFIL",  "AUXCOD",       "AUXFIL1",
    "AUXFIL2",  "AUXPHS",  "OBCOPY",  "SCRATCH", "TABAUX",  "SESSION_TABLE"};

const platform::Layout kHead("(A,/,1X,A,//,1X,A)");
const platform::Layout kFileLine("(1X,A32,A2,A)");
const platform::Layout kTail("(1X,A,//)");

// The file keyword that a keyword name describes, or false when the name
// does not start with DESCR_.
bool described_file(std::string_view name, std::string& fileKeyword) {
  if (name.substr(0, kDescrPrefix.size()) != kDescrPrefix) return false;
  fileKeyword = platform::fit(name.substr(kDescrPrefix.size()), kKeyNameLength);
  return true;
}

// Listing rank: 0 for no description, the position in the first list,
// 1000 for a file of neither list, 1000 + the position in the last list.
int listing_rank(std::string_view name) {
  std::string file;
  if (!described_file(name, file)) return 0;
  int rank = kUnlistedRank;
  for (std::size_t j = 0; j < kFirstFiles.size(); ++j) {
    if (platform::same_text(file, kFirstFiles[j])) {
      rank = static_cast<int>(j) + 1;
      break;
    }
  }
  for (std::size_t j = 0; j < kLastFiles.size(); ++j) {
    if (platform::same_text(file, kLastFiles[j])) {
      rank = kUnlistedRank + static_cast<int>(j) + 1;
      break;
    }
  }
  return rank;
}

// Creates a work list of n integers; a failure is reported and stops the run.
void create_list(std::vector<int>& list, std::size_t n, std::string_view varName) {
  int status = 0;
  try {
    list.assign(n, 0);
  } catch (const std::bad_alloc&) {
    status = 1;
  } catch (const std::length_error&) {
    status = 1;
  }
  const std::array<long long, 1> extents = {static_cast<long long>(n)};
  ALCERR(status, varName, extents, "prflna");
}

// First value of a value list; an empty list counts as one blank value.
std::string_view first_value(const std::vector<std::string>& values) {
  return values.empty() ? std::string_view() : std::string_view(values.front());
}

}  // namespace

void PRFLNA(std::optional<int> lineWidth) {
  const int width = std::clamp(lineWidth.value_or(kDefaultWidth), 0, kMaxWidth);
  const std::string rule(static_cast<std::size_t>(width), '-');

  std::vector<std::string> names;
  int irCode = 0;
  READKEYS("*", names, irCode);
  const std::size_t n = names.size();

  kHead.write(lfnPrint, {" INPUT AND OUTPUT FILENAMES",
                         std::string_view(rule).substr(0, kUnderlineLength), rule});

  std::vector<int> idxKeyw;
  std::vector<int> indKeyw;
  create_list(idxKeyw, n, "idxKeyw");
  create_list(indKeyw, n, "indKeyw");
  for (std::size_t i = 0; i < n; ++i) idxKeyw[i] = listing_rank(names[i]);
  IORDUP(idxKeyw, static_cast<int>(n), indKeyw);

  std::vector<std::string> values;
  std::string fileKeyword;
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& name = names[static_cast<std::size_t>(indKeyw[k] - 1)];
    if (!described_file(name, fileKeyword)) continue;
    READKEYS(name, values, irCode);
    const std::string description = platform::fit(first_value(values), kKeyNameLength);
    READKEYS(fileKeyword, values, irCode);
    std::string fileName = platform::fit(first_value(values), kFileNameLength);
    if (platform::is_blank(fileName)) fileName = " ---";
    kFileLine.write(lfnPrint, {description, ": ", platform::trim_right(fileName)});
  }

  kTail.write(lfnPrint, {rule});
}

}  // namespace kavril

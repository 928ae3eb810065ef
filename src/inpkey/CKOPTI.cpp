// Option check: decodes the values of one keyword as integers, with optional
// limits, a replacement for blank values and a largest number of values.
// Bad values are reported per kind and counted by the severity.
#include <algorithm>
#include <new>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

// Status of one value.
enum ValueStatus { kValid = 0, kBlank = 1, kNotInteger = 2, kOutOfRange = 3 };

constexpr std::size_t kBadValueWidth = 80;  // longest "Bad value:" text

struct Decoded {
  std::vector<int> value;
  std::vector<int> status;
  int longest = -1;  // longest value without trailing blanks
};

// The first free-format item (ended by a blank or tab, a comma or the end of
// the text) as a plain optionally signed decimal integer. A text that is not
// one decodes as 0.
bool decode_integer(std::string_view text, int& value) {
  const std::size_t start = text.find_first_not_of(" \t");
  const std::size_t end = text.find_first_of(" \t,", start);
  const std::string_view item = start == std::string_view::npos
                                    ? std::string_view()
                                    : text.substr(start, end == std::string_view::npos ? end : end - start);
  if (platform::parse_int(item, value)) return true;
  value = 0;
  return false;
}

int value_status(const std::string& text, const CkoptiOptional& opt, int& value) {
  value = 0;
  if (platform::is_blank(text)) {
    if (!opt.emptyVal) return kBlank;
    value = *opt.emptyVal;  // no limit applies to the replacement
    return kValid;
  }
  if (!decode_integer(text, value)) return kNotInteger;
  if ((opt.lowLimit && value < *opt.lowLimit) || (opt.upLimit && value > *opt.upLimit)) {
    return kOutOfRange;
  }
  return kValid;
}

[[noreturn]] void stop_maxval_misuse(std::string_view keyName) {
  static const platform::Layout kBlock("(/,A,3(/,16X,A),/)");
  kBlock.write(lfnError, {" *** SR CKOPTI: Dear programmer, you did a FATAL ERROR!!!",
                          "The optional parameter \"maxVal\" is bigger than the",
                          "size of the \"result\" array.",
                          "Keyword:  " + std::string(platform::trim_right(keyName))});
  EXITRC(2);
}

// Sets every result that is asked for to the error value, where given.
void hand_out_error_value(const CkoptiOptional& opt) {
  if (!opt.errorVal) return;
  if (opt.firstResult != nullptr) *opt.firstResult = *opt.errorVal;
  if (opt.result != nullptr) std::fill(opt.result->begin(), opt.result->end(), *opt.errorVal);
}

// Creates the work lists; a failed creation stops the run through ALCERR.
void create_work_lists(Decoded& decoded, int n) {
  const long long extent[] = {n};
  int status = 0;
  try {
    decoded.value.assign(static_cast<std::size_t>(n), 0);
  } catch (const std::bad_alloc&) {
    status = 1;
  }
  ALCERR(status, "result", extent, "ckopti");
  try {
    decoded.status.assign(static_cast<std::size_t>(n), kValid);
  } catch (const std::bad_alloc&) {
    status = 1;
  }
  ALCERR(status, "irCode", extent, "ckopti");
}

// The "in line N" tag of a value; empty for a keyword with one value.
std::string line_tag(int index, int n) {
  return n == 1 ? std::string() : "in line" + platform::integer_text(index + 1);
}

std::string bad_value_text(int kind, const std::string& value, int decoded, int longest,
                           const std::string& tag) {
  std::string text = "Bad value:   ";
  if (kind == kBlank) {
    text += "\" \"  " + tag;
  } else {
    if (kind == kNotInteger) {
      text += "\" " + std::string(platform::trim_right(value)) + " \"";
    } else {
      text += platform::integer_text(decoded);
    }
    // The tags of one report line up behind the longest value.
    if (!tag.empty()) text = platform::fit(text, static_cast<std::size_t>(longest) + 19) + tag;
  }
  return platform::fit(text, kBadValueWidth);
}

void append_explanation(std::string& block, int kind, const CkoptiOptional& opt) {
  if (kind == kBlank) {
    m_ckopt::append_detail(block, "             ", "An empty string is not allowed here!");
  } else if (kind == kNotInteger) {
    m_ckopt::append_detail(block, "             ", "The string could not be converted to an integer!");
  } else if (opt.lowLimit && opt.upLimit) {
    std::string low, up;
    m_ckopt::aligned_integer_texts(*opt.lowLimit, *opt.upLimit, 0, low, up);
    m_ckopt::append_detail(block, "Valid range: ", "(" + low + " <= value <=" + up + " )");
  } else if (opt.upLimit) {
    m_ckopt::append_detail(block, "Expected:    ",
                           "( value <=" + platform::integer_text(*opt.upLimit) + " )");
  } else if (opt.lowLimit) {
    m_ckopt::append_detail(block, "Expected:    ",
                           "( value >=" + platform::integer_text(*opt.lowLimit) + " )");
  }
}

// Arguments of one call that the reports show.
struct Call {
  int severity;
  std::string_view keyName;
  const std::vector<std::string>& values;
  std::string_view callerName;
  std::string_view optDescr;
  const CkoptiOptional& opt;
};

// Decodes and checks every value, counts the bad ones and fills `result`.
// Returns the position of the first valid value, or -1.
int decode_values(const Call& call, int n, int& errCount, Decoded& decoded) {
  const CkoptiOptional& opt = call.opt;
  if (opt.numBad != nullptr) *opt.numBad = 0;
  if (opt.numGood != nullptr) *opt.numGood = 0;
  int firstValid = -1;
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const std::string& text = call.values[k];
    decoded.longest = std::max(decoded.longest, static_cast<int>(platform::trim_right(text).size()));
    const int status = value_status(text, opt, decoded.value[k]);
    decoded.status[k] = status;
    if (status != kValid) {
      m_ckopt::add_errors(errCount, call.severity);
      if (opt.numBad != nullptr) ++*opt.numBad;
    } else {
      if (opt.numGood != nullptr) ++*opt.numGood;
      if (firstValid < 0) firstValid = i;
    }
    // Warnings hand out what was decoded; errors the error value, if any.
    if (opt.result != nullptr) {
      if (status == kValid || call.severity == 0) {
        (*opt.result)[k] = decoded.value[k];
      } else if (opt.errorVal) {
        (*opt.result)[k] = *opt.errorVal;
      }
    }
  }
  return firstValid;
}

void set_first_result(const Call& call, const Decoded& decoded, int firstValid, int n) {
  const CkoptiOptional& opt = call.opt;
  if (firstValid >= 0) {
    *opt.firstResult = decoded.value[static_cast<std::size_t>(firstValid)];
  } else if (call.severity == 1 && opt.errorVal) {
    *opt.firstResult = *opt.errorVal;
  } else if (n > 0) {
    *opt.firstResult = decoded.value.front();
  }
}

void write_value_report(int kind, const Call& call, const Decoded& decoded, int n) {
  const CkoptiOptional& opt = call.opt;
  const std::string key(platform::trim_right(call.keyName));
  const std::string header =
      m_ckopt::prefix("CKOPTI", call.severity) +
      (kind == kOutOfRange ? "The value for keyword \"" + key + "\" exceeds the range."
                           : "An integer string is expected for keyword \"" + key + "\"");
  std::string block;
  m_ckopt::append_report_head(block, header, call.callerName,
                              m_ckopt::option_description(call.keyName, call.optDescr));
  if (opt.colTitle) m_ckopt::append_detail(block, "Column:      ", *opt.colTitle);
  if (opt.entryTitle && n == 1) m_ckopt::append_detail(block, "Entry for:   ", *opt.entryTitle);
  if (opt.lineNum && n == 1) m_ckopt::append_detail(block, "Line number: ", *opt.lineNum);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (decoded.status[k] != kind) continue;
    m_ckopt::append_detail(block, "", bad_value_text(kind, call.values[k], decoded.value[k],
                                                     decoded.longest, line_tag(i, n)));
  }
  append_explanation(block, kind, opt);
  block += '\n';
  platform::write_text(lfnError, block);
}

}  // namespace

void CKOPTI(int severity, std::string_view keyName, const std::vector<std::string>& values,
            std::string_view callerName, std::string_view optDescr, int readStatus,
            int& errCount, const CkoptiOptional& opt) {
  if (static_cast<int>(platform::trim_right(optDescr).size()) > m_ckopt::kDescrLength) {
    m_ckopt::write_description_warning("CKOPTI", optDescr,
                                       "Keyword:  " + std::string(platform::trim_right(keyName)));
  }
  if (opt.numValues != nullptr) *opt.numValues = 0;
  if (opt.initVal) {
    if (opt.firstResult != nullptr) *opt.firstResult = *opt.initVal;
    if (opt.result != nullptr) std::fill(opt.result->begin(), opt.result->end(), *opt.initVal);
  }

  // A missing keyword has been reported by the lookup; it only counts here.
  if (readStatus != 0) {
    m_ckopt::add_errors(errCount, 1);
    if (opt.numGood != nullptr) *opt.numGood = 0;
    if (opt.numBad != nullptr) *opt.numBad = 99;
    hand_out_error_value(opt);
    return;
  }
  if (severity != 0 && severity != 1) {
    m_ckopt::stop_severity_misuse("CKOPTI",
                                  "Keyword:  " + std::string(platform::trim_right(keyName)));
  }

  int capacity = static_cast<int>(opt.result != nullptr ? opt.result->size() : values.size());
  if (opt.maxVal) {
    if (opt.result != nullptr && static_cast<long long>(opt.result->size()) < *opt.maxVal) {
      stop_maxval_misuse(keyName);
    }
    capacity = std::min(capacity, *opt.maxVal);
  }

  // Too many values: CKOPTN reports them as an error whatever the severity,
  // and nothing is decoded.
  const int countBefore = errCount;
  int n = 0;
  CKOPTN(1, keyName, values, n, callerName, optDescr, errCount, capacity);
  if (errCount != countBefore || n > capacity) {
    if (opt.numBad != nullptr) *opt.numBad = capacity;
    if (opt.numGood != nullptr) *opt.numGood = 0;
    hand_out_error_value(opt);
    return;
  }

  const Call call{severity, keyName, values, callerName, optDescr, opt};
  Decoded decoded;
  create_work_lists(decoded, n);
  const int firstValid = decode_values(call, n, errCount, decoded);
  if (opt.numValues != nullptr) *opt.numValues = n;
  if (opt.firstResult != nullptr) set_first_result(call, decoded, firstValid, n);

  for (const int kind : {kBlank, kNotInteger, kOutOfRange}) {
    if (std::find(decoded.status.begin(), decoded.status.end(), kind) != decoded.status.end()) {
      write_value_report(kind, call, decoded, n);
    }
  }
}

}  // namespace kavril

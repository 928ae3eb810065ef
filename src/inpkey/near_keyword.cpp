// Whether a keyword of the keyword file may be a misspelling of a keyword a
// program reads. Keywords are case-sensitive, so "rxnver" is a keyword of its
// own that no program reads; the one-character rules apply only to names of
// five characters or more, where one character rarely makes another real
// keyword.
#include <algorithm>
#include <string>

#include "inpkey/inpkey.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr std::size_t kShortestEditedName = 5;

std::string upper_case(std::string_view text) {
  std::string upper(text);
  UPPERC(upper);
  return upper;
}

// True when two different texts differ by one character changed, or by two
// neighbouring characters swapped (texts of the same length), or by one
// character inserted into the shorter text.
bool one_edit_apart(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  if (b.size() - a.size() > 1) return false;
  const std::size_t at = static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
  if (a.size() < b.size()) return a.substr(at) == b.substr(at + 1);
  if (a.substr(at + 1) == b.substr(at + 1)) return true;
  return at + 1 < a.size() && a[at] == b[at + 1] && a[at + 1] == b[at] && a.substr(at + 2) == b.substr(at + 2);
}

}  // namespace

bool near_keyword(std::string_view name, std::string_view known) {
  if (name == known) return false;
  const std::string upperName = upper_case(name);
  const std::string upperKnown = upper_case(known);
  if (upperName == upperKnown) return true;
  return known.size() >= kShortestEditedName && one_edit_apart(upperName, upperKnown);
}

}  // namespace kavril

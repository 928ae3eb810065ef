// One header for an output of several inputs.
#include <algorithm>

#include "rinex/rinex.h"

namespace kavril::rinex {

namespace {

// The letter of column 41 an input stands for: its own, or for 2.x (which
// has none) that of its records' system.
char system_letter_of(const Header& header) {
  return header.major() == 2 ? letter_of(header.fileSystem) : header.systemLetter;
}

template <typename Correction>
void add_new_types(std::vector<Correction>& merged, const std::vector<Correction>& given) {
  for (const Correction& c : given) {
    const bool known = std::any_of(merged.begin(), merged.end(),
                                   [&](const Correction& m) { return m.type.view() == c.type.view(); });
    if (!known) merged.push_back(c);
  }
}

}  // namespace

void HeaderMerge::add(const Header& header, double firstEpoch) { inputs_.push_back({header, firstEpoch}); }

Header HeaderMerge::merged(double outputFirstEpoch, int outputVersion) const {
  Header out;
  out.version = outputVersion;
  if (inputs_.empty()) return out;
  // The input in force at the output's first epoch is the one that began
  // last before it (or the first to begin after it); the others follow by
  // their distance from it, each giving what no closer input gave.
  std::vector<const Input*> order;
  for (const Input& input : inputs_) order.push_back(&input);
  const auto before = [&](const Input* a) { return a->firstEpoch <= outputFirstEpoch; };
  std::stable_sort(order.begin(), order.end(), [&](const Input* a, const Input* b) {
    if (before(a) != before(b)) return before(a);
    return before(a) ? a->firstEpoch > b->firstEpoch : a->firstEpoch < b->firstEpoch;
  });
  for (const Input* input : order) {
    add_new_types(out.ionosphere, input->header.ionosphere);
    add_new_types(out.timeCorrections, input->header.timeCorrections);
    if (!out.leapSeconds.given) out.leapSeconds = input->header.leapSeconds;
  }
  char letter = system_letter_of(inputs_.front().header);
  int files = 0;
  for (const Input& input : inputs_) {
    if (system_letter_of(input.header) != letter) letter = 'M';
    files += std::max(1, input.header.mergedFiles);
    for (const std::string& comment : input.header.comments) {
      if (std::find(out.comments.begin(), out.comments.end(), comment) == out.comments.end()) {
        out.comments.push_back(comment);
      }
    }
  }
  out.systemLetter = letter;
  unwrap_correction_weeks(out, outputFirstEpoch);
  out.fileSystem = inputs_.front().header.fileSystem;
  if (files > 1) {
    if (outputVersion >= 400) {
      out.mergedFiles = files;
    } else {
      out.comments.push_back("merged from " + std::to_string(files) + " files");
    }
  }
  return out;
}

}  // namespace kavril::rinex

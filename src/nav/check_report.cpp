// The check of broadcast files as a table of fixed columns and as a JSON
// document.
#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {

// The figures of one row: a satellite, or all satellites of the file.
struct Row {
  long messages = 0;
  double first = 0.0, last = 0.0, longestGap = 0.0;
  long unhealthy = 0, duplicates = 0, outOfOrder = 0, satellites = 0;
};

Row row_of(const SatelliteCheck& s) {
  Row row;
  row.messages = static_cast<long>(s.epochs.size());
  row.first = *std::min_element(s.epochs.begin(), s.epochs.end());
  row.last = *std::max_element(s.epochs.begin(), s.epochs.end());
  row.longestGap = s.longestGap;
  row.unhealthy = static_cast<long>(s.unhealthy.size());
  row.duplicates = s.duplicates;
  row.outOfOrder = s.outOfOrder;
  row.satellites = 1;
  return row;
}

void add_to(Row& total, const Row& row) {
  total.first = total.satellites == 0 ? row.first : std::min(total.first, row.first);
  total.last = total.satellites == 0 ? row.last : std::max(total.last, row.last);
  total.messages += row.messages;
  total.longestGap = std::max(total.longestGap, row.longestGap);
  total.unhealthy += row.unhealthy;
  total.duplicates += row.duplicates;
  total.outOfOrder += row.outOfOrder;
  total.satellites += row.satellites;
}

// Calls `f(name, row)` for every satellite that has messages, in the order
// of their numbers; returns the totals.
template <class F>
Row for_each_satellite(const FileCheck& check, F f) {
  Row total;
  for (std::size_t sat = 1; sat < check.satellites.size(); ++sat) {
    if (check.satellites[sat].epochs.empty()) continue;
    const Row row = row_of(check.satellites[sat]);
    f(satellite_name(sat), row);
    add_to(total, row);
  }
  return total;
}

std::string right(std::string text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

void table_row(std::string& out, std::string_view name, const Row& row) {
  static const platform::Layout kRow("(1X,A3,I7,2X,A19,2X,A19,2X,A11,I11,I12,I14)");
  const std::string gap = row.messages > 1 ? duration_text(row.longestGap) : "-";
  kRow.format(out, {name, row.messages, iso_text(row.first), iso_text(row.last), right(gap, 11), row.unhealthy,
                    row.duplicates, row.outOfOrder});
}

nlohmann::ordered_json json_row(const Row& row) {
  nlohmann::ordered_json j;
  j["messages"] = row.messages;
  j["first_epoch"] = iso_text(row.first, 'T');
  j["last_epoch"] = iso_text(row.last, 'T');
  j["longest_gap_s"] = row.longestGap;
  j["unhealthy"] = row.unhealthy;
  j["duplicates"] = row.duplicates;
  j["out_of_order"] = row.outOfOrder;
  return j;
}

}  // namespace

std::string check_table(const FileCheck& check) {
  static const platform::Layout kHead("(/,1X,A,A,/,1X,A,/,1X,A)");
  std::string out;
  kHead.format(out, {"BROADCAST FILE: ", check.name,
                     "SAT  #MESS  FIRST EPOCH (GPS)    LAST EPOCH (GPS)     LONGEST GAP  UNHEALTHY  DUPLICATES  "
                     "OUT OF ORDER",
                     "---  -----  -------------------  -------------------  -----------  ---------  ----------  "
                     "------------"});
  const Row total = for_each_satellite(check, [&out](const std::string& name, const Row& row) { table_row(out, name, row); });
  if (total.satellites == 0) {
    out += " (no messages)\n";
    return out;
  }
  out += " " + std::string(99, '-') + "\n";
  table_row(out, "ALL", total);
  out += " Satellites:" + platform::integer_text(total.satellites) + "\n";
  return out;
}

std::string check_json(const std::vector<FileCheck>& checks) {
  nlohmann::ordered_json files = nlohmann::ordered_json::array();
  for (const FileCheck& check : checks) {
    nlohmann::ordered_json file;
    file["file"] = check.name;
    file["complete"] = check.complete;
    nlohmann::ordered_json satellites = nlohmann::ordered_json::array();
    const Row total = for_each_satellite(check, [&satellites](const std::string& name, const Row& row) {
      nlohmann::ordered_json j;
      j["satellite"] = name;
      j.update(json_row(row));
      satellites.push_back(std::move(j));
    });
    file["satellites"] = std::move(satellites);
    nlohmann::ordered_json totals;
    totals["satellites"] = total.satellites;
    if (total.satellites > 0) totals.update(json_row(total));
    else totals["messages"] = 0;
    file["totals"] = std::move(totals);
    files.push_back(std::move(file));
  }
  nlohmann::ordered_json document;
  document["files"] = std::move(files);
  // A file name that is no UTF-8 is shown with replacement characters.
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace kavril::nav

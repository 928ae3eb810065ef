// The check of navigation files as a table of fixed columns and as a JSON
// document. Broadcast files have a row per satellite; RINEX files a row per
// satellite and message type, totals per system, and conflicts.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {

// The figures of one row: a satellite and message type, a system, or the
// file. `satellites` counts a satellite once over its message types.
struct Row {
  long messages = 0;
  double first = 0.0, last = 0.0, longestGap = 0.0;
  long unhealthy = 0, duplicates = 0, conflicts = 0, outOfOrder = 0, satellites = 0;
  bool gaps = false;  // a row of it has two messages or more
};

Row row_of(const SatelliteCheck& s) {
  Row row;
  row.messages = static_cast<long>(s.epochs.size());
  row.first = *std::min_element(s.epochs.begin(), s.epochs.end());
  row.last = *std::max_element(s.epochs.begin(), s.epochs.end());
  row.longestGap = s.longestGap;
  row.unhealthy = static_cast<long>(s.unhealthy.size());
  row.duplicates = s.duplicates;
  row.conflicts = s.conflicts;
  row.outOfOrder = s.outOfOrder;
  row.satellites = 1;
  row.gaps = row.messages > 1;
  return row;
}

void add_to(Row& total, const Row& row) {
  const bool first = total.messages == 0;
  total.first = first ? row.first : std::min(total.first, row.first);
  total.last = first ? row.last : std::max(total.last, row.last);
  total.messages += row.messages;
  total.longestGap = std::max(total.longestGap, row.longestGap);
  total.unhealthy += row.unhealthy;
  total.duplicates += row.duplicates;
  total.conflicts += row.conflicts;
  total.outOfOrder += row.outOfOrder;
  total.satellites += row.satellites;
  total.gaps = total.gaps || row.gaps;
}

struct Totals {
  Row all;
  std::vector<std::pair<rinex::System, Row>> systems;  // in the order of the rows
};

// Calls `f(key, row)` for every row with messages, in the order of the
// rows; returns the totals of the file and of each system.
template <class F>
Totals for_each_row(const FileCheck& check, F f) {
  Totals totals;
  const rinex::Satellite* previous = nullptr;
  for (const auto& [key, s] : check.rows) {
    if (s.epochs.empty()) continue;
    Row row = row_of(s);
    row.satellites = previous != nullptr && *previous == key.satellite ? 0 : 1;
    previous = &key.satellite;
    f(key, row);
    add_to(totals.all, row);
    if (totals.systems.empty() || totals.systems.back().first != key.satellite.system)
      totals.systems.emplace_back(key.satellite.system, Row{});
    add_to(totals.systems.back().second, row);
  }
  return totals;
}

std::string right(std::string text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}
std::string left(std::string text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string gap_text(bool known, double gap) { return right(known ? duration_text(gap) : "-", 11); }

void broadcast_row(std::string& out, std::string_view name, const Row& row) {
  static const platform::Layout kRow("(1X,A3,I7,2X,A19,2X,A19,2X,A11,I11,I12,I14)");
  kRow.format(out, {name, row.messages, iso_text(row.first), iso_text(row.last),
                    gap_text(row.messages > 1, row.longestGap), row.unhealthy, row.duplicates, row.outOfOrder});
}

// The label is not cut: a message type longer than its column widens its row.
void rinex_row(std::string& out, const std::string& label, const Row& row) {
  static const platform::Layout kRow("(1X,A,I7,2X,A19,2X,A19,2X,A11,I11,I12,I11,I14)");
  kRow.format(out, {left(label, 9), row.messages, iso_text(row.first), iso_text(row.last),
                    gap_text(row.gaps, row.longestGap), row.unhealthy, row.duplicates, row.conflicts, row.outOfOrder});
}

std::string row_label(const CheckKey& key) {
  return left(rinex::satellite_text(key.satellite), 4) + " " + std::string(key.type.view());
}

std::string broadcast_table(const FileCheck& check) {
  static const platform::Layout kHead("(/,1X,A,A,/,1X,A,/,1X,A)");
  std::string out;
  kHead.format(out, {"BROADCAST FILE: ", check.name,
                     "SAT  #MESS  FIRST EPOCH (GPS)    LAST EPOCH (GPS)     LONGEST GAP  UNHEALTHY  DUPLICATES  "
                     "OUT OF ORDER",
                     "---  -----  -------------------  -------------------  -----------  ---------  ----------  "
                     "------------"});
  const Totals totals = for_each_row(check, [&out](const CheckKey& key, const Row& row) {
    broadcast_row(out, rinex::satellite_text(key.satellite), row);
  });
  if (totals.all.satellites == 0) {
    out += " (no messages)\n";
    return out;
  }
  out += " " + std::string(99, '-') + "\n";
  broadcast_row(out, "ALL", totals.all);
  out += " Satellites:" + platform::integer_text(totals.all.satellites) + "\n";
  return out;
}

std::string other_records_text(const FileCheck& check) {
  std::string text;
  for (const rinex::RecordKind kind :
       {rinex::RecordKind::TimeOffset, rinex::RecordKind::EarthOrientation, rinex::RecordKind::Ionosphere}) {
    text += text.empty() ? " " : ", ";
    text += rinex::kind_word(kind);
    text += platform::integer_text(check.otherRecords.at(static_cast<std::size_t>(kind) - 1));
  }
  return text;
}

std::string rinex_table(const FileCheck& check) {
  static const platform::Layout kHead("(/,1X,A,A,A,A,/,1X,A,/,1X,A)");
  static const std::string kColumns =
      "SAT  TYPE  #MESS  FIRST EPOCH (GPS)    LAST EPOCH (GPS)     LONGEST GAP  UNHEALTHY  DUPLICATES  CONFLICTS  "
      "OUT OF ORDER";
  std::string out;
  kHead.format(out, {"RINEX FILE: ", check.name, " (RINEX ", rinex::version_text(check.version) + ")", kColumns,
                     "---------  -----  -------------------  -------------------  -----------  ---------  ----------  "
                     "---------  ------------"});
  const Totals totals = for_each_row(check, [&out](const CheckKey& key, const Row& row) {
    rinex_row(out, row_label(key), row);
  });
  if (totals.all.satellites == 0) {
    out += " (no messages)\n";
  } else {
    out.append(" ").append(kColumns.size(), '-').append("\n");
    std::string perSystem;
    for (const auto& [system, row] : totals.systems) {
      rinex_row(out, std::string(rinex::system_name(system)), row);
      perSystem += perSystem.empty() ? " (" : ", ";
      perSystem += rinex::system_name(system);
      perSystem += platform::integer_text(row.satellites);
    }
    rinex_row(out, "ALL", totals.all);
    out += " Satellites:" + platform::integer_text(totals.all.satellites) + perSystem + ")\n";
  }
  out += " Other records:" + other_records_text(check) + "\n";
  return out;
}

nlohmann::ordered_json json_row(const Row& row, bool conflicts) {
  nlohmann::ordered_json j;
  j["messages"] = row.messages;
  j["first_epoch"] = iso_text(row.first, 'T');
  j["last_epoch"] = iso_text(row.last, 'T');
  j["longest_gap_s"] = row.longestGap;
  j["unhealthy"] = row.unhealthy;
  j["duplicates"] = row.duplicates;
  if (conflicts) j["conflicts"] = row.conflicts;
  j["out_of_order"] = row.outOfOrder;
  return j;
}

// The totals of a file or system: the satellites, and the figures of their
// rows when there are any.
nlohmann::ordered_json json_totals(const Row& total, bool conflicts) {
  nlohmann::ordered_json totals;
  totals["satellites"] = total.satellites;
  if (total.satellites > 0) totals.update(json_row(total, conflicts));
  else totals["messages"] = 0;
  return totals;
}

nlohmann::ordered_json json_file(const FileCheck& check) {
  const bool rinexFile = check.is_rinex();
  nlohmann::ordered_json file;
  file["file"] = check.name;
  file["complete"] = check.complete;
  if (rinexFile && check.version != 0) file["version"] = rinex::version_text(check.version);
  nlohmann::ordered_json satellites = nlohmann::ordered_json::array();
  const Totals totals = for_each_row(check, [&](const CheckKey& key, const Row& row) {
    nlohmann::ordered_json j;
    j["satellite"] = rinex::satellite_text(key.satellite);
    if (rinexFile) {
      j["system"] = std::string(1, rinex::letter_of(key.satellite.system));
      j["type"] = std::string(key.type.view());
    }
    j.update(json_row(row, rinexFile));
    satellites.push_back(std::move(j));
  });
  file["satellites"] = std::move(satellites);
  if (rinexFile) {
    nlohmann::ordered_json systems = nlohmann::ordered_json::array();
    for (const auto& [system, row] : totals.systems) {
      nlohmann::ordered_json j;
      j["system"] = std::string(1, rinex::letter_of(system));
      j.update(json_totals(row, true));
      systems.push_back(std::move(j));
    }
    file["systems"] = std::move(systems);
  }
  file["totals"] = json_totals(totals.all, rinexFile);
  if (rinexFile) {
    nlohmann::ordered_json other;
    other["STO"] = check.otherRecords[0];
    other["EOP"] = check.otherRecords[1];
    other["ION"] = check.otherRecords[2];
    file["other_records"] = std::move(other);
  }
  return file;
}

}  // namespace

std::string check_table(const FileCheck& check) {
  return check.is_rinex() ? rinex_table(check) : broadcast_table(check);
}

std::string check_json(const std::vector<FileCheck>& checks) {
  nlohmann::ordered_json files = nlohmann::ordered_json::array();
  for (const FileCheck& check : checks) files.push_back(json_file(check));
  nlohmann::ordered_json document;
  document["files"] = std::move(files);
  // A file name that is no UTF-8 is shown with replacement characters.
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace kavril::nav

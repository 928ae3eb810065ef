// The options of a direct run that select, order, name, check and compress:
// their rows of the option table, the check of how they combine, and the
// RINEX names they give the rows of the run.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "nav/nav.h"
#include "util/util.h"

namespace kavril::cli {

namespace {

constexpr std::string_view kGzipSuffix = ".gz";
// The lines read of an existing file that --plot would replace.
constexpr std::size_t kSvgHeadLines = 8;

// A time of --from or --to: `text` keeps what was given, `epoch` its value.
std::string take_time(std::string_view option, const std::string& value, std::string& text,
                      std::optional<double>& epoch) {
  text = value;
  double parsed = 0.0;
  if (!nav::parse_iso_time(value, parsed))
    return std::string(option) + " needs a date or date and time (2010-07-01T12:00): " + value;
  epoch = parsed;
  return {};
}
std::string take_from(DirectRun& run, const std::string& value) {
  return take_time("--from", value, run.analyst.fromText, run.analyst.selection.from);
}
std::string take_to(DirectRun& run, const std::string& value) {
  return take_time("--to", value, run.analyst.toText, run.analyst.selection.to);
}
// Satellites and systems are taken for records of every system; the
// satellites of broadcast messages (GPS) follow from them once the run is
// checked (gps_selection).
std::string take_satellites(DirectRun& run, const std::string& value) {
  std::string error;
  return rinex::parse_satellites(value, run.analyst.records.chosen, error) ? std::string() : "--sat: " + error;
}
std::string take_excluded(DirectRun& run, const std::string& value) {
  std::string error;
  return rinex::parse_satellites(value, run.analyst.records.excluded, error) ? std::string()
                                                                              : "--exclude-sat: " + error;
}
std::string take_systems(DirectRun& run, const std::string& value) {
  std::string error;
  return rinex::parse_systems(value, run.analyst.systemsChosen, error) ? std::string() : "--sys: " + error;
}
std::string take_excluded_systems(DirectRun& run, const std::string& value) {
  std::string error;
  return rinex::parse_systems(value, run.analyst.systemsExcluded, error) ? std::string() : "--exclude-sys: " + error;
}
std::string take_sort(DirectRun& run, const std::string&) {
  run.analyst.selection.sort = true;
  return {};
}
std::string take_unique(DirectRun& run, const std::string&) {
  run.analyst.selection.unique = true;
  return {};
}
std::string take_name(DirectRun& run, const std::string& value) {
  run.analyst.nameId = value;
  return value.empty() ? "option -n needs a value" : std::string();
}
std::string take_source(DirectRun& run, const std::string& value) {
  run.analyst.source = value.size() == 1 ? value[0] : '?';
  return value == "R" || value == "S" || value == "U" ? std::string() : "--source must be R, S or U: " + value;
}
std::string take_merge(DirectRun& run, const std::string&) {
  run.analyst.merge = true;
  return {};
}
std::string take_gzip(DirectRun& run, const std::string&) {
  run.analyst.gzip = true;
  return {};
}
std::string take_check(DirectRun& run, const std::string&) {
  run.analyst.check = true;
  return {};
}
std::string take_json(DirectRun& run, const std::string&) {
  run.analyst.json = true;
  return {};
}
std::string take_strict(DirectRun& run, const std::string&) {
  run.analyst.strict = true;
  return {};
}
bool is_svg_name(std::string_view name) {
  constexpr std::string_view kSuffix = ".SVG";
  if (name.size() <= kSuffix.size()) return false;
  std::string end(name.substr(name.size() - kSuffix.size()));
  UPPERC(end);
  return end == kSuffix;
}
// A picture goes under a name that says so: a switch or a file name taken
// for the value of --plot must not become the name of an SVG file.
std::string take_plot(DirectRun& run, const std::string& value) {
  run.analyst.plot = value;
  if (value.empty()) return "option --plot needs a value";
  if (value == kStandardStream || is_svg_name(value)) return {};
  return "--plot needs a file name ending in .svg (or - for standard output): " + value;
}

constexpr std::array kRows{
    DirectOption{{0, "from", true}, take_from},
    DirectOption{{0, "to", true}, take_to},
    DirectOption{{0, "sat", true}, take_satellites},
    DirectOption{{0, "exclude-sat", true}, take_excluded},
    DirectOption{{0, "sys", true}, take_systems},
    DirectOption{{0, "exclude-sys", true}, take_excluded_systems},
    DirectOption{{0, "sort", false}, take_sort},
    DirectOption{{0, "unique", false}, take_unique},
    DirectOption{{'n', "name", true}, take_name},
    DirectOption{{0, "source", true}, take_source},
    DirectOption{{'m', "merge", false}, take_merge},
    DirectOption{{'z', "gzip", false}, take_gzip},
    DirectOption{{0, "check", false}, take_check},
    DirectOption{{0, "json", false}, take_json},
    DirectOption{{0, "strict", false}, take_strict},
    DirectOption{{0, "plot", true}, take_plot},
};

nav::SatelliteSet gps_satellites(const rinex::SatelliteChoice& choice) {
  nav::SatelliteSet set;
  for (std::size_t n = 1; n < set.size(); ++n) set[n] = choice.has({rinex::System::GPS, static_cast<int>(n)});
  return set;
}

bool names_other_systems(const rinex::SatelliteChoice& choice) {
  for (const rinex::System system : rinex::kSystems) {
    for (int n = 0; system != rinex::System::GPS && n < rinex::SatelliteChoice::kLimit; ++n) {
      if (choice.has({system, n})) return true;
    }
  }
  return false;
}

// The choice of the options for records of every system, and for broadcast
// messages its GPS part: --sat of other systems only, or --sys without G,
// keeps no broadcast message.
std::string take_selection(nav::Request& a) {
  rinex::RecordSelection& records = a.records;
  if (!a.systemsChosen.empty()) records.systems = a.systemsChosen;
  records.systems = records.systems.without(a.systemsExcluded);
  if (records.systems.empty()) return "--sys and --exclude-sys leave no system";
  records.hasFrom = a.selection.from.has_value();
  records.from = a.selection.from.value_or(0.0);
  records.hasTo = a.selection.to.has_value();
  records.to = a.selection.to.value_or(0.0);

  a.chosen = gps_satellites(records.chosen);
  a.excluded = gps_satellites(records.excluded);
  nav::Selection& gps = a.selection;
  if (!records.chosen.empty()) gps.satellites = a.chosen;
  gps.satellites &= ~a.excluded;
  if (!records.systems.has(rinex::System::GPS)) gps.satellites.reset();
  gps.satellites.reset(0);
  gps.choosesSystems = records.systems != rinex::SystemSet::all() || names_other_systems(records.chosen) ||
                       names_other_systems(records.excluded);
  return {};
}

bool alphanumeric(std::string_view text) {
  for (const char c : text) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// What is wrong with the ID of -n for the run's RINEX version.
std::string name_error(const DirectRun& run) {
  const std::string& id = run.analyst.nameId;
  std::string error;
  if (run.version == 3) return nav::valid_long_id(id, error) ? std::string() : "-n: " + error;
  if (id.size() < 4 || !alphanumeric(id.substr(0, 4)))
    return "-n: the ID must begin with 4 letters or digits (the station of the name): \"" + id + "\"";
  return {};
}

std::string window_error(const nav::Request& a) {
  if (a.selection.from && a.selection.to && !(*a.selection.to > *a.selection.from))
    return "--to must be after --from: " + a.fromText + " " + a.toText;
  return {};
}

// Options that make no sense together, or without the option they serve.
std::string conflict(const DirectRun& run) {
  const nav::Request& a = run.analyst;
  const bool naming = !a.nameId.empty();
  if (a.check) {
    if (!run.output.empty() || !run.folder.empty() || naming || a.merge || a.gzip)
      return "--check writes no RINEX file: -o, -d, -n, -m and -z cannot be given with it";
    if (a.selection.sort || a.selection.unique)
      return "--check writes no RINEX file to order or thin: --sort and --unique cannot be given with it";
    if (a.json && a.plot == kStandardStream)
      return "--plot - writes the picture to standard output, where --json writes its document";
    return window_error(a);
  }
  if (a.json || !a.plot.empty() || a.strict) return "--json, --plot and --strict need --check";
  if (naming && !run.output.empty()) return "-o and -n cannot be given together";
  if (a.merge && !naming) return "-m needs -n (-o NAME merges into one file of that name)";
  if (a.source != 0 && !naming) return "--source needs -n";
  if (std::string error = window_error(a); !error.empty()) return error;
  return naming ? name_error(run) : std::string();
}

// True when the first lines of a file (decompressed) hold an SVG picture or
// nothing: an XML declaration or an svg element after blanks and a byte
// order mark.
bool holds_svg_or_nothing(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  std::string_view rest = text;
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\r\n")));
  if (rest.empty()) return lines.size() < kSvgHeadLines;
  return rest.starts_with("<?xml") || rest.starts_with("<svg");
}

// The picture replaces an existing regular file only when that file is an
// SVG picture (or empty): a name mistyped for --plot must not cost the file.
// Other existing files (a pipe, a device) are written, not replaced.
std::string plot_output_error(const std::string& plot) {
  if (plot == kStandardStream || !platform::is_regular_file(plot)) return {};
  platform::FileHead head;
  if (!platform::read_file_head(plot, kSvgHeadLines, head))
    return plot + ": cannot be read to see whether it is an SVG picture (" + platform::status_text(head.status) +
           "), not overwritten";
  if (!holds_svg_or_nothing(head.lines))
    return plot + ": not an SVG picture, not overwritten";
  return {};
}

std::string folder_of(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

bool ends_with_gzip(std::string_view name) { return name.ends_with(kGzipSuffix); }

}  // namespace

const std::span<const DirectOption> kAnalystOptions{kRows};

std::string analyst_run_error(DirectRun& run) {
  nav::Request& a = run.analyst;
  if (std::string error = take_selection(a); !error.empty()) return error;
  if (std::string error = conflict(run); !error.empty()) return error;
  return a.check ? plot_output_error(a.plot) : std::string();
}

std::vector<std::string> analyst_names(const DirectRun& run, std::vector<std::string> names) {
  const nav::Request& a = run.analyst;
  const bool perInput = run.output.empty();
  if (!a.gzip && a.nameId.empty()) return names;
  if (perInput) {
    // One name per input, beside it or in the folder of -d.
    names.clear();
    for (const std::string& input : run.brdFiles) names.push_back(rinex_name_of(run, input));
  }
  if (!a.nameId.empty()) {
    for (std::size_t row = 0; row < names.size(); ++row)
      names[row] = folder_of(names[a.merge ? 0 : row]) + std::string(kUnnamedOutput) + std::to_string(a.merge ? 1 : row + 1);
    return names;
  }
  for (std::string& name : names) {
    if (name != kStandardOutput && !ends_with_gzip(name)) name += kGzipSuffix;
  }
  return names;
}

}  // namespace kavril::cli

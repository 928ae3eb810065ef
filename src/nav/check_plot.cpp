// The check of navigation files as a picture: one row per satellite (its
// message types together), time along the row, a mark for every message;
// with RINEX inputs the satellites grouped by system under its name. Plain
// SVG with the fonts of the viewer.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "nav/nav.h"
#include "platform/platform.h"

namespace kavril::nav {

namespace {

constexpr int kLeft = 60, kRight = 30, kTop = 64, kRowHeight = 16, kPlotWidth = 1000;
constexpr int kMarkWidth = 2, kMarkHeight = 10;
constexpr int kBandLeft = 4;  // where the band of a system starts
// Characters of the title that fit the picture's width at its font size.
constexpr std::size_t kTitleLength = 130;
constexpr const char* kHealthy = "#1f5fbf";
constexpr const char* kUnhealthy = "#d62728";
constexpr const char* kGap = "#ff9f1c";

std::string number(long long value) { return platform::integer_text(value).substr(1); }

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text, and a name need
        // not be UTF-8: only printable ASCII is shown as it is.
        out += static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e ? '?' : c;
    }
  }
  return out;
}

struct Attribute {
  std::string_view name;
  std::string value;
};

// An element without content, or with the text `text`.
void element(std::string& out, std::string_view name, std::initializer_list<Attribute> attributes,
             std::string_view text = {}) {
  out += "  <";
  out += name;
  for (const Attribute& a : attributes) {
    out += " ";
    out += a.name;
    out += "=\"";
    out += a.value;
    out += "\"";
  }
  if (text.empty()) {
    out += "/>\n";
    return;
  }
  out += ">";
  out += escaped(text);
  out += "</";
  out += name;
  out += ">\n";
}

void rect(std::string& out, long x, long y, long w, long h, const char* fill) {
  element(out, "rect", {{"x", number(x)}, {"y", number(y)}, {"width", number(std::max(w, 1L))},
                        {"height", number(h)}, {"fill", fill}});
}

void text(std::string& out, long x, long y, std::string_view content, std::string_view anchor = "start",
          std::string_view size = "12") {
  element(out, "text", {{"x", number(x)}, {"y", number(y)}, {"font-size", std::string(size)},
                        {"text-anchor", std::string(anchor)}}, content);
}

// Time along the row: [start, end] onto the plot's width.
struct TimeAxis {
  double start, end;
  long x(double epoch) const {
    const double span = std::max(end - start, 1.0);
    return kLeft + std::lround((epoch - start) / span * kPlotWidth);
  }
};

// Ticks on whole hours: every 3, 6 or 12 hours, or every day, so that there
// are at most about 12.
double tick_step(double span) {
  for (const double hours : {1.0, 3.0, 6.0, 12.0}) {
    if (span / (hours * 3600.0) <= 12.0) return hours * 3600.0;
  }
  return std::ceil(span / kSecondsPerDay / 12.0) * kSecondsPerDay;
}

// The vertical lines of the ticks, drawn under the marks.
void grid(std::string& out, const TimeAxis& t, long bottom) {
  const double step = tick_step(t.end - t.start);
  for (double tick = std::ceil(t.start / step) * step; tick <= t.end; tick += step) {
    const long x = t.x(tick);
    element(out, "line", {{"x1", number(x)}, {"y1", number(kTop - 4)}, {"x2", number(x)}, {"y2", number(bottom + 4)},
                          {"stroke", "#ccc"}});
  }
}

void axis(std::string& out, const TimeAxis& t, long bottom) {
  element(out, "line", {{"x1", number(kLeft)}, {"y1", number(bottom)}, {"x2", number(kLeft + kPlotWidth)},
                        {"y2", number(bottom)}, {"stroke", "#000"}});
  const double step = tick_step(t.end - t.start);
  for (double tick = std::ceil(t.start / step) * step; tick <= t.end; tick += step) {
    const long x = t.x(tick);
    const std::string iso = iso_text(tick);
    text(out, x, bottom + 18, iso.substr(11, 5), "middle", "11");
    if (tick == std::ceil(t.start / step) * step || std::fmod(tick, kSecondsPerDay) == 0.0)
      text(out, x, bottom + 32, iso.substr(0, 10), "middle", "11");
  }
}

void legend(std::string& out, long y) {
  long x = kLeft;
  const struct {
    const char* colour;
    const char* label;
  } items[] = {{kHealthy, "message (health 0)"}, {kUnhealthy, "unhealthy message (health not 0)"},
               {kGap, "gap longer than 4 hours"}};
  for (const auto& item : items) {
    rect(out, x, y - 10, 12, 12, item.colour);
    text(out, x + 18, y, item.label);
    x += 260;
  }
}

// The names of the files, or, when they would run off the picture, their
// count and the first and last of them, or their count alone; the end of
// the name of a single file.
std::string title(const std::vector<FileCheck>& checks, bool rinexFiles) {
  const std::string head = rinexFiles ? "Navigation messages per satellite: " : "Broadcast messages per satellite: ";
  std::string names;
  for (const FileCheck& check : checks) names += (names.empty() ? "" : ", ") + check.name;
  if (head.size() + names.size() <= kTitleLength) return head + names;
  if (checks.size() == 1) return head + "..." + names.substr(names.size() - (kTitleLength - head.size() - 3));
  const std::string count = number(static_cast<long long>(checks.size())) + " files";
  const std::string span = count + ", " + checks.front().name + " to " + checks.back().name;
  return head + (head.size() + span.size() <= kTitleLength ? span : count);
}

// The messages of a satellite in all files, whatever their types.
struct MergedRow {
  rinex::Satellite satellite;
  std::vector<double> epochs, unhealthy;
};

// A row of the picture: a satellite, or the label of a system (row null).
struct PictureRow {
  MergedRow* row;
  rinex::System system;
};

// A band across the picture with the name of the system, above its
// satellites.
void system_label(std::string& out, long y, rinex::System system) {
  rect(out, kBandLeft, y + 1, kLeft + kPlotWidth - kBandLeft, kRowHeight - 2, "#dde4ee");
  element(out, "text", {{"x", number(kBandLeft + 4)}, {"y", number(y + 12)}, {"font-size", "12"},
                        {"font-weight", "bold"}, {"text-anchor", "start"}},
          rinex::system_name(system));
}

void satellite_row(std::string& out, const TimeAxis& t, long y, MergedRow& s) {
  std::sort(s.epochs.begin(), s.epochs.end());
  text(out, kLeft - 8, y + 12, rinex::satellite_text(s.satellite), "end");
  for (std::size_t i = 1; i < s.epochs.size(); ++i) {
    if (s.epochs[i] - s.epochs[i - 1] > kLongGap) {
      const long x0 = t.x(s.epochs[i - 1]);
      rect(out, x0, y + 6, t.x(s.epochs[i]) - x0, 4, kGap);
    }
  }
  for (const double epoch : s.epochs) rect(out, t.x(epoch) - kMarkWidth / 2, y + 3, kMarkWidth, kMarkHeight, kHealthy);
  for (const double epoch : s.unhealthy)
    rect(out, t.x(epoch) - kMarkWidth / 2, y + 3, kMarkWidth, kMarkHeight, kUnhealthy);
}

}  // namespace

std::string check_svg(const std::vector<FileCheck>& checks) {
  // The satellites of all files, their message types merged, and the span of
  // their epochs.
  std::map<std::pair<int, int>, MergedRow> merged;  // by system rank and number
  bool any = false, grouped = false;
  TimeAxis t{0.0, 0.0};
  for (const FileCheck& check : checks) {
    grouped = grouped || check.is_rinex();
    for (const auto& [key, s] : check.rows) {
      MergedRow& row = merged[{rinex::system_rank(key.satellite.system), key.satellite.number}];
      row.satellite = key.satellite;
      row.epochs.insert(row.epochs.end(), s.epochs.begin(), s.epochs.end());
      row.unhealthy.insert(row.unhealthy.end(), s.unhealthy.begin(), s.unhealthy.end());
      for (const double epoch : s.epochs) {
        t.start = any ? std::min(t.start, epoch) : epoch;
        t.end = any ? std::max(t.end, epoch) : epoch;
        any = true;
      }
    }
  }
  // Rows of satellites with messages, and with RINEX inputs the label of
  // each system above its satellites.
  std::vector<PictureRow> rows;
  for (auto& [order, row] : merged) {
    if (row.epochs.empty()) continue;
    if (grouped && (rows.empty() || rows.back().row->satellite.system != row.satellite.system))
      rows.push_back({nullptr, row.satellite.system});
    rows.push_back({&row, row.satellite.system});
  }
  const long bottom = kTop + std::max(static_cast<long>(rows.size()), 1L) * kRowHeight + 4;
  const long height = bottom + 80;
  const long width = kLeft + kPlotWidth + kRight;

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) + " " +
                    number(height) + "\" font-family=\"sans-serif\">\n";
  rect(out, 0, 0, width, height, "#fff");
  text(out, kLeft, 22, title(checks, grouped), "start", "14");
  text(out, kLeft, 42,
       any ? "GPS time " + iso_text(t.start) + " to " + iso_text(t.end) + " (" + duration_text(t.end - t.start) + ")"
           : "no messages");

  long y = kTop;
  long stripe = 0;  // satellite rows alternate their background
  for (const PictureRow& row : rows) {
    if (row.row != nullptr && stripe++ % 2 == 0) rect(out, kLeft, y, kPlotWidth, kRowHeight, "#f2f2f2");
    y += kRowHeight;
  }
  if (any) grid(out, t, bottom);
  y = kTop;
  for (const PictureRow& row : rows) {
    if (row.row == nullptr) {
      system_label(out, y, row.system);
    } else {
      satellite_row(out, t, y, *row.row);
    }
    y += kRowHeight;
  }
  if (any) axis(out, t, bottom);
  legend(out, bottom + 62);
  out += "</svg>\n";
  return out;
}

}  // namespace kavril::nav

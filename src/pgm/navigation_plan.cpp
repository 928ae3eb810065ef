// The plan of an output that RINEX navigation files feed: its version, the
// system of a 2.11 file, and one header for all its inputs. Each RINEX input
// is looked at before the output is opened: its header and first records
// (those before the first ephemeris, the corrections of 4.x files), so that
// the header holds what is in force at the output's first epoch.
#include <cmath>
#include <limits>

#include "nav/nav.h"
#include "pgm/pgm.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr double kNoEpoch = std::numeric_limits<double>::infinity();
constexpr double kLatestEpoch = 1e12;  // beyond the year 9999 in seconds of GPS time
// Correction records looked at before the first ephemeris of a 4.x file
// (a daily file holds a few hundred): the look stays short on any file.
constexpr int kMostCorrectionRecords = 4096;

// What the look at one RINEX input found.
struct InputHead {
  rinex::Header header;
  double firstEpoch = kNoEpoch;
  std::vector<rinex::Record> corrections;  // ION and STO records before the first ephemeris
};

InputHead look_at_rinex_input(const std::string& input) {
  InputHead head;
  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");
  rinex::NavigationReader reader(lfnLocal);
  if (!reader.read_header(head.header)) stop_on_damaged_rinex(input, reader.damage());
  rinex::Record record;
  for (int looked = 0; looked < kMostCorrectionRecords; ++looked) {
    const rinex::NavigationReader::Next next = reader.next(record);
    if (next == rinex::NavigationReader::Next::Damaged) stop_on_damaged_rinex(input, reader.damage());
    if (next == rinex::NavigationReader::Next::End) break;
    if (head.firstEpoch == kNoEpoch) head.firstEpoch = rinex::gps_time(record);
    if (record.kind == rinex::RecordKind::Ephemeris) break;
    head.corrections.push_back(record);
  }
  platform::close_unit(lfnLocal);
  return head;
}

// A broadcast input stands in the header by its title, as a comment (not
// for standard input, which is read once, by its row).
rinex::Header broadcast_header(const std::string& input) {
  rinex::Header header;
  header.systemLetter = 'G';
  header.fileSystem = rinex::System::GPS;
  if (input == "-") return header;
  int ios = 0;
  OPNFIL(lfnLocal, input, "OLD", "FORMATTED", " ", " ", ios);
  OPNERR(lfnError, lfnLocal, ios, input, "KAVRIL");
  std::string title;
  if (RDBTIT(lfnLocal, title) && !platform::is_blank(title)) header.comments.emplace_back(platform::trim_right(title));
  platform::close_unit(lfnLocal);
  return header;
}

int version_of_run(int number) {
  switch (number) {
    case 1: return kVersion1;
    case 2: return 211;
    case 4: return 400;
    default: return 304;
  }
}

// The leap seconds of a 4.00 header that its inputs do not give (or that
// --leap-seconds gives): GPS-UTC at the first epoch.
void set_leap_seconds(rinex::Header& header, double firstEpoch, std::optional<int> given) {
  if (header.leapSeconds.given && !given) return;
  header.leapSeconds = rinex::LeapSeconds{};
  header.leapSeconds.given = true;
  if (given) {
    header.leapSeconds.current = *given;
  } else if (!(std::abs(firstEpoch) < kLatestEpoch)) {  // no record, or none of a calendar date
    header.leapSeconds.current = platform::gps_leap_seconds_now();
  } else {
    const double days = std::floor(firstEpoch / nav::kSecondsPerDay);
    header.leapSeconds.current = platform::gps_leap_seconds(static_cast<std::int64_t>(days) + 44244,
                                                            static_cast<std::int64_t>(firstEpoch - days * nav::kSecondsPerDay));
  }
}

}  // namespace

NavigationPlan plan_navigation_output(std::span<const std::string> inputs, const std::vector<bool>& rinexInputs,
                                      const NavigationChoices& choices, double& firstEpoch) {
  std::vector<InputHead> heads;
  rinex::VersionFamily family;
  bool allRinex = true;
  firstEpoch = kNoEpoch;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (!rinexInputs[i]) {
      allRinex = false;
      heads.push_back(InputHead{broadcast_header(inputs[i]), kNoEpoch, {}});
      continue;
    }
    heads.push_back(look_at_rinex_input(inputs[i]));
    family.add(heads.back().header);
    firstEpoch = std::min(firstEpoch, heads.back().firstEpoch);
  }
  NavigationPlan plan;
  plan.version = choices.runVersion != 0 || !allRinex ? version_of_run(choices.runVersion) : family.version();
  if (plan.version == 211) {
    plan.system = choices.glonassOnly                   ? rinex::System::GLONASS
                  : choices.runVersion == 0 && allRinex ? family.system()
                                                        : rinex::System::GPS;
  }
  rinex::HeaderMerge merge;
  for (InputHead& head : heads) {
    // Below 4.00 the corrections of 4.x records go into the header; 4.00
    // carries the records themselves.
    if (plan.version < 400) {
      for (const rinex::Record& record : head.corrections) rinex::take_correction_record(record, head.header);
    }
    merge.add(head.header, head.firstEpoch);
  }
  const double outputStart = firstEpoch == kNoEpoch ? 0.0 : firstEpoch;
  plan.header = merge.merged(outputStart, plan.version);
  if (plan.version >= 400) set_leap_seconds(plan.header, firstEpoch, choices.leapSeconds);
  if (firstEpoch == kNoEpoch) firstEpoch = outputStart;
  return plan;
}

}  // namespace kavril

// PRITIT: the title block at the head of the program output; registers the
// program name.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "const/const.h"
#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"
#include "util/util.h"

namespace kavril {

namespace {

constexpr int kDefaultWidth = 79;
constexpr int kMaxWidth = 255;
constexpr std::size_t kPgmNamLength = 8;
constexpr std::size_t kTitleLength = 255;
constexpr std::size_t kInfoLength = 80;  // campaign, session, user name

constexpr std::string_view kProgramLabel = "Program        : ";
constexpr std::string_view kPurposeLabel = "Purpose        : ";
constexpr std::string_view kCampaignLabel = "Campaign       : ";
constexpr std::string_view kSessionLabel = "Default session: ";
constexpr std::string_view kDateLabel = "Date           : ";
constexpr std::string_view kUserLabel = "User name      : ";

const platform::Layout kWarning("(/,A,/)");
// 06-Dec-2026 09:07:05
const platform::Layout kBlockDate("(I2.2,'-',A3,'-',I4.4,1X,I2.2,':',I2.2,':',I2.2)");
constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";

struct TitleKeys {
  std::string title, campaign, session, year;
};

// First values of TITLE, CAMPAIGN, SES_INFO and YR4_INFO. Only keywords that
// the input file holds are looked up, so none is reported as missing.
TitleKeys title_keys() {
  TitleKeys keys;
  std::vector<std::string> names;
  std::vector<std::string> values;
  int irCode = 0;
  READKEYS("*", names, irCode);
  for (const std::string& name : names) {
    std::string* target = name == "TITLE"      ? &keys.title
                          : name == "CAMPAIGN" ? &keys.campaign
                          : name == "SES_INFO" ? &keys.session
                          : name == "YR4_INFO" ? &keys.year
                                               : nullptr;
    if (target == nullptr) continue;
    READKEYS(name, values, irCode);
    if (irCode == 0) *target = values.empty() ? std::string() : values.front();
  }
  return keys;
}

std::string session_text(const TitleKeys& keys) {
  if (platform::is_blank(keys.session) || platform::is_blank(keys.year)) return "unknown";
  std::string session(platform::trim_right(keys.session));
  session += " year ";
  session += platform::trim_right(keys.year);
  return platform::fit(session, kInfoLength);
}

// The user name defined by variable USER of the input file, or "none".
std::string user_name() {
  constexpr std::string_view kReference = "${USER}";
  std::string user = platform::fit(kReference, kInfoLength);
  RPLENVAR(0, user);
  if (platform::is_blank(user) || user.find(kReference) != std::string::npos) return "none";
  return user;
}

// A blank and `width` times `mark`.
std::string rule(char mark, int width) {
  std::string line(1, ' ');
  line.append(static_cast<std::size_t>(width), mark);
  return line;
}

std::string block_date() {
  std::array<int, 8> clock{};
  CLOCKS(clock);
  const int month = clock[1];
  const std::string_view name =
      (month >= 1 && month <= 12) ? kMonths.substr(static_cast<std::size_t>(month - 1) * 3, 3)
                                  : std::string_view("???");
  std::string text;
  kBlockDate.format(text, {clock[2], name, IYEAR4((clock[0] % 100 + 100) % 100), clock[4],
                           clock[5], clock[6]});
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace

void PRITIT(std::string_view pgmName, std::string_view descr, std::optional<int> width) {
  pgmNam = platform::fit(pgmName, kPgmNamLength);
  const int n = std::clamp(width.value_or(kDefaultWidth), 1, kMaxWidth);
  const std::string equalsRule = rule('=', n);
  const std::string hyphenRule = rule('-', n);

  const TitleKeys keys = title_keys();
  const std::string title = platform::fit(keys.title, kTitleLength);
  const std::string campaign = platform::fit(keys.campaign, kInfoLength);
  const std::string session = session_text(keys);
  const std::string user = user_name();

  if (platform::is_blank(title)) {
    kWarning.write(lfnError, {" ### SR PRITIT: Please enter a title to characterize the program run."});
  }
  if (constants.constDefined == 0) DATTIM(runDate, runTime);
  const bool hasPurpose = !platform::is_blank(descr);
  if (!hasPurpose) {
    kWarning.write(lfnError, {" ### SR PRITIT: There should be a short description of the program."});
  }

  // A text line: a blank, then the text cut to the rule width without its
  // trailing blanks.
  std::string block;
  auto add = [&block](std::string_view line) {
    block += line;
    block += '\n';
  };
  auto addText = [&add, n](std::string_view label, std::string_view text) {
    std::string full(label);
    full += platform::trim_right(text);
    std::string line(1, ' ');
    line += platform::trim_right(platform::fit(full, static_cast<std::size_t>(n)));
    add(line);
  };

  add("");
  add(equalsRule);
  addText(kSoftwareTitle, "");
  add(hyphenRule);
  addText(kProgramLabel, pgmName);
  if (hasPurpose) addText(kPurposeLabel, descr);
  add(hyphenRule);
  addText(kCampaignLabel, campaign);
  addText(kSessionLabel, session);
  addText(kDateLabel, block_date());
  addText(kUserLabel, user);
  add(equalsRule);
  if (!platform::is_blank(title)) {
    add("");
    add("");
    addText("", title);
    add(hyphenRule);
  }
  add("");
  add("");
  platform::write_text(lfnPrint, block);
}

}  // namespace kavril

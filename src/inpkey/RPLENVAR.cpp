// Replaces the variable references of a text ("${NAME}", or "$" and one
// character) by the definitions of keyword ENVIRONMENT. The process
// environment is never consulted.
#include <algorithm>
#include <array>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr std::size_t kWorkLength = 255;

// The definitions: the values of the first record ENVIRONMENT, or none.
// (The table is searched on every call: it holds few records, and a position
// remembered from an earlier table could point at a later record of that name
// once the table has been read again.)
const std::vector<std::string>* definitions() {
  for (const t_key& key : inpKey.keys) {
    if (platform::same_text(key.name, "ENVIRONMENT")) return &key.value;
  }
  return nullptr;
}

// The value of the first usable definition of `name`: one that decodes into a
// name and a value and whose value holds no "$".
bool find_definition(std::string_view name, std::string& value) {
  const std::vector<std::string>* defs = definitions();
  if (defs == nullptr) return false;
  std::array<std::string, 2> items;
  for (const std::string& definition : *defs) {
    items[0].clear();
    items[1].clear();
    if (decode_items(definition, items) < 1) continue;
    if (items[1].find('$') != std::string::npos) continue;
    if (platform::same_text(items[0], name)) {
      value = items[1];
      return true;
    }
  }
  return false;
}

// A reference that cannot be replaced: a warning in mode 1, a fatal error in
// mode 2, nothing otherwise.
void report(int mode, const std::string& what) {
  if (mode != 1 && mode != 2) return;
  static const platform::Layout kMessage("(/,A,/)");
  kMessage.write(lfnError, {(mode == 2 ? " *** SR RPLENVAR: " : " ### SR RPLENVAR: ") + what});
  if (mode == 2) EXITRC(2);
}

// Puts `value` in place of text positions first to last (0-based, inclusive).
// The text may grow up to the work length; it keeps a longer length of its own,
// padded. Returns the position right after the inserted value.
std::size_t replace(std::string& text, std::size_t first, std::size_t last,
                    std::string_view value) {
  std::string work = text.substr(0, first);
  work += platform::trim_right(value);
  work += platform::trim_right(std::string_view(text).substr(last + 1));
  work.resize(std::min(work.size(), kWorkLength));
  if (work.size() < text.size()) work.resize(text.size(), ' ');
  text = std::move(work);
  return first + platform::trim_right(value).size();
}

}  // namespace

void RPLENVAR(int mode, std::string& text) {
  if (platform::trim_right(text).size() < 2) return;
  std::size_t start = 0;
  do {
    const std::size_t dollar = text.find('$', start);
    if (dollar == std::string::npos) return;
    std::size_t last = dollar + 1;  // last position of the reference
    std::string name;
    if (last < text.size() && text[last] == '{') {
      const std::size_t close = text.find('}', last + 1);
      if (close == std::string::npos) {
        report(mode, "\"}\" is missing in: " + std::string(platform::trim_right(text)));
      } else {
        name = text.substr(last + 1, close - last - 1);
        last = close;
      }
    } else if (last < text.size()) {
      name = text.substr(last, 1);
    }
    start = last + 1;
    if (platform::is_blank(name)) continue;
    std::string value;
    if (find_definition(name, value)) {
      start = replace(text, dollar, last, value);
    } else {
      report(mode, "Variable " + std::string(platform::trim_right(name)) +
                       " not resolved in: " + std::string(platform::trim_right(text)));
    }
  } while (start < platform::trim_right(text).size());
}

}  // namespace kavril

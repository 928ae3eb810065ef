// Splits a file name into device, directory, name and extension.
// The device ends with the rightmost ":", the directory with the rightmost
// "\" or "/", the name before the rightmost "." right of the directory.
#include <algorithm>

#include "inpkey/inpkey.h"
#include "platform/platform.h"

namespace kavril {

namespace {

// File names are scanned from the right over at most this many characters.
constexpr int kMaxScanned = 10000;

// Positions first to last (1-based, inclusive) of `text`; empty when last < first.
std::string part(std::string_view text, int first, int last) {
  if (last < first) return {};
  return std::string(
      text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
}

bool is_directory_separator(char c) { return c == '\\' || c == '/'; }

// Found separators (positions > 0) must stand in the order device, directory,
// extension from left to right.
bool in_order(int device, int directory, int extension) {
  int previous = 0;
  for (int position : {device, directory, extension}) {
    if (position == 0) continue;
    if (position < previous) return false;
    previous = position;
  }
  return true;
}

}  // namespace

void FPARSE(int mode, std::string& fileSpec, std::string& device, std::string& dir,
            std::string& name, std::string& ext, int& irCode) {
  device.clear();
  dir.clear();
  name.clear();
  ext.clear();
  int length = LENGT0(fileSpec);
  if (length == 0) {
    irCode = 1;
    return;
  }
  const std::size_t leading = fileSpec.find_first_not_of(' ');
  fileSpec.erase(0, leading);
  length -= static_cast<int>(leading);

  int d = 0, r = 0, e = 0;
  for (int p = length; p >= std::max(1, length - kMaxScanned + 1); --p) {
    const char c = fileSpec[static_cast<std::size_t>(p - 1)];
    if (d == 0 && c == ':') {
      d = p;
    } else if (r == 0 && is_directory_separator(c)) {
      r = p;
    } else if (r == 0 && e == 0 && c == '.') {
      e = p;
    }
  }
  if (!in_order(d, r, e)) {
    irCode = 2;
    return;
  }

  const bool keepSeparators = mode == 1;
  const int cut = keepSeparators ? 0 : 1;
  const int nameStart = (r > 0 ? r : d) + 1;
  if (d > 0) device = part(fileSpec, 1, d - cut);
  if (r > 0) dir = part(fileSpec, d + 1, r - cut);
  name = e > 0 ? part(fileSpec, nameStart, e - cut) : part(fileSpec, nameStart, length);
  if (e > 0) ext = part(fileSpec, e + 1, length);

  const bool badName =
      keepSeparators ? platform::trim_right(name) == "." : platform::is_blank(name);
  irCode = badName ? 2 : 0;
}

}  // namespace kavril

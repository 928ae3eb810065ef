// The files of a keyword and the names derived from them. Column 1 holds each
// value as given; column j (2 to 9) holds its base name with the path and the
// extension of the keywords <keyword>_PTH_COL_<j> and <keyword>_EXT_COL_<j>.
#include <array>

#include "inpkey/inpkey.h"
#include "platform/platform.h"
#include "sys/sys.h"

namespace kavril {

namespace {

constexpr int kMaxColumns = 9;  // the column number is one digit
constexpr std::size_t kExtensionLength = 3;
// A column path or extension that is not set.
constexpr std::string_view kUnset = ".";

std::string first_value(const std::vector<std::string>& values) {
  return values.empty() ? std::string() : values[0];
}

std::string column_keyword(std::string_view keyWord, std::string_view kind, int column) {
  return std::string(platform::trim_right(keyWord)) + std::string(kind) +
         static_cast<char>('0' + column);
}

std::string column_extension(std::string_view keyWord, int column) {
  std::vector<std::string> keyValue;
  int irCode = 0;
  READKEYS(column_keyword(keyWord, "_EXT_COL_", column), keyValue, irCode);
  std::array<std::string, 1> item;
  if (irCode != 0 || decode_items(first_value(keyValue), item) != 1) return std::string(kUnset);
  return std::string(platform::trim_right(platform::fit(item[0], kExtensionLength)));
}

// The column path, ending with a separator of the kind it already uses.
std::string column_path(std::string_view keyWord, int column) {
  std::vector<std::string> keyValue;
  int irCode = 0;
  READKEYS(column_keyword(keyWord, "_PTH_COL_", column), keyValue, irCode);
  if (irCode != 0) return std::string(kUnset);
  std::string path(platform::trim_right(first_value(keyValue)));
  const std::size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos && separator + 1 < path.size()) path += path[separator];
  return path;
}

// The base name of a file name (leading blanks removed from it).
std::string base_name(std::string& fileName) {
  std::string device, dir, name, ext;
  int irCode = 0;
  FPARSE(1, fileName, device, dir, name, ext, irCode);
  name.resize(platform::trim_right(name).size());
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

std::string derived_name(const std::string& name, const std::string& path, const std::string& ext) {
  std::string result = path == kUnset ? std::string() : path;
  result += name;
  if (ext != kUnset) result += "." + ext;
  return result;
}

}  // namespace

void GTFILE2(std::string_view keyWord, int nCol, int& nFil, FileNameMatrix& filnam,
             std::size_t elementLength) {
  std::vector<std::string> keyValue;
  int irCode = 0;
  READKEYS(keyWord, keyValue, irCode);
  nFil = static_cast<int>(keyValue.size());
  if (nCol > kMaxColumns) {
    platform::write_list(lfnError, {" *** gtfile: too many columns: ", nCol});
    EXITRC(2);
  }
  create_checked([&] { filnam.reset(nCol, nFil, elementLength); }, "filnam", {nCol, nFil},
                 "GTFILE2");
  if (platform::is_blank(first_value(keyValue))) nFil = 0;

  std::array<std::string, kMaxColumns + 1> ext, path;
  for (int j = 2; j <= nCol; ++j) ext[j] = column_extension(keyWord, j);
  for (int j = 2; j <= nCol; ++j) path[j] = column_path(keyWord, j);

  READKEYS(keyWord, keyValue, irCode);
  const auto cut = [&](std::string_view text) {
    return std::string(platform::trim_right(text.substr(0, elementLength)));
  };
  for (int i = 1; i <= nFil && i <= static_cast<int>(keyValue.size()) && nCol >= 1; ++i) {
    std::string& value = keyValue[static_cast<std::size_t>(i - 1)];
    const std::string name = base_name(value);
    filnam.at(1, i) = cut(value);
    for (int j = 2; j <= nCol; ++j) filnam.at(j, i) = cut(derived_name(name, path[j], ext[j]));
  }
}

}  // namespace kavril

#include "support/rinex_columns.h"

#include <cstdlib>
#include <sstream>

namespace kavril::test {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<double> record_fields(const std::vector<std::string>& lines, std::size_t first, int version) {
  std::vector<double> fields;
  const auto number = [&fields](const std::string& line, std::size_t column, std::size_t width) {
    std::string field = column < line.size() ? line.substr(column, width) : std::string();
    for (char& c : field) c = c == 'D' ? 'E' : c;
    fields.push_back(std::strtod(field.c_str(), nullptr));
  };
  const std::string& epochLine = lines.at(first);
  const std::size_t indent = version == 3 ? 4 : 3;  // also the shift of line 1's values
  if (version == 3) {
    number(epochLine, 1, 2);  // the number after the system letter
    number(epochLine, 3, 5);
    for (std::size_t column = 8; column < 23; column += 3) number(epochLine, column, 3);
  } else {
    number(epochLine, 0, 2);
    for (std::size_t column = 2; column < 17; column += 3) number(epochLine, column, 3);
    number(epochLine, 17, 5);
  }
  for (std::size_t column = indent + 19; column < indent + 76; column += 19) number(epochLine, column, 19);
  const std::size_t orbitLines = version == 1 ? 6 : 7;
  for (std::size_t line = first + 1; line <= first + orbitLines; ++line) {
    for (std::size_t column = indent; column < indent + 76; column += 19) number(lines.at(line), column, 19);
  }
  return fields;
}

std::vector<std::vector<double>> rinex_records(const std::string& text, const std::string& headerEnd,
                                               std::size_t linesPerRecord, int version) {
  const auto trimmed = [](std::string line) { return line.erase(line.find_last_not_of(' ') + 1); };
  const std::vector<std::string> lines = lines_of(text);
  std::size_t first = 0;
  while (first < lines.size() && trimmed(lines[first]) != trimmed(headerEnd)) ++first;
  std::vector<std::vector<double>> records;
  for (std::size_t k = first + 1; k + linesPerRecord <= lines.size(); k += linesPerRecord) {
    records.push_back(record_fields(lines, k, version));
  }
  return records;
}

}  // namespace kavril::test

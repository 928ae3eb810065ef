// A column reader of RINEX navigation records, independent of the writer's
// layouts: it cuts every field out of its columns and reads it with the C
// library. Records of version 1 and of version 2 share their columns (line
// 1: I2,5I3,F5.1,3D19.12; orbit lines: 3X,4D19.12), so written files can be
// compared field by field with the IGS reference files of version 2.
// Version 3 records have their own columns (A1,I2.2,1X,I4,5(1X,I2.2),
// 3ES19.12; orbit lines 4X,4ES19.12).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavril::test {

// The lines of `text` without their line ends.
std::vector<std::string> lines_of(const std::string& text);

// The numbers of the record whose first line is lines[first]: satellite,
// year, month, day, hour, minute, seconds, the three clock values and the 24
// values of the six orbit lines that versions 1 and 2 share. With `version`
// 2 or 3 also the four values of line 8 (blank fields read as 0), and with 3
// in the columns of version 3.
std::vector<double> record_fields(const std::vector<std::string>& lines, std::size_t first,
                                  int version = 1);

// The records after the first line equal to `headerEnd` (trailing blanks do
// not count), `linesPerRecord` lines each (7 in version 1, 8 in versions 2
// and 3), read as record_fields reads them. A trailing partial record is
// not returned.
std::vector<std::vector<double>> rinex_records(const std::string& text, const std::string& headerEnd,
                                               std::size_t linesPerRecord, int version = 1);

}  // namespace kavril::test

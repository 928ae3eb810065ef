// Fixed columns of RINEX lines, shared by the header and record readers
// (private to the RINEX room).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kavril::rinex {

// Columns `first` (1-based) to first + width - 1 of `line`, without blanks
// around; empty beyond the end of a short line.
std::string_view column_field(std::string_view line, int first, int width);

// Header labels: columns 61-80 without trailing blanks.
std::string_view header_label(std::string_view line);

// The number in the field: Given, Blank (no value), or Bad (`reason` says why).
enum class FieldRead { Given, Blank, Bad };
FieldRead read_real(std::string_view line, int first, int width, double& value, std::string& reason);
FieldRead read_integer(std::string_view line, int first, int width, int& value, std::string& reason);

// The texts joined into one (for the reasons of damaged files).
std::string joined(std::initializer_list<std::string_view> parts);

}  // namespace kavril::rinex

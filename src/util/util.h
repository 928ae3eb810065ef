// Calendar and time conversions, and text and ordering helpers.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kavril {

// Library functions of module l_basfun.
namespace l_basfun {
// Remainder x - AINT(x / y) * y, with the sign of x.
double DMOD(double x, double y);
// INT of a double (cut toward zero) and NINT (nearest, halves away from
// zero), defined for every double: beyond the int range they give the
// nearest int limit, NaN gives 0. Use them wherever a computed double becomes
// an int, so that no input value can make the conversion undefined.
int IDINT(double x);
int IDNINT(double x);
}  // namespace l_basfun

// Calendar date (day with fraction) to Modified Julian Date.
double DJUL(int year, int month, double day);

// Modified Julian Date to calendar date (day of month with fraction).
void JMT(double mjd, int& year, int& month, double& day);

// GPS week and seconds of the week to Modified Julian Date.
double GPSMJD(double secondsOfWeek, int week);

// Two-digit year to four digits (pivot 1960); 100 and up unchanged.
int IYEAR4(int year);

// Splits `value` into degrees (or hours), minutes and seconds. Types 0 to 2
// take radians (hours, degrees, gon), type 3 a time in days; a type of 10 or
// more uses type modulo 10 with a finer guard. Type 3 leaves `sign` alone.
// An illegal type is a fatal error.
void RADGMS(int type, double value, char& sign, int& degrees, int& minutes, double& seconds);

// `text` as a message quotes it: every byte that is not printable ASCII (a
// control character, a byte of 128 or more) shows as "?", so that a binary
// input file puts no control sequences into the program output.
std::string printable(std::string_view text);

// Left-justifies `text` in place (only blanks count as blanks).
void SJUSTL(std::string& text);

// Upper-cases the ASCII letters a to z of `text` in place.
void UPPERC(std::string& text);

// Stable ascending order of values(1..n) by repeated selection: index(k) is
// the 1-based position of the k-th smallest value. n <= 0 leaves index alone.
void IORDUP(std::span<const int> values, int n, std::span<int> index);

}  // namespace kavril

// Numbers to display texts and typed decimal text to numbers.
//
// Every conversion here is locale-independent (the point is always '.') and exact: the
// digits are those of a correctly rounded printf conversion of the same double.
#pragma once

#include <string>
#include <string_view>

namespace bendwise {

// Length or area text: "%15.3f" below 100000, "%15.7e" from 100000 up (the test is on the
// signed, unrounded value, so every negative value stays fixed and 99999.9999 prints as
// 100000.000), leading blanks removed. The exponent always has three digits:
// 100000 -> "1.0000000e+005", 3141592.653589793 -> "3.1415927e+006", -0.0004 -> "-0.000".
void FormatLength(double value, std::string& out);

// The fixed form alone, "%15.3f" then a left trim, at any size: 1e20 ->
// "100000000000000000000.000".
void FormatFixed(double value, std::string& out);

// Degrees, minutes, seconds as "%4.0f %02.0f%5.1f" (12 characters for -999..9999 degrees),
// NOT trimmed. Negative angles get 360 added once; seconds above 59.95 carry into the
// minutes, 60 minutes into the degrees, and 360 degrees or more lose 360 once:
// 1.0 -> "   1 00  0.0", -0.5 -> " 359 30  0.0", 359.99999 -> "   0 00  0.0".
// Negative zero (a typed "-0") prints as 0, not as printf's "-0".
void FormatDms(double degrees, std::string& out);
// The same with its leading blanks removed ("1 00  0.0"), as the display shows it; written
// straight, since a batch shows eight such angles a curve.
void FormatDmsTrimmed(double degrees, std::string& out);

// FormatFixed and FormatDmsTrimmed as new strings, for texts built once (tables, files,
// figures) rather than kept in a field.
std::string FixedString(double value);
std::string DmsString(double degrees);

// Removes leading white space (blank, tab, line feed, vertical tab, form feed, return).
void TrimLeft(std::string& text);
void TrimRight(std::string& text);

// Reads the longest decimal number at the start of `text`, the way atof does but for
// decimal forms only: optional white space, an optional sign, digits with an optional
// point (at least one digit in all), an optional exponent (e or E, optional sign, digits).
// Returns the number of characters used, 0 when there is no number (value is then 0).
// "12ABC" -> 12, "1e" -> 1, "0X10" -> 0, "inf" / "nan" -> no number, "1e400" -> +infinity
// (overflow gives an infinity of the right sign, underflow a zero, as strtod does).
std::size_t ReadDecimalPrefix(std::string_view text, double& value);

// A typed length: the whole text, white space trimmed at both ends, must be one decimal
// number as ReadDecimalPrefix reads it; anything else ("1000,5", "1 000", "12abc", "",
// "0x10", "inf") is no number and returns false with `value` 0. An overflow is a number:
// "1e400" gives +infinity, for the caller's limit.
bool ReadWholeNumber(std::string_view text, double& value);

}  // namespace bendwise

// Typed angle text to decimal degrees.
//
// Accepted forms (field texts of at most 16 characters; results before the 0..360 wrap):
//   12.5            decimal degrees                       12.5
//   12 30 15        degrees, minutes, seconds             12.50416667
//   12;30;15        ';', blank, tab separate words        12.50416667
//   45°30'15"       degree sign, ordinal, apostrophe,     45.50416667
//   45º30′15″       quote and the primes end a word
//   12-30-15        two '-' in the first word separate    12.50416667
//   -12 30          one '-' in the first word: negative   -12.5   -> 347.5
//   12 -30 -15      minutes and seconds keep their signs  11.49583333
//   N 45 30 15 E    bearing: N/S first, E/W (or EAST/WEST) last, after 1 to 3 numbers
//   N 45 E          S D W = 180 + D, S D E = 180 - D, N D W = 360 - D
//   12.3456         with the packed option: DD.MMSSs      12.58222222
// Every word must be a whole number: "12abc", "30x", "0x10", "12-30" (one '-' inside a
// word), a fourth number and a word after the last one are refused, and so is a comma
// anywhere ("12,5" could mean 12.5 or 12 deg 5 min). Also refused: empty text, "---12"
// (three '-'), a bearing without E or W, "inf", "nan", and any text whose value is not
// finite ("1e400").
#pragma once

#include <cstddef>
#include <string>

namespace bendwise {

// Splits a text into words at any character of `separators`, terminating each word in
// place. A non-null `text` starts a new scan; a null one continues from `position`, which
// belongs to the caller. After the last word `position` is null and every further call
// returns null.
char* NextToken(char* text, const char* separators, char*& position);

// Longest text ParseAngle takes, without the terminator. Longer texts are refused.
constexpr std::size_t kMaxAngleText = 79;

// Parses degrees [minutes [seconds]] with the optional sign and bearing letters into
// decimal degrees, wrapped once: below 0 gains 360, then above 360 loses 360 (-400 -> -40,
// 800 -> 440, 360 stays 360). Upper-cases `text` in place and cuts it into words, so pass
// a private copy. Returns 0 on success, 2 on any failure with `angle` unchanged. Marks and
// commas are the caller's to remove (ReadAngleText): here they make a word no number.
int ParseAngle(double& angle, char* text);

enum class AngleRead {
    Ok,
    NotPacked,       // "Not in DDD.MMSS format": fewer than four digits after the point
    NotInterpreted,  // "Could not interpret input"
};

// The same as ParseAngle, with the packed option: when `packed` is on and the angle is a
// single number with a point (degrees alone, a bearing's included, not the two-'-' form),
// that number is DDD.MMSSs, read as "DDD MM SS.s"; fewer than four characters after the
// point give NotPacked. On a refusal `why` (when given) says which rule failed, as a
// clause for a sentence about the field: "\"30X\" is not a number".
AngleRead ParseAngleText(double& angle, char* text, bool packed, std::string* why);

// The cleaning in front of ParseAngleText: trims white space, refuses a comma, and turns
// every angle mark into a blank (the degree sign as Latin-1 0xB0 or UTF-8, the ordinal º,
// the apostrophe, the double quote, the primes ′ and ″), so 45°30'15" is 45 30 15.
// Rules of our own for the packed form: a leading '-' makes a negative packed angle
// ("-12.3456" is minus 12 deg 34 min 56 sec, wrapped to 347.4177778), and nothing before
// the point means 0 degrees (".3456" is 0 deg 34 min 56 sec).
// A value that is not finite is refused as NotInterpreted.
AngleRead ReadAngleText(std::string text, bool packed, double& angle, std::string* why = nullptr);

}  // namespace bendwise

// Typed angle text to decimal degrees.
//
// Accepted forms (field texts of at most 16 characters; results before the 0..360 wrap):
//   12.5            decimal degrees                       12.5
//   12 30 15        degrees, minutes, seconds             12.50416667
//   12;30;15        ';' ',' blank, tab separate words     12.50416667
//   12-30-15        two '-' in the first word separate    12.50416667
//   -12 30          one '-' in the first word: negative   -12.5   -> 347.5
//   12 -30 -15      minutes and seconds keep their signs  11.49583333
//   N 45 30 15 E    bearing: N/S first, E/W after seconds 45.50416667
//   S 45 30 00 W    S D W = 180 + D, S D E = 180 - D, N D W = 360 - D
//   45° 30' 15"     degree sign, quotes and commas are deleted (not blanked)
//   12.3456         with the packed option: DD.MMSSs      12.58222222
// Refused: empty text, "abc", "---12" (three '-'), "N 45 30 E" (seconds word is only the
// letter), "N45E" (no seconds word), "N 45 30 15" (no E or W), "inf", "nan", and any text
// whose value is not finite ("1e400").
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
// a private copy. Returns 0 on success, 2 on any failure with `angle` unchanged.
int ParseAngle(double& angle, char* text);

enum class AngleRead {
    Ok,
    NotPacked,       // "Not in DDD.MMSS format": fewer than four digits after the point
    NotInterpreted,  // "Could not interpret input"
};

// The cleaning and packed rewriting in front of ParseAngle, without any message:
// trims white space, deletes ',', '"', '\'' and the degree sign (Latin-1 0xB0 or UTF-8
// C2 B0), and with `packed` on rewrites DDD.MMSSs as "DDD MM SS.s" when the text holds a
// point, no blank and no '-' after its first character.
// Rules of our own for the packed form: a leading '-' makes a negative packed angle
// ("-12.3456" is minus 12 deg 34 min 56 sec, wrapped to 347.4177778), and nothing before
// the point means 0 degrees (".3456" is 0 deg 34 min 56 sec).
// A value that is not finite is refused as NotInterpreted.
AngleRead ReadAngleText(std::string text, bool packed, double& angle);

}  // namespace bendwise

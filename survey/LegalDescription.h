// A solved curve in the wording of a legal description (deed, plat), e.g.
//
//   a curve to the right having a radius of 1000.00 feet, a central angle of 30°00'00",
//   an arc length of 523.60 feet, and a long chord bearing N 60°00'00" E, 517.64 feet
//
// Lengths with two decimals, angles in whole seconds, the chord's direction as a quadrant
// bearing. The degree sign is written in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "solver/Curve.h"

namespace bendwise {

// Degrees, minutes and whole seconds, D°MM'SS". The angle (decimal degrees) is rounded to
// the nearest whole second before it is split, so 60" or 60' never appear:
// 30 -> 30°00'00", 29.99999 -> 30°00'00", 0.5 / 3600 -> 0°00'01" (ties away from zero),
// 200 -> 200°00'00", 1e13 -> 10000000000000°00'00" (all the digits of a huge angle). A
// negative angle gets a leading '-'. Not finite -> "undefined".
std::string FormatDmsSeconds(double degrees);

// Quadrant bearing of an azimuth (decimal degrees clockwise from north, any finite value:
// 5e304 and -1e308 too): the azimuth is rounded to whole seconds and reduced to 0..360
// (one that is 2.5e12 degrees or more is first reduced modulo 360, exactly), then
//   0 to 90 inclusive     N angle E        60 -> N 60°00'00" E
//   over 90 to 180        S 180-az E       135 -> S 45°00'00" E, 180 -> S 0°00'00" E
//   over 180 to under 270 S az-180 W       200 -> S 20°00'00" W
//   270 to under 360      N 360-az W       270 -> N 90°00'00" W, -10 -> N 10°00'00" W
std::string QuadrantBearing(double azimuth);

// A length in the description: two decimals (ties to even on the exact binary value).
std::string FormatDescriptionLength(double length);

// The description of `record`, with `unit` as the word after every length ("feet").
std::string DescribeCurve(const CCurveRecord& record, std::string_view unit);

}  // namespace bendwise

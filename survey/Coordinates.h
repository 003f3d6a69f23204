// Northing and easting of a solved curve's points, placed from a known PC or PI.
//
// Units: northings, eastings and distances in the curve's own length unit; angles in
// decimal degrees; azimuths as in the record, clockwise from north (+northing towards
// +easting) and not reduced to 0..360. A point at distance d and azimuth a from P is
//   P + (d cos a, d sin a)   as (northing, easting).
// s is +1 for a curve to the right (clockwise), -1 to the left; Az the inbound azimuth.
//
// Every point is the PC plus ONE straight offset, the chord from the PC, as the drawing
// places them:
//   PT   chord C = 2 R sin(Delta / 2)      at Az + s Delta / 2
//   MPC  chord   2 R sin(Delta / 4)        at Az + s Delta / 4
//   RP   the radius R                      at Az + s 90
//   PI   the tangent T                     at Az           (Delta below 180 only)
//   a stakeout point of deflection d:  2 R sin(d) at Az + s d
// Given the PI instead, the PC is first found one tangent back: PI + T at Az + 180.
// No coordinate comes from the difference of two large ones, so a radius of 1e13 with a
// Delta of a fraction of a second, or coordinates of state-plane size, keep their digits.
// Accuracy: placed from the PC, each coordinate is within 1.2e-15 (5.2 x 2^-52) of the
// larger of its own size and its distance from the PC, most of it from turning degrees
// into radians (200,000 random curves against long double: radius 0.01 to 1e14, Delta
// 1e-6 to 359 degrees, azimuths -360 to 360, coordinates up to 1e6); about 1e-11 of a
// unit on a grid of 10,000. Placed from the PI, the PC's own offset adds as much again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"

namespace bendwise {

struct NorthEast {
    double northing = 0.0;
    double easting = 0.0;
};

// Which point the user fixed.
enum class KnownPoint { Pc, Pi };

struct KnownPosition {
    KnownPoint point = KnownPoint::Pc;
    NorthEast at;
};

// Reads a northing or easting typed as a plain decimal number, the whole text (no blanks,
// no thousands separators, a finite value): "5000", "-12.5", "5000.25", "1e3". Returns
// false, leaving `value` unchanged, for anything else ("", "5 000", "5000ft", "inf").
bool ParseCoordinate(std::string_view text, double& value);

// Reads offsets from the centre line, D[,D...]: each a number as ParseCoordinate reads it,
// a comma apart, blanks and tabs around each allowed: "-5,5", "-5, 5", " 2.5 ". Refused,
// `offsets` unchanged: "", "-5,", ",5", "-5 5", "5ft". Negative is left.
bool ParseOffsetList(std::string_view text, std::vector<double>& offsets);

// A northing or easting as printed and written to the points file: four decimals, the
// point always '.', no sign on a value that rounds to zero: 5189.46869 -> "5189.4687",
// -0.00004 -> "0.0000".
std::string CoordinateText(double value);

// True when the tangents meet ahead of the curve: Delta below 180 degrees and a finite,
// non-negative tangent length (from 180 degrees on, tan(Delta / 2) is huge or negative).
bool HasFinitePi(const CCurveRecord& record);

// The named points of a placed curve.
struct CurvePoints {
    KnownPosition given;
    // Set when the curve cannot be placed: a PI was given for a curve that has none, or a
    // coordinate would not be a finite number. Nothing below is then meaningful.
    std::optional<std::string> error;
    NorthEast pc, pt, rp, mpc;
    std::optional<NorthEast> pi;  // absent when the curve has no finite PI
};

// The named points in the order every text and file lists them: PC, PI, PT, RP, MPC,
// each with its label and its JSON key; `at` is empty for the PI of a curve without one.
struct NamedPoint {
    const char* name;  // "PC"
    const char* key;   // "pc"
    std::optional<NorthEast> at;
};
std::vector<NamedPoint> NamedPoints(const CurvePoints& points);

// Says why a curve of 180 degrees or more has no PI (for texts and files).
extern const char* const kNoPiNote;

CurvePoints PlaceCurve(const CCurveRecord& record, const KnownPosition& known);

// The point of the arc at `deflection` degrees from the back tangent at the PC.
NorthEast PointAtDeflection(const CCurveRecord& record, const NorthEast& pc, double deflection);

}  // namespace bendwise

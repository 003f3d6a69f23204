// A curve found from surveyed points, and any point's station and offset on a placed curve.
//
// Units and signs as in survey/Coordinates.h: northings, eastings and lengths in the
// curve's own unit, angles in decimal degrees, azimuths clockwise from north; s = +1 for a
// curve to the right (its centre on the right of the direction of travel), -1 to the left.
// Azimuths returned here are reduced to [0, 360).
//
// Three constructions give the typed entries that make the calculator that curve (radius,
// Delta, inbound azimuth, left) and the PC to place it from:
//   PC, a point M on the arc, PT the circle through the three; the chords PC-M and M-PT
//                                turn by s Delta / 2 at M (each chord turns from the
//                                tangent by half the arc it spans), so Delta may be 360 less
//                                a hair; R = |PC-PT| / (2 |sin|) of that turn, the sine
//                                being cross(PC-M, M-PT) / (|PC-M| |M-PT|).
//   PC, RP, PT                   the PC and the RP held: R = |RP-PC|, the tangent at the PC
//                                square to that radius, Delta the angle at the RP from the
//                                PC to the PT; the PT's own radius is only compared (the
//                                misclosure). The minor arc unless the major one is asked for.
//   PC, PI, PT                   Delta the turn from the back tangent (PC to PI) to the ahead
//                                tangent (PI to PT), R = Tmean / tan(Delta / 2) with Tmean
//                                the mean of the two tangent lengths; the PC and the back
//                                tangent held.
// Every quantity is worked from differences of coordinates (relative to the PC, the RP or
// the instrument) and algebra on them: sines and cosines of the angles come from cross and
// dot products, not from rounded angles, so coordinates of state-plane size (1e7) keep
// their digits and no result rounds through a large number.
//
// Accuracy, measured against 50-digit mpmath on the same doubles (two runs of 3000 random
// curves, tests/survey/from_points_check.py: R 1 to 1e5, Delta 0.01 to 359 degrees,
// either turn, coordinates up to 1e7, a PT up to 0.01 off its radius):
//   three points     R within 1.1e-15 / Delta (radians) relative, at most 7.7e-13;
//                    Delta and the inbound azimuth within 1.9e-16 of a turn
//   PC, RP, PT       R and the misclosure within 2.9e-16 of R; angles 1.7e-16 of a turn
//   PC, PI, PT       R within 9e-15 / Delta (radians) relative, at most 5.2e-12; angles
//                    within 1.5e-16 of a turn
//   station, offset  within 2.9e-16 and 5.6e-16 of the largest of R, the point's distance
//                    from the PC and (for the station) the station itself
// For a small Delta the flat triangle costs the digits of the cross product, 1/Delta of
// them. Beyond that no construction can do better than its input: a point moved by e
// moves R by about R e / h, h the smallest altitude of the triangle of the three points,
// which is tiny for a Delta near 0, near 360 for three points, or near 180 for PC, RP, PT.
#pragma once

#include <optional>
#include <string>

#include "survey/Coordinates.h"

namespace bendwise {

// Azimuth from `from` to `to`, degrees in [0, 360); 0 when the points coincide.
double InverseAzimuth(const NorthEast& from, const NorthEast& to);

// Horizontal distance between two points.
double HorizontalDistance(const NorthEast& from, const NorthEast& to);

// The horizontal angle at `at`, turned clockwise from the direction to `from` to the
// direction to `to`, degrees in [0, 360); 0 when either point is `at` itself.
double AngleRight(const NorthEast& at, const NorthEast& from, const NorthEast& to);

// What the calculator is given to become the curve: radius, Delta and inbound azimuth
// typed as decimal degrees, the left check box, and the PC to place it from.
struct CurveEntries {
    double radius = 0.0;
    double delta = 0.0;      // degrees, 0 to 360
    double inboundAz = 0.0;  // degrees, [0, 360): the tangent at the PC, along the curve
    bool left = false;
    NorthEast pc;
};

// Largest misclosure accepted by default, in length units: the PT's radius against the
// PC's, or the ahead tangent against the back tangent.
constexpr double kDefaultMisclosure = 0.02;

// The circle through the PC, a point on the arc and the PT. Refused (`refusal` set, the
// rest meaningless) when two points coincide or the three lie on one line.
struct ThreePointCurve {
    std::optional<std::string> refusal;
    CurveEntries curve;
    NorthEast centre;
};
ThreePointCurve CurveFromArcPoints(const NorthEast& pc, const NorthEast& onArc,
                                   const NorthEast& pt);

// PC, radius point and PT. The curve turns to the side of the RP: an RP on the right of
// the chord from the PC to the PT is a curve to the right over the minor arc, or to the
// left over the major arc when `major` is set. Refused when two points coincide, when the
// RP lies on the chord's line (a half circle: the side, so the direction, is not defined),
// or when the PT's radius differs from the PC's by more than `tolerance`.
struct RadiusPointCurve {
    std::optional<std::string> refusal;
    CurveEntries curve;             // radius = radiusPc: the PC and the RP are held
    double radiusPc = 0.0;          // RP to PC
    double radiusPt = 0.0;          // RP to PT
    double misclosure = 0.0;        // radiusPt - radiusPc
    double chord = 0.0;             // PC to PT, as surveyed
    double chordAz = 0.0;           // degrees, [0, 360)
    double arcLength = 0.0;         // R Delta, Delta in radians
    std::optional<double> tangent;  // R tan(Delta / 2); none from 180 degrees on
};
RadiusPointCurve CurveFromRadiusPoint(const NorthEast& pc, const NorthEast& rp, const NorthEast& pt,
                                      bool major = false, double tolerance = kDefaultMisclosure);

// PC, PI and PT. Delta is below 180 degrees; refused when two points coincide, when the
// PT is on the line of the back tangent (no turn, or a turn of 180 degrees: the tangents
// do not meet ahead of the curve), or when the tangent lengths differ by more than
// `tolerance`.
struct TangentPointCurve {
    std::optional<std::string> refusal;
    CurveEntries curve;
    NorthEast centre;           // one radius from the PC, square to the back tangent
    double backTangent = 0.0;   // PC to PI
    double aheadTangent = 0.0;  // PI to PT
    double misclosure = 0.0;    // aheadTangent - backTangent
    double backAz = 0.0;        // PC to PI, degrees [0, 360)
    double aheadAz = 0.0;       // PI to PT, degrees [0, 360)
};
TangentPointCurve CurveFromTangentPoints(const NorthEast& pc, const NorthEast& pi,
                                         const NorthEast& pt,
                                         double tolerance = kDefaultMisclosure);

// A curve on the ground with its stations: arc stationing, so the PT is at
// pcStation + R Delta (Delta in radians), and each tangent runs on from its end.
struct PlacedCurve {
    NorthEast pc;
    double inboundAz = 0.0;  // degrees
    double radius = 0.0;
    double delta = 0.0;  // degrees, above 0 and below 360
    bool left = false;
    double pcStation = 0.0;
};
PlacedCurve PlacedFromRecord(const CCurveRecord& record, const NorthEast& pc, double pcStation);
PlacedCurve PlacedFromEntries(const CurveEntries& entries, double pcStation);

enum class Element { BackTangent, Curve, AheadTangent };
// "back tangent", "curve", "ahead tangent".
const char* ElementName(Element element);

// Station and offset of a point. The offset is perpendicular to the element, negative to
// the left and positive to the right of the direction of stationing, on the curve as on
// the tangents: on the curve it is s (R - distance from the centre).
//
// Which element: the back tangent is the ray behind the PC, the ahead tangent the ray on
// from the PT, the curve the arc between them (its angle from the centre between 0 and
// Delta). Their regions (the half plane behind the PC's radial line, the sector of the
// arc, the half plane ahead of the PT's radial line) cover the whole plane, and overlap:
// inside a curve, behind the PC on the outside of a long curve, wherever the tangents
// cross. A point is on the element, among those whose foot of the perpendicular lies on
// them, that is nearest (smallest |offset|); equally near ones go to the first of back
// tangent, curve, ahead tangent, so a point on the PC's or the PT's radial line is on the
// element before it. The station on the curve is the PC's plus R times that angle.
struct StationOffset {
    Element element = Element::Curve;
    double station = 0.0;
    double offset = 0.0;
};
StationOffset StationAndOffset(const PlacedCurve& curve, const NorthEast& point);

}  // namespace bendwise

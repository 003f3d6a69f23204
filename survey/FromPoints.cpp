#include "survey/FromPoints.h"

#include <cmath>

#include "math/Trig.h"

namespace bendwise {
namespace {

// pi and pi / 2 as a double plus the remainder, so that pi - x keeps the last bit.
constexpr double kPi = 3.141592653589793;
constexpr double kPiLo = 1.2246467991473532e-16;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kHalfPiLo = 6.123233995736766e-17;
// The record's degrees per radian (180 / m_pi with m_pi = kPi): the same double.
constexpr double kDegPerRad = 180 / kPi;

// Below this |sin| of the angle between two directions they are taken as one line: at
// coordinates of 1e7 a point's own rounding is 1e-16 of them, so a middle point 1e-12 of
// the chord off the line is well below anything surveyed and its circle is noise.
constexpr double kFlat = 1e-12;

// A difference of two points, northing and easting.
struct Vec {
    double n = 0.0;
    double e = 0.0;
};

Vec Minus(const NorthEast& a, const NorthEast& b) {
    return {a.northing - b.northing, a.easting - b.easting};
}

// Positive when v points to the right of u (clockwise, as azimuths run): with northing
// first, the usual x-y cross product changes sign.
double Cross(const Vec& u, const Vec& v) {
    return u.n * v.e - u.e * v.n;
}

double Dot(const Vec& u, const Vec& v) {
    return u.n * v.n + u.e * v.e;
}

double Length(const Vec& u) {
    return math::Hypot(u.n, u.e);
}

bool IsZero(const Vec& u) {
    return u.n == 0 && u.e == 0;
}

bool Finite(const NorthEast& p) {
    return std::isfinite(p.northing) && std::isfinite(p.easting);
}

// The angle of (x, y) from the x axis towards the y axis, radians in (-pi, pi]; 0 for
// (0, 0). Atan of the smaller over the larger part, so its argument is at most 1 and the
// quotient loses nothing; the quadrant from the signs.
double Atan2(double y, double x) {
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    if (ax == 0 && ay == 0) return 0.0;
    double a = ay <= ax ? math::Atan(ay / ax) : (kHalfPi - math::Atan(ax / ay)) + kHalfPiLo;
    if (x < 0) a = (kPi - a) + kPiLo;
    return y < 0 ? -a : a;
}

// Azimuth of u, radians in (-pi, pi], clockwise from north.
double Direction(const Vec& u) {
    return Atan2(u.e, u.n);
}

// Radians to degrees in [0, 360). The arguments here lie within two turns of 0.
double Degrees360(double radians) {
    double degrees = radians * kDegPerRad;
    while (degrees < 0) degrees += 360;
    while (degrees >= 360) degrees -= 360;
    return degrees;
}

NorthEast Plus(const NorthEast& p, const Vec& u) {
    return {p.northing + u.n, p.easting + u.e};
}

Vec Scaled(const Vec& u, double f) {
    return {u.n * f, u.e * f};
}

// u turned clockwise by the angle whose cosine and sine are c and s.
Vec Turned(const Vec& u, double c, double s) {
    return {u.n * c - u.e * s, u.e * c + u.n * s};
}

// The unit vector square to u, on its right.
Vec RightOf(const Vec& u) {
    return {-u.e, u.n};
}

// A unit vector at `degrees` of azimuth.
Vec Heading(double degrees) {
    const double a = degrees / kDegPerRad;
    return {math::Cos(a), math::Sin(a)};
}

std::string LengthText(double value) {
    return CoordinateText(value);
}

constexpr const char* kNotNumbers = "A northing or easting is not a number.";

// The refusal for a tolerance that is not a length of 0 or more, or empty.
std::optional<std::string> CheckTolerance(double tolerance) {
    if (tolerance >= 0 && std::isfinite(tolerance)) return std::nullopt;
    return "The misclosure tolerance must be a length of 0 or more.";
}

// tan(Delta / 2) from the cross and dot products of two directions whose lengths multiply
// to `lengths`: sin / (1 + cos) below 90 degrees, (1 - cos) / sin from there, so that
// neither form subtracts nearly equal numbers.
double TanHalf(double cross, double dot, double lengths) {
    const double c = std::fabs(cross);
    return dot >= 0 ? c / (lengths + dot) : (lengths - dot) / c;
}

}  // namespace

double InverseAzimuth(const NorthEast& from, const NorthEast& to) {
    return Degrees360(Direction(Minus(to, from)));
}

double HorizontalDistance(const NorthEast& from, const NorthEast& to) {
    return Length(Minus(to, from));
}

double AngleRight(const NorthEast& at, const NorthEast& from, const NorthEast& to) {
    const Vec u = Minus(from, at);
    const Vec v = Minus(to, at);
    if (IsZero(u) || IsZero(v)) return 0.0;
    // From the cross and dot products rather than the difference of two azimuths: the
    // angle between two nearly equal directions keeps its own digits.
    return Degrees360(Atan2(Cross(u, v), Dot(u, v)));
}

ThreePointCurve CurveFromArcPoints(const NorthEast& pc, const NorthEast& onArc,
                                   const NorthEast& pt) {
    ThreePointCurve out;
    if (!Finite(pc) || !Finite(onArc) || !Finite(pt)) {
        out.refusal = kNotNumbers;
        return out;
    }
    const Vec m = Minus(onArc, pc);  // chord PC to M
    const Vec b = Minus(pt, pc);     // the long chord
    const Vec mb = Minus(pt, onArc);
    if (IsZero(m) || IsZero(b) || IsZero(mb)) {
        out.refusal = IsZero(b)
                          ? "The PC and the PT are the same point; they do not define a curve."
                          : "The point on the arc is the PC or the PT; the three points do "
                            "not define a curve.";
        return out;
    }
    const double lm = Length(m);
    const double lmb = Length(mb);
    const double lb = Length(b);
    const double cross = Cross(m, mb);  // |m| |mb| sin(tau)
    const double dot = Dot(m, mb);      // |m| |mb| cos(tau)
    if (!(std::fabs(cross) > kFlat * lm * lmb)) {
        out.refusal = "The three points are on one line; they do not define a curve.";
        return out;
    }
    // The chords turn by tau = s Delta / 2 at the middle point, |tau| below 180 degrees.
    const double tau = Atan2(cross, dot);
    const double s = cross > 0 ? 1.0 : -1.0;
    const double sinTau = std::fabs(cross) / lm / lmb;
    const double cosTau = dot / lm / lmb;
    CurveEntries& c = out.curve;
    c.radius = lb / (2 * sinTau);  // the long chord is 2 R sin(Delta / 2)
    c.delta = 2 * std::fabs(tau) * kDegPerRad;
    // The long chord leaves the PC at Az + s Delta / 2.
    c.inboundAz = Degrees360(Direction(b) - tau);
    c.left = s < 0;
    c.pc = pc;
    // The tangent at the PC is the long chord's direction turned back by tau.
    const Vec tangent = Turned(Scaled(b, 1 / lb), cosTau, -s * sinTau);
    out.centre = Plus(pc, Scaled(RightOf(tangent), s * c.radius));
    return out;
}

RadiusPointCurve CurveFromRadiusPoint(const NorthEast& pc, const NorthEast& rp, const NorthEast& pt,
                                      bool major, double tolerance) {
    RadiusPointCurve out;
    if (!Finite(pc) || !Finite(rp) || !Finite(pt)) {
        out.refusal = kNotNumbers;
        return out;
    }
    if ((out.refusal = CheckTolerance(tolerance))) return out;
    const Vec a = Minus(pc, rp);  // radius to the PC
    const Vec c = Minus(pt, rp);  // radius to the PT
    const Vec b = Minus(pt, pc);  // the long chord
    if (IsZero(a) || IsZero(c) || IsZero(b)) {
        out.refusal = IsZero(b)
                          ? "The PC and the PT are the same point; they do not define a curve."
                          : "The radius point is the PC or the PT; a radius needs two "
                            "points apart.";
        return out;
    }
    out.radiusPc = Length(a);
    out.radiusPt = Length(c);
    out.misclosure = out.radiusPt - out.radiusPc;
    out.chord = Length(b);
    out.chordAz = Degrees360(Direction(b));
    // The centre of a curve to the right lies on the right of the chord for the minor arc.
    const double side = Cross(b, Scaled(a, -1));
    if (!(std::fabs(side) > kFlat * out.chord * out.radiusPc)) {
        out.refusal =
            "The radius point is on the line from the PC to the PT: a half circle, which does "
            "not show whether the curve turns left or right.";
        return out;
    }
    if (!(std::fabs(out.misclosure) <= tolerance)) {
        out.refusal = "The radius to the PT (" + LengthText(out.radiusPt) +
                      ") differs from the radius to the PC (" + LengthText(out.radiusPc) + ") by " +
                      LengthText(std::fabs(out.misclosure)) + ", more than the tolerance of " +
                      LengthText(tolerance) + ".";
        return out;
    }
    const double s = (side > 0) != major ? 1.0 : -1.0;
    const double cross = Cross(a, c);
    const double dot = Dot(a, c);
    const double minor = Atan2(std::fabs(cross), dot) * kDegPerRad;  // 0 to 180
    CurveEntries& e = out.curve;
    e.radius = out.radiusPc;
    e.delta = major ? 360 - minor : minor;
    // The tangent at the PC is square to the held radius: the RP lies at Az + s 90.
    e.inboundAz = Degrees360(Direction(Scaled(a, -1)) - s * kHalfPi);
    e.left = s < 0;
    e.pc = pc;
    out.arcLength = e.radius * (e.delta / kDegPerRad);
    if (!major) out.tangent = e.radius * TanHalf(cross, dot, out.radiusPc * out.radiusPt);
    return out;
}

TangentPointCurve CurveFromTangentPoints(const NorthEast& pc, const NorthEast& pi,
                                         const NorthEast& pt, double tolerance) {
    TangentPointCurve out;
    if (!Finite(pc) || !Finite(pi) || !Finite(pt)) {
        out.refusal = kNotNumbers;
        return out;
    }
    if ((out.refusal = CheckTolerance(tolerance))) return out;
    const Vec u = Minus(pi, pc);  // back tangent
    const Vec v = Minus(pt, pi);  // ahead tangent
    if (IsZero(u) || IsZero(v)) {
        out.refusal = "The PI is the PC or the PT; the tangents need three points apart.";
        return out;
    }
    out.backTangent = Length(u);
    out.aheadTangent = Length(v);
    out.misclosure = out.aheadTangent - out.backTangent;
    out.backAz = Degrees360(Direction(u));
    out.aheadAz = Degrees360(Direction(v));
    const double lengths = out.backTangent * out.aheadTangent;
    const double cross = Cross(u, v);
    const double dot = Dot(u, v);
    if (!(std::fabs(cross) > kFlat * lengths)) {
        out.refusal = dot > 0 ? "The PC, PI and PT are on one line: the tangents do not turn "
                                "(a Delta of 0), so there is no curve."
                              : "The PT lies back along the back tangent: a Delta of 180 "
                                "degrees, where the tangents do not meet ahead of the curve.";
        return out;
    }
    if (!(std::fabs(out.misclosure) <= tolerance)) {
        out.refusal = "The tangent PI to PT (" + LengthText(out.aheadTangent) +
                      ") differs from the tangent PC to PI (" + LengthText(out.backTangent) +
                      ") by " + LengthText(std::fabs(out.misclosure)) +
                      ", more than the tolerance of " + LengthText(tolerance) + ".";
        return out;
    }
    const double s = cross > 0 ? 1.0 : -1.0;
    CurveEntries& e = out.curve;
    e.delta = Atan2(std::fabs(cross), dot) * kDegPerRad;  // 0 to 180
    const double meanTangent = out.backTangent + (out.aheadTangent - out.backTangent) / 2;
    e.radius = meanTangent / TanHalf(cross, dot, lengths);
    e.inboundAz = out.backAz;
    e.left = s < 0;
    e.pc = pc;
    out.centre = Plus(pc, Scaled(RightOf(Scaled(u, 1 / out.backTangent)), s * e.radius));
    return out;
}

PlacedCurve PlacedFromRecord(const CCurveRecord& record, const NorthEast& pc, double pcStation) {
    PlacedCurve p;
    p.pc = pc;
    p.inboundAz = record.m_inboundAz;
    p.radius = record.m_radius;
    p.delta = record.m_delta;
    p.left = record.m_left != 0;
    p.pcStation = pcStation;
    return p;
}

PlacedCurve PlacedFromEntries(const CurveEntries& entries, double pcStation) {
    PlacedCurve p;
    p.pc = entries.pc;
    p.inboundAz = entries.inboundAz;
    p.radius = entries.radius;
    p.delta = entries.delta;
    p.left = entries.left;
    p.pcStation = pcStation;
    return p;
}

const char* ElementName(Element element) {
    switch (element) {
        case Element::BackTangent:
            return "back tangent";
        case Element::Curve:
            return "curve";
        case Element::AheadTangent:
            return "ahead tangent";
    }
    return "curve";
}

StationOffset StationAndOffset(const PlacedCurve& curve, const NorthEast& point) {
    const double s = curve.left ? -1.0 : 1.0;
    const double r = curve.radius;
    const double deltaRad = curve.delta / kDegPerRad;
    const Vec d = Minus(point, curve.pc);

    // Each element's station and offset, whether the foot of the perpendicular lies on it,
    // and the distance to its nearest point (the foot, or else its nearer end).
    struct Candidate {
        StationOffset at;
        bool within;
        double distance;
    };

    // Back tangent: the line through the PC along the inbound azimuth.
    const Vec t = Heading(curve.inboundAz);
    const double alongBack = Dot(d, t);
    const double offsetBack = Dot(d, RightOf(t));
    const double toPc = Length(d);
    const bool onBack = alongBack <= 0;

    // Curve: with a = PC - centre (R long) and q = a + d the point from the centre, the
    // angle turned from a to q along the curve is atan2(s cross(a, d), R^2 + dot(a, d)):
    // cross(a, a) = 0, so no large term cancels. R - |q| = -(2 dot(a, d) + |d|^2) / (R + |q|)
    // keeps the offset's digits for a point near the arc.
    const Vec a = Scaled(RightOf(t), -s * r);
    const Vec q{a.n + d.n, a.e + d.e};
    const double rho = Length(q);
    double angle = Atan2(s * Cross(a, d), r * r + Dot(a, d));
    // Counted from the middle of the arc to within half a turn, so a curve of more than
    // 180 degrees has its far half, and a point just behind the PC goes negative.
    if (angle < deltaRad / 2 - kPi) angle += 2 * kPi;
    const double inside = -(2 * Dot(a, d) + Dot(d, d)) / (r + rho);  // R - |q|
    const bool onArc = angle >= 0 && angle <= deltaRad;

    // Ahead tangent: from the PT, placed as survey/Coordinates places it, on along
    // Az + s Delta.
    const double halfDelta = curve.delta / 2;
    const Vec chord = Scaled(Heading(curve.inboundAz + s * halfDelta),
                             (2 * r) * math::Sin(halfDelta / kDegPerRad));
    const Vec fromPt{d.n - chord.n, d.e - chord.e};
    const Vec t2 = Heading(curve.inboundAz + s * curve.delta);
    const double alongAhead = Dot(fromPt, t2);
    const double offsetAhead = Dot(fromPt, RightOf(t2));
    const double toPt = Length(fromPt);
    const bool onAhead = alongAhead >= 0;

    const Candidate candidates[] = {
        {{Element::BackTangent, curve.pcStation + alongBack, offsetBack},
         onBack,
         onBack ? std::fabs(offsetBack) : toPc},
        {{Element::Curve, curve.pcStation + r * angle, s * inside},
         onArc,
         onArc ? std::fabs(inside) : std::fmin(toPc, toPt)},
        {{Element::AheadTangent, curve.pcStation + r * deltaRad + alongAhead, offsetAhead},
         onAhead,
         onAhead ? std::fabs(offsetAhead) : toPt},
    };
    // The three regions cover the plane, so some foot lies on its element; only rounding
    // at an end can leave none, and then the nearest end decides.
    const Candidate* best = nullptr;
    for (const bool needFoot : {true, false}) {
        for (const Candidate& c : candidates) {
            if (needFoot && !c.within) continue;
            if (best == nullptr || c.distance < best->distance) best = &c;
        }
        if (best != nullptr) break;
    }
    return best->at;
}

}  // namespace bendwise

#include "survey/Spiral.h"

#include <cmath>

#include "math/Trig.h"
#include "survey/Stationing.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = 180 / kPi;  // degrees per radian, as the record's m_degPerRad
constexpr double kHalfHundredth = 0.005;
constexpr double kLargestExactCount = 9007199254740992.0;  // 2^53

// The four clothoid series at turned angle t (radians, 0 <= t < pi/2), each divided by
// the length: x / l, y / l, and for the SC p / Ls and k / Ls. With a_n = t^2n / (2n)! and
// b_n = t^(2n+1) / (2n+1)! = a_n t / (2n+1), the n-th terms are
//   x: (-1)^n a_n / (4n+1)          y: (-1)^n b_n / (4n+3)
//   k: (-1)^n a_n / ((4n+1)(4n+2))  p: (-1)^n b_n / ((4n+3)(4n+4))
// (k's and p's are x's and y's less those of sin t / (2t) and (1 - cos t) / (2t), combined
// before summing). Stopped once a_n is below 2^-64: every later term of every series is
// then below 2^-64 of its first, and the sums are at least 0.6 of their first terms. Summed
// from the last term back, so the small terms are not lost against the first.
struct Series {
    double x = 1, y = 0, k = 0.5, p = 0;
};

Series ClothoidSeries(double t) {
    constexpr int kMaxTerms = 30;  // 12 reach 2^-64 at t = pi/2
    double tx[kMaxTerms], ty[kMaxTerms], tk[kMaxTerms], tp[kMaxTerms];
    const double t2 = t * t;
    double a = 1;  // (-1)^n t^2n / (2n)!
    int n = 0;
    for (; n < kMaxTerms; ++n) {
        if (n > 0) a *= -t2 / ((2.0 * n - 1) * (2.0 * n));
        const double b = a * t / (2.0 * n + 1);
        const double m = 4.0 * n;
        tx[n] = a / (m + 1);
        ty[n] = b / (m + 3);
        tk[n] = a / ((m + 1) * (m + 2));
        tp[n] = b / ((m + 3) * (m + 4));
        if (std::fabs(a) < 0x1p-64) break;
    }
    if (n == kMaxTerms) n = kMaxTerms - 1;
    Series s{0, 0, 0, 0};
    for (int i = n; i >= 0; --i) {
        s.x += tx[i];
        s.y += ty[i];
        s.k += tk[i];
        s.p += tp[i];
    }
    return s;
}

bool PositiveLength(double v) {
    return v > 0 && std::isfinite(v);
}

// Cosine and sine of `degrees`, 0 to 180, turned into radians only after the angle is
// reduced to within 45 degrees of 0, 90 or 180 (90 - a and 180 - a are exact there): so a
// Delta near 180, whose tan(Delta / 2) would multiply the rounding of Delta in radians
// by Delta / sin Delta, keeps the digits of the small angle it differs from 180 by.
struct CosSin {
    double c, s;
};
CosSin CosSinDegrees(double degrees) {
    if (degrees <= 45) return {math::Cos(degrees / kDeg), math::Sin(degrees / kDeg)};
    if (degrees <= 135) {
        const double r = (90 - degrees) / kDeg;
        return {math::Sin(r), math::Cos(r)};
    }
    const double r = (180 - degrees) / kDeg;
    return {-math::Cos(r), math::Sin(r)};
}

bool Finite(const NorthEast& p) {
    return std::isfinite(p.northing) && std::isfinite(p.easting);
}

// A point (u along the back tangent, v square to it towards the centre) of the curve's own
// frame, on the ground.
NorthEast FromTs(const SpiralPoints& at, double u, double v) {
    const double s = at.left ? -1.0 : 1.0;
    const double c = math::Cos(at.inboundAz / kDeg), n = math::Sin(at.inboundAz / kDeg);
    return {at.ts.northing + (u * c - s * v * n), at.ts.easting + (u * n + s * v * c)};
}

// The frame's coordinates of a point (x back along the ahead tangent from the ST, y square
// to it towards the centre), the exit spiral's own coordinates.
void FromSt(const SpiralCurve& curve, double x, double y, double& u, double& v) {
    const CosSin half = CosSinDegrees(curve.delta / 2), whole = CosSinDegrees(curve.delta);
    const double chord = 2 * curve.ts * half.c;  // TS to ST, at Delta / 2
    u = chord * half.c - x * whole.c - y * whole.s;
    v = chord * half.s - x * whole.s + y * whole.c;
}

}  // namespace

ClothoidPoint ClothoidAt(double l, double rc, double ls) {
    ClothoidPoint c;
    // (l / Ls) (l / 2Rc): at l = Ls exactly theta_s = Ls / (2 Rc).
    c.theta = (l / ls) * (l / (2 * rc));
    const Series s = ClothoidSeries(c.theta);
    c.x = l * s.x;
    c.y = l * s.y;
    return c;
}

SpiralCurve ComputeSpiral(double rc, double deltaDegrees, double ls) {
    SpiralCurve c;
    c.rc = rc;
    c.delta = deltaDegrees;
    c.ls = ls;
    if (!PositiveLength(rc)) {
        c.refusal = "the radius must be a positive, finite length";
        return c;
    }
    if (!PositiveLength(ls)) {
        c.refusal = "the spiral length must be a positive, finite length";
        return c;
    }
    if (!(deltaDegrees > 0 && deltaDegrees < 180)) {
        c.refusal =
            "Delta must be above 0 and below 180 degrees: the tangents of a spiral curve "
            "meet at a PI ahead of it";
        return c;
    }
    c.thetaS = ls / (2 * rc);
    c.thetaSDeg = c.thetaS * kDeg;
    c.deltaC = deltaDegrees - 2 * c.thetaSDeg;
    if (!(c.deltaC > 0)) {
        c.refusal = "the two spirals turn " + DmsString(2 * c.thetaSDeg) +
                    " together, all of Delta or more: Delta must be larger than that to leave "
                    "a circular arc between them";
        return c;
    }
    if (!(c.thetaS > 0)) {
        c.refusal = "the spiral is too short for the radius to turn the line at all";
        return c;
    }
    const Series s = ClothoidSeries(c.thetaS);
    c.xs = ls * s.x;
    c.ys = ls * s.y;
    c.p = ls * s.p;
    c.k = ls * s.k;
    // exsec(Delta/2) = 1 / cos(Delta/2) - 1 = 2 sin^2(Delta/4) / cos(Delta/2): no
    // cancellation for a small Delta.
    const CosSin half = CosSinDegrees(deltaDegrees / 2);
    const double quarter = math::Sin(deltaDegrees / 4 / kDeg);
    c.ts = (rc + c.p) * (half.s / half.c) + c.k;
    c.es = (rc + c.p) * (2 * quarter * quarter / half.c) + c.p;
    c.lt = c.xs - c.ys / math::Tan(c.thetaS);
    c.st = c.ys / math::Sin(c.thetaS);
    c.lc = math::Hypot(c.xs, c.ys);
    c.scDeflection = math::Atan(c.ys / c.xs) * kDeg;
    c.arcLength = rc * (c.deltaC / kDeg);
    if (!std::isfinite(c.ts) || !std::isfinite(c.es) || !std::isfinite(c.arcLength) ||
        !std::isfinite(c.lt) || !std::isfinite(c.st)) {
        c.refusal = "the curve's elements are not all finite numbers";
    }
    return c;
}

SpiralStations StationSpiral(const SpiralCurve& curve, double piStation) {
    SpiralStations s;
    s.pi = piStation;
    s.ts = piStation - curve.ts;
    s.sc = s.ts + curve.ls;
    s.cs = s.sc + curve.arcLength;
    s.st = s.cs + curve.ls;
    return s;
}

const char* SpiralPartName(SpiralPart part) {
    switch (part) {
        case SpiralPart::EntrySpiral:
            return "entry spiral";
        case SpiralPart::Arc:
            return "arc";
        case SpiralPart::ExitSpiral:
            return "exit spiral";
    }
    return "";
}

bool SpiralStakeout(const SpiralCurve& curve, const SpiralStations& stations, double interval,
                    std::vector<SpiralStake>& stakes, std::string& reason) {
    stakes.clear();
    if (curve.refusal) {
        reason = *curve.refusal;
        return false;
    }
    if (!PositiveLength(interval)) {
        reason = "the stakeout interval must be a positive length";
        return false;
    }
    if (!std::isfinite(stations.ts) || !std::isfinite(stations.st)) {
        reason = "the stations are not finite numbers";
        return false;
    }
    const double first = std::ceil(stations.ts / interval);
    const double last = std::floor(stations.st / interval);
    if (last - first + 5 > kMaxStakeoutRows) {
        reason = "a stakeout interval this short gives more than 100000 points";
        return false;
    }
    if (std::fabs(first) > kLargestExactCount || std::fabs(last) > kLargestExactCount) {
        reason = "the stations are too large for this stakeout interval";
        return false;
    }

    auto spiral = [&](SpiralPart part, double station, double l) {
        SpiralStake k;
        k.part = part;
        k.station = station;
        k.distance = l;
        const ClothoidPoint c = ClothoidAt(l, curve.rc, curve.ls);
        k.x = c.x;
        k.y = c.y;
        k.deflection = l > 0 ? math::Atan(c.y / c.x) * kDeg : 0.0;
        k.approxDeflection = c.theta * kDeg / 3;
        k.chord = math::Hypot(c.x, c.y);
        stakes.push_back(k);
    };
    auto arc = [&](double station, double a) {
        SpiralStake k;
        k.part = SpiralPart::Arc;
        k.station = station;
        k.distance = a;
        const double d = a / (2 * curve.rc);  // radians
        k.deflection = d * kDeg;
        k.approxDeflection = k.deflection;
        k.chord = 2 * curve.rc * math::Sin(d);
        k.x = k.chord * math::Cos(d);
        k.y = k.chord * math::Sin(d);
        stakes.push_back(k);
    };
    // The stake at each named point: the element it ends.
    auto named = [&](int i) {
        switch (i) {
            case 0:
                spiral(SpiralPart::EntrySpiral, stations.ts, 0.0);
                break;
            case 1:
                spiral(SpiralPart::EntrySpiral, stations.sc, curve.ls);
                break;
            case 2: {
                arc(stations.cs, curve.arcLength);
                // Delta_c / 2 itself rather than Lc / (2 Rc) rounded twice.
                stakes.back().deflection = curve.deltaC / 2;
                stakes.back().approxDeflection = curve.deltaC / 2;
                break;
            }
            default:
                spiral(SpiralPart::ExitSpiral, stations.st, 0.0);
        }
    };
    const double points[4] = {stations.ts, stations.sc, stations.cs, stations.st};
    // Half the last printed place: a stake that close to a named point prints as it.
    double apart = kHalfHundredth;
    for (int d = StationDecimals(interval); d > 2; --d) apart /= 10;

    named(0);
    int next = 1;  // the named point still to come
    const long count = last >= first ? static_cast<long>(last - first) + 1 : 0;
    for (long i = 0; i < count; ++i) {
        const double station = (first + static_cast<double>(i)) * interval;
        while (next < 4 && points[next] <= station) named(next++);
        if (station - points[next - 1] < apart || (next < 4 && points[next] - station < apart))
            continue;
        if (next == 1)
            spiral(SpiralPart::EntrySpiral, station, station - stations.ts);
        else if (next == 2)
            arc(station, station - stations.sc);
        else
            spiral(SpiralPart::ExitSpiral, station, stations.st - station);
    }
    while (next < 4) named(next++);
    return true;
}

SpiralPoints PlaceSpiral(const SpiralCurve& curve, SpiralKnown known, const NorthEast& at,
                         double inboundAz, bool left) {
    SpiralPoints p;
    p.inboundAz = inboundAz;
    p.left = left;
    if (curve.refusal) {
        p.error = *curve.refusal;
        return p;
    }
    if (known == SpiralKnown::Pi) {
        const double back = (inboundAz + 180) / kDeg;
        p.ts = {at.northing + curve.ts * math::Cos(back), at.easting + curve.ts * math::Sin(back)};
        p.pi = at;
    } else {
        p.ts = at;
        p.pi = FromTs(p, curve.ts, 0);
    }
    p.sc = FromTs(p, curve.xs, curve.ys);
    p.cc = FromTs(p, curve.k, curve.rc + curve.p);
    double u = 0, v = 0;
    FromSt(curve, 0, 0, u, v);
    p.st = FromTs(p, u, v);
    FromSt(curve, curve.xs, curve.ys, u, v);
    p.cs = FromTs(p, u, v);
    if (!Finite(p.ts) || !Finite(p.sc) || !Finite(p.cc) || !Finite(p.cs) || !Finite(p.st) ||
        !Finite(p.pi)) {
        p.error = "the curve's coordinates are not all finite numbers";
    }
    return p;
}

NorthEast StakePosition(const SpiralCurve& curve, const SpiralPoints& points,
                        const SpiralStake& stake) {
    switch (stake.part) {
        case SpiralPart::EntrySpiral:
            return FromTs(points, stake.x, stake.y);
        case SpiralPart::Arc: {
            // From the SC, turned by theta_s to the tangent there.
            const double c = math::Cos(curve.thetaS), s = math::Sin(curve.thetaS);
            return FromTs(points, curve.xs + stake.x * c - stake.y * s,
                          curve.ys + stake.x * s + stake.y * c);
        }
        case SpiralPart::ExitSpiral:
            break;
    }
    double u = 0, v = 0;
    FromSt(curve, stake.x, stake.y, u, v);
    return FromTs(points, u, v);
}

NorthEast SpiralPointAt(const SpiralCurve& curve, const SpiralPoints& points, SpiralPart part,
                        double l) {
    const ClothoidPoint c = ClothoidAt(l, curve.rc, curve.ls);
    if (part != SpiralPart::ExitSpiral) return FromTs(points, c.x, c.y);
    double u = 0, v = 0;
    FromSt(curve, c.x, c.y, u, v);
    return FromTs(points, u, v);
}

namespace {

double Reduce360(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    return a >= 360 ? 0.0 : a;
}

}  // namespace

SpiralAlignment AlignmentOf(const SpiralCurve& curve, const SpiralPoints& points) {
    SpiralAlignment a;
    const double s = points.left ? -1.0 : 1.0;
    a.outboundAz = Reduce360(points.inboundAz + s * curve.delta);
    a.scAz = Reduce360(points.inboundAz + s * curve.thetaSDeg);
    a.csAz = Reduce360(points.inboundAz + s * (curve.delta - curve.thetaSDeg));
    const double half = curve.deltaC / 2 / kDeg;  // below 90 degrees
    const double quarter = math::Sin(half / 2);
    a.arcTangent = curve.rc * math::Tan(half);
    a.arcChord = 2 * curve.rc * math::Sin(half);
    a.arcMidOrdinate = 2 * curve.rc * quarter * quarter;
    a.arcExternal = a.arcMidOrdinate / math::Cos(half);
    a.entryPi = FromTs(points, curve.lt, 0);
    const double c = math::Cos(curve.thetaS), n = math::Sin(curve.thetaS);
    a.arcPi = FromTs(points, curve.xs + a.arcTangent * c, curve.ys + a.arcTangent * n);
    double u = 0, v = 0;
    FromSt(curve, curve.lt, 0, u, v);
    a.exitPi = FromTs(points, u, v);
    return a;
}

}  // namespace bendwise

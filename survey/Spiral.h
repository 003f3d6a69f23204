// A circular curve with equal clothoid spirals at both ends: tangent, spiral, arc, spiral,
// tangent (TS, SC, CS, ST), its elements, stations, stakeout and coordinates.
//
// Units and signs as in survey/Coordinates.h: lengths in the curve's own unit, angles in
// decimal degrees unless a name says radians, azimuths clockwise from north; s = +1 for a
// curve to the right, -1 to the left. Rc is the radius of the circular arc, Delta the whole
// turn at the PI, Ls the length of each spiral.
//
// The clothoid: curvature grows from 0 at the TS in proportion to the distance l along it,
// so the tangent has turned theta = l^2 / (2 Rc Ls) radians at l, theta_s = Ls / (2 Rc) at
// the SC. Its coordinates from the TS, x along the back tangent and y square to it towards
// the curve, are the integrals of cos theta and sin theta over l; in powers of theta
//   x = l sum_n (-1)^n theta^2n     / ((4n + 1) (2n)!)      = l (1 - t^2/10 + t^4/216 - ...)
//   y = l sum_n (-1)^n theta^(2n+1) / ((4n + 3) (2n + 1)!)  = l (t/3 - t^3/42 + t^5/1320 ...)
// carried until the terms are below 2^-64 of the first (14 terms at most, theta below
// 90 degrees), summed smallest first. The shift p = Ys - Rc (1 - cos theta_s) and the
// abscissa k = Xs - Rc sin theta_s come from their own series, the two subtractions done
// term by term, so they keep their digits for the flattest spiral:
//   p = Ls sum_n (-1)^n t^(2n+1) / ((2n + 1)! (4n + 3) (4n + 4))  = Ls (t/12 - t^3/336 ...)
//   k = Ls sum_n (-1)^n t^2n     / ((2n)! (4n + 1) (4n + 2))      = Ls (1/2 - t^2/60 ...)
// The series converge for every theta, but their terms grow to about e^theta / sqrt(2 pi theta)
// before they fall, so they would lose digits beyond a few radians; here theta_s is always
// below 90 degrees (Delta below 180, Delta_c above 0), where the largest term is 1 and no
// digit is lost. The textbook two-term forms (x = l - l^5 / (40 Rc^2 Ls^2), k = Ls / 2,
// p = Ls^2 / (24 Rc)) differ from these by Ls theta_s^4 / 216 (in x at the SC),
// Ls theta_s^2 / 60 and Ls theta_s^3 / 336: 3.6 mm in k for Rc 1000 m, Ls 95 m.
//
// The rest, from those:
//   Ts = (Rc + p) tan(Delta/2) + k          PI to TS (and to ST); the half angle turned
//                                           into radians from its distance to 90 degrees,
//                                           which is exact, so a Delta near 180 keeps its
//                                           digits
//   Es = (Rc + p) exsec(Delta/2) + p        PI to the middle of the arc, exsec a =
//                                           2 sin^2(a/2) / cos a, so no cancellation
//   LT = Xs - Ys / tan theta_s              TS to where the tangent at the SC crosses
//   ST = Ys / sin theta_s                   that crossing to the SC
//   LC = sqrt(Xs^2 + Ys^2)                  TS to SC
//   deflection of the SC = atan(Ys / Xs)    at the TS from the back tangent
//   Delta_c = Delta - 2 theta_s,  Lc = Rc Delta_c (radians)
// Delta_c is a difference: for a Delta barely above 2 theta_s it keeps only the digits of
// Delta that the subtraction leaves, as any method must.
//
// Accuracy, measured against 50-digit mpmath on the same doubles, the clothoid there from
// the Fresnel integrals (tests/survey/spiral_check.py, run once on 3000 random curves and their
// 79,414 stakes; the test runs 1000 of them. Rc 1 to 1e5, theta_s 1e-6 to 89.9 degrees, Delta from
// just above 2 theta_s to 180 (one curve in ten within 1e-8 degrees to 180 - 2 theta_s of 180),
// coordinates up to 1e6, placed from the TS or the PI, either turn):
//   theta_s, Xs, Ys, p, k, LT, ST, LC and the SC's deflection   within 5.3e-16 relative
//   Ts, Es                       within 4.7e-16 and 6.0e-16 relative, Delta near 180 too
//   Delta_c, Lc                  within 2.0e-16 of Delta, 3.0e-16 of Rc Delta (radians)
//   stations                     within 4.6e-16 of the larger of the PI's station and
//                                Ts + 2 Ls + Lc
//   a stake's y, chord, both deflections   within 7.6e-16 relative; its x within 3.9e-16 of
//                                its chord (on an arc near 180 degrees x is a small part)
//   coordinates                  within 1.2e-15 of the larger of their own size and their
//                                distance from the TS, as survey/Coordinates.h
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "survey/Coordinates.h"

namespace bendwise {

// The clothoid at distance l from its start: x along the tangent there, y square to it
// towards the curve. l from 0 to Ls; Rc and Ls as for the curve.
struct ClothoidPoint {
    double x = 0.0;
    double y = 0.0;
    double theta = 0.0;  // radians the tangent has turned, l^2 / (2 Rc Ls)
};
ClothoidPoint ClothoidAt(double l, double rc, double ls);

// The elements of one curve. Refused (`refusal` set, the rest meaningless) when Rc or Ls
// is not a positive, finite length, when Delta is not above 0 and below 180 degrees (the
// tangents must meet at a PI ahead of the curve), or when the two spirals turn all of
// Delta or more (Delta_c <= 0), in which case the reason names 2 theta_s, the smallest
// Delta these spirals allow.
struct SpiralCurve {
    std::optional<std::string> refusal;
    double rc = 0.0;
    double delta = 0.0;  // degrees
    double ls = 0.0;
    double thetaS = 0.0;        // radians, Ls / (2 Rc)
    double thetaSDeg = 0.0;     // degrees
    double xs = 0.0;            // SC from the TS, along the back tangent
    double ys = 0.0;            // SC from the TS, square to it
    double p = 0.0;             // shift of the arc from the tangent
    double k = 0.0;             // abscissa of the shifted PC from the TS
    double ts = 0.0;            // total tangent, PI to TS
    double es = 0.0;            // external, PI to the middle of the arc
    double lt = 0.0;            // long tangent of the spiral
    double st = 0.0;            // short tangent of the spiral
    double lc = 0.0;            // long chord of the spiral, TS to SC
    double scDeflection = 0.0;  // degrees, the SC from the back tangent at the TS
    double deltaC = 0.0;        // degrees, the arc's central angle
    double arcLength = 0.0;     // Lc, SC to CS
};
SpiralCurve ComputeSpiral(double rc, double deltaDegrees, double ls);

// Stations along the line: TS = PI - Ts, SC = TS + Ls, CS = SC + Lc, ST = CS + Ls.
struct SpiralStations {
    double pi = 0.0, ts = 0.0, sc = 0.0, cs = 0.0, st = 0.0;
};
SpiralStations StationSpiral(const SpiralCurve& curve, double piStation);

enum class SpiralPart { EntrySpiral, Arc, ExitSpiral };
// "entry spiral", "arc", "exit spiral".
const char* SpiralPartName(SpiralPart part);

// One stake, seen from the start of its element: the entry spiral from the TS, the arc
// from the SC, the exit spiral from the ST looking back along the ahead tangent.
//   spirals  distance l from the TS (ST); x, y the clothoid's; deflection atan(y / x) from
//            the tangent at the TS (ST), with the field shortcut theta / 3 beside it;
//            chord sqrt(x^2 + y^2).
//   arc      distance a from the SC; deflection a / (2 Rc) from the tangent at the SC (the
//            shortcut is the same); chord 2 Rc sin(deflection); x, y the chord's
//            components along and square to the tangent at the SC.
struct SpiralStake {
    SpiralPart part = SpiralPart::EntrySpiral;
    double station = 0.0;
    double distance = 0.0;
    double x = 0.0;
    double y = 0.0;
    double deflection = 0.0;        // degrees
    double approxDeflection = 0.0;  // degrees, theta / 3 on the spirals
    double chord = 0.0;
};

// Stakes at the TS, every full multiple of `interval` along the line, the SC, the CS and
// the ST, in order of station. A multiple that would print as a named point's station (see
// survey/Stationing.h, StationDecimals) is that point and is not repeated. Each named point
// is listed once, with the element it ends: the TS and the SC with the entry spiral, the
// CS with the arc (deflection Delta_c / 2), the ST with the exit spiral (distance 0).
// Returns false with `reason` for a refused curve, an interval that is not a positive
// length, or more than kMaxStakeoutRows stakes.
bool SpiralStakeout(const SpiralCurve& curve, const SpiralStations& stations, double interval,
                    std::vector<SpiralStake>& stakes, std::string& reason);

// Which point the user fixed.
enum class SpiralKnown { Ts, Pi };

// The named points on the ground, with what placed them. Every point is the TS plus an
// offset worked in the curve's own frame (along the back tangent and square to it towards
// the centre), turned to the inbound azimuth once: the SC (Xs, Ys), the centre CC (k,
// Rc + p), the PI (Ts, 0), the ST one chord 2 Ts cos(Delta/2) at Delta/2, the CS back from
// the ST along the ahead tangent as the SC is from the TS. Placed from the PI, the TS is
// first found one Ts back, and the PI is kept as given.
struct SpiralPoints {
    std::optional<std::string> error;  // a refused curve, or coordinates not all finite
    double inboundAz = 0.0;            // degrees, the back tangent along the curve
    bool left = false;
    NorthEast ts, sc, cc, cs, st, pi;
};
SpiralPoints PlaceSpiral(const SpiralCurve& curve, SpiralKnown known, const NorthEast& at,
                         double inboundAz, bool left);

// A stake of SpiralStakeout on the ground of PlaceSpiral.
NorthEast StakePosition(const SpiralCurve& curve, const SpiralPoints& points,
                        const SpiralStake& stake);

// A point of a spiral on the ground of PlaceSpiral, `l` (0 to Ls) from the TS along the
// entry spiral, or back from the ST along the exit spiral; `part` is not Arc.
NorthEast SpiralPointAt(const SpiralCurve& curve, const SpiralPoints& points, SpiralPart part,
                        double l);

// What an alignment of the placed curve needs beyond SpiralPoints, for the exchange files:
//   entryPi, exitPi   where the tangents at the ends of each spiral meet: LT from the TS
//                     along the back tangent, LT from the ST back along the ahead tangent
//   arcPi             where the arc's own tangents meet: Tc = Rc tan(Delta_c / 2) from the
//                     SC along the tangent there
//   scAz, csAz, outboundAz   azimuths along the line at the SC (inbound + theta_s towards
//                     the turn), at the CS (outbound - theta_s) and on the ahead tangent,
//                     degrees, 0 <= az < 360
//   arcTangent, arcChord, arcExternal, arcMidOrdinate   the arc's Tc, 2 Rc sin(Delta_c / 2),
//                     Rc exsec(Delta_c / 2) and Rc versin(Delta_c / 2), the last two as
//                     2 Rc sin^2 forms so a short arc keeps its digits
struct SpiralAlignment {
    NorthEast entryPi, arcPi, exitPi;
    double scAz = 0.0, csAz = 0.0, outboundAz = 0.0;
    double arcTangent = 0.0, arcChord = 0.0, arcExternal = 0.0, arcMidOrdinate = 0.0;
};
SpiralAlignment AlignmentOf(const SpiralCurve& curve, const SpiralPoints& points);

}  // namespace bendwise

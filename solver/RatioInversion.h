// Inverting the two ratios that have no closed-form inverse: a fixed number of iterations
// from a closed-form start, then Newton's method on a form that keeps every digit, until a
// step no longer changes x. x is in radians; the callers double it and convert.
#pragma once

namespace bendwise {

// Returned for an argument outside the accepted range or not a number. The caller shows
// "Can't deal with extreme value." and goes on with this value, which its floor then
// turns into 1e-25.
constexpr double kInversionFailed = -999.99;

// Solves sin(x) / x = r for 0 <= r <= 1 (chord / arc, or Lrr / arc). Returns pi at r = 0,
// falling to exactly 1e-10 at r = 1.
//
// Start: sqrt(3 (1 - r)(1 + r)) above r = 0.7, else 3 (1 - r) sqrt(1 + r); then exactly 20
// steps x -= g (r - sin(x) / x) with a fixed gain g = 3 above r = 0.84, else
// 2.25 + 2 |r - 0.42|. These reach the root to double precision up to r ~ 0.88, and the
// result is theirs bit for bit there. Above, they converge slowly (the error shrinks by
// about 1 - x a step: 20 of them stop up to 9.1e-6 rad short, near r = 0.997), and Newton's
// steps on (1 - r) - (x - sin x) / x = 0 go on from them to the root: 0.99 gives
// 0.2453178089 (the 20 steps alone 0.2453141322). Within a few ulps of the root of the
// equation for the ratio given; `complement` is 1 - r, which a caller with the two lengths
// passes as (L - C) / L, since the 1 - r of a rounded ratio near 1 has lost its digits.
double InvertChordRatio(double r);
double InvertChordRatio(double r, double complement);

// Solves tan(x) / x = r for 0 <= r <= 1e10 (2 T / L). Below pi/2; exactly 1e-10 at r = 1.
//
// Start: 1 above r = 1.4, else sqrt(3 (r - 1)), replaced by 1e-10 when not positive or not
// real (r <= 1); then exactly 10 steps x += (x - tan(x) / r) / (x tan(x) - (r - 1) / r),
// Newton's step for tan(x) - r x = 0 with tan(x)^2 in the derivative replaced by
// r x tan(x), equal at the root; where a further step would still change x, Newton's
// steps on (tan x - x) / x - (r - 1) = 0 go on to the root (`excess` is r - 1, given by a
// caller with the lengths as (2T - L) / L). For 0 < r <= 1 (no positive root) the result
// is the steps' own: exactly 1e-10 at r = 1, within 1e-15 of zero below.
// Our rule for r = 0, where the steps would divide by zero: the result is 0, the limit of
// the results for small r, so the caller sees a zero angle and floors it.
double InvertTangentRatio(double r);
double InvertTangentRatio(double r, double excess);

}  // namespace bendwise

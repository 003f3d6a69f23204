// Inverting the two ratios that have no closed-form inverse, by a fixed number of
// iterations from a closed-form start. x is in radians; the callers double it and convert.
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
// 2.25 + 2 |r - 0.42|. Exact to double precision up to r ~ 0.88 (7e-14 short at 0.9);
// above that the gain-3 steps converge slowly and leave the result short of the root, by
// at most about 9.1e-6 rad near r = 0.997 (0.99 gives 0.2453141322, root 0.2453178089).
// Every build must reproduce these values exactly, shortfall included.
double InvertChordRatio(double r);

// Solves tan(x) / x = r for 0 <= r <= 1e10 (2 T / L). Below pi/2; exactly 1e-10 at r = 1.
//
// Start: 1 above r = 1.4, else sqrt(3 (r - 1)), replaced by 1e-10 when not positive or not
// real (r <= 1); then exactly 10 steps x += (x - tan(x) / r) / (x tan(x) - (r - 1) / r),
// Newton's step for tan(x) - r x = 0 with tan(x)^2 in the derivative replaced by
// r x tan(x), equal at the root. Agrees with the root to 13 digits from r = 1.01 to 1e10.
// For 0 < r < 1 (no positive root) the result is within 1e-15 of zero.
// Our rule for r = 0, where the steps would divide by zero: the result is 0, the limit of
// the results for small r, so the caller sees a zero angle and floors it.
double InvertTangentRatio(double r);

}  // namespace bendwise

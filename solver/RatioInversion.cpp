#include "solver/RatioInversion.h"

#include <cmath>

#include "math/Trig.h"

namespace bendwise {
namespace {

// x - sin x, accurate to a few ulps also where sin x is almost x. Up to x = 1 by its
// series x^3/3! - x^5/5! + ..., nested as x^3/6 (1 - x^2/20 (1 - x^2/42 (1 - ...))): the
// factor k of a term is 1 / ((2k + 2)(2k + 3)); the twelfth, x^25/25!, is below 2^-84 of
// the first at x = 1. Above 1 sin x is at most 0.85 x and the plain difference is exact
// enough.
double XMinusSin(double x) {
    if (x > 1) return x - math::Sin(x);
    const double x2 = x * x;
    double nested = 1;
    for (int k = 12; k >= 2; --k) nested = 1 - x2 / ((2.0 * k) * (2.0 * k + 1)) * nested;
    return x * x2 / 6 * nested;
}

// Newton's method from `x` on f(x) = 0, where `f` keeps its digits near the root and
// `slope` is only roughly right (it sets the speed, not the root). Where the first step
// moves x by 4 ulps at most, x is the root within what rounding allows and is returned
// unchanged, so the fixed steps' results stay the same doubles where they had converged.
// Otherwise it goes on until a step no longer changes x; two doubles visited in turn end
// it too, with the one of the smaller |f|. A step that leaves (0, limit] ends it with the
// x before.
template <typename F, typename S>
double NewtonToRoot(double x, double limit, F f, S slope) {
    double fx = f(x);
    double next = x - fx / slope(x);
    const double ulp = std::nextafter(x, limit + 1) - x;
    if (!(std::fabs(next - x) > 4 * ulp)) return x;
    double before = -1;
    for (int i = 0; i < 64; ++i) {
        if (!(next > 0 && next <= limit)) return x;
        if (next == x) return x;
        if (next == before) return std::fabs(f(next)) < std::fabs(fx) ? next : x;
        before = x;
        x = next;
        fx = f(x);
        next = x - fx / slope(x);
    }
    return x;
}

}  // namespace

double InvertChordRatio(double r) {
    return InvertChordRatio(r, 1 - r);
}

double InvertChordRatio(double r, double complement) {
    if (r < 0 || r > 1 || std::isnan(r)) return kInversionFailed;
    double x;
    if (r > 0.7) {
        x = std::sqrt(3 * (1 - r) * (1 + r));
    } else {
        x = 3 * (1 - r) * std::sqrt(1 + r);
    }
    if (!(x > 0)) x = 1e-10;  // only at r = 1, where the root is 0
    const double gain = r > 0.84 ? 3.0 : 2.25 + 2 * std::fabs(r - 0.42);
    for (int i = 0; i < 20; ++i) x = x - gain * (r - math::Sin(x) / x);

    // At r = 1 the root is 0, and the steps keep their 1e-10.
    const double s = complement;
    if (!(s > 0)) return x;
    // Above r ~ 0.88 each fixed-gain step shrinks the error only by (1 - x), and
    // sin(x) / x - r loses digits as sin(x) / x nears 1 (at 1 - 1e-10 all but six).
    // Newton's method on the same equation written (1 - r) - (x - sin x) / x = 0 keeps
    // them: 1 - r is exact from r = 0.5 up, or given by the caller as (L - C) / L, and
    // x - sin x is summed as a series. The slope is d/dx sin(x)/x = (x cos x - sin x) / x^2,
    // below 0.1 from its series -(x/3 - x^3/30 + x^5/840).
    return NewtonToRoot(
        x, 3.141592653589793, [s](double t) { return s - XMinusSin(t) / t; },
        [](double t) {
            if (t < 0.1) {
                const double t2 = t * t;
                return -t * (1.0 / 3 - t2 * (1.0 / 30 - t2 / 840));
            }
            return (t * math::Cos(t) - math::Sin(t)) / (t * t);
        });
}

double InvertTangentRatio(double r) {
    return InvertTangentRatio(r, r - 1);
}

double InvertTangentRatio(double r, double excess) {
    if (r < 0 || r > 1e10 || std::isnan(r)) return kInversionFailed;
    if (r == 0) return 0.0;
    double x;
    if (r > 1.4) {
        x = 1;
    } else {
        x = std::sqrt(3 * (r - 1));  // not a number below r = 1
    }
    if (!(x > 0)) x = 1e-10;
    for (int i = 0; i < 10; ++i) {
        double t = math::Tan(x);
        x = x + (x - t / r) / (x * t - (r - 1) / r);
    }

    // No positive root at or below r = 1: the result stays the steps' near-zero value.
    const double q = excess;
    if (!(r > 1) || !(q > 0)) return x;
    // As for the chord: tan(x) / x - r written (tan x - x) / x - (r - 1), where
    // tan x - x = (2 x sin^2(x/2) - (x - sin x)) / cos x loses nothing as x nears 0
    // (the two terms are x^3/2 and x^3/6), and r - 1 is exact from r = 0.5 up, or
    // given as (2T - L) / L. The slope is d/dx tan(x)/x = (x / cos^2 x - tan x) / x^2,
    // below 0.1 from its series 2x/3 + 8x^3/15 + 34x^5/105.
    return NewtonToRoot(
        x, 1.5707963267948966,
        [q](double u) {
            const double half = math::Sin(u / 2);
            return (2 * u * half * half - XMinusSin(u)) / math::Cos(u) / u - q;
        },
        [](double u) {
            const double u2 = u * u;
            if (u < 0.1) return u * (2.0 / 3 + u2 * (8.0 / 15 + u2 * (34.0 / 105)));
            const double c = math::Cos(u);
            return (u / (c * c) - math::Tan(u)) / u2;
        });
}

}  // namespace bendwise

// math/Trig.h against MPFR, correctly rounded at 53 bits: every argument of every range
// must give the same double. BENDWISE_TRIG_ARGUMENTS sets the arguments per range (70,000
// by default, about 4 seconds); the long run behind math/Trig.h's claim used 10 million.
// Built twice: math_trig_test on the library, and math_last_stage_test on math/Trig.cpp
// built with BENDWISE_TRIG_LAST_STAGE_ONLY, where every call goes through the 256-bit last
// stage (about 15 us each, hence 20,000 arguments a range by default) on every branch.

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "math/Trig.h"

#ifdef BENDWISE_TRIG_LAST_STAGE_ONLY
#define TRIG_SUITE TrigLastStage
constexpr long kDefaultArguments = 20000;
#else
#define TRIG_SUITE Trig
constexpr long kDefaultArguments = 70000;
#endif

namespace bendwise::math {
namespace {

using MpfrFunction = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

double Reference(MpfrFunction f, double x) {
    mpfr_t in, out;
    mpfr_init2(in, 53);
    mpfr_init2(out, 53);
    mpfr_set_d(in, x, MPFR_RNDN);
    const int inexact = f(out, in, MPFR_RNDN);
    mpfr_subnormalize(out, inexact, MPFR_RNDN);
    const double y = mpfr_get_d(out, MPFR_RNDN);
    mpfr_clear(in);
    mpfr_clear(out);
    return y;
}

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// SplitMix64: the same arguments on every run.
struct Random {
    std::uint64_t state;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }  // [0, 1)
    // Uniform in the exponent from 2^low to 2^high, either sign.
    double Magnitude(int low, int high) {
        const double m = 1 + Unit();
        const int e = low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low));
        return (Next() & 1 ? -1 : 1) * std::ldexp(m, e);
    }
};

long Arguments() {
    const char* text = std::getenv("BENDWISE_TRIG_ARGUMENTS");
    return text != nullptr ? std::atol(text) : kDefaultArguments;
}

struct Range {
    const char* name;
    double (*ours)(double);
    MpfrFunction reference;
    std::function<double(Random&)> argument;
};

const double kDegree = 3.141592653589793 / 180;

TEST(TRIG_SUITE, CorrectlyRoundedOnEveryRange) {
    const auto angles = [](Random& r) { return (4 * r.Unit() - 2) * 3.141592653589793; };
    // Typed angles: whole seconds and decimal degrees, as the engine divides them.
    const auto typed = [](Random& r) {
        return static_cast<double>(static_cast<long>(r.Unit() * 36000000)) / 100000 / kDegree;
    };
    const auto wide = [](Random& r) { return r.Magnitude(-30, 40); };
    const auto any = [](Random& r) { return r.Magnitude(-1022, 1023); };
    const auto ratio = [](Random& r) { return 2 * r.Unit() - 1; };
    // Next to a multiple k pi/2 (k up to 2^21), where reducing the argument cancels most
    // of its bits: the double nearest k pi/2, moved by a few units of its last place up to
    // 2^-10 of a radian.
    const auto nearQuarter = [](Random& r) {
        const double k = static_cast<double>(1 + r.Next() % (1u << 21));
        const double x = k * 1.5707963267948966;
        const double step = r.Next() & 1 ? std::ldexp(1.0, -10 - static_cast<int>(r.Next() % 50))
                                         : static_cast<double>(r.Next() % 9) * 0x1p-52 * x;
        return (r.Next() & 1 ? -1 : 1) * (x + (r.Next() & 1 ? step : -step));
    };
    const auto nearOne = [](Random& r) {
        return (r.Next() & 1 ? -1 : 1) * (1 - r.Magnitude(-53, 0) * 0.5);
    };
    // The edges of the fast paths' table steps and formulas, where their remainders are
    // largest: a double moved by up to 4 units of its last place, either sign.
    const auto nudge = [](Random& r, double x) {
        for (int k = static_cast<int>(r.Next() % 9) - 4; k != 0; k += k < 0 ? 1 : -1) {
            x = std::nextafter(x, k < 0 ? 0.0 : 2 * x);
        }
        return (r.Next() & 1 ? -1 : 1) * x;
    };
    // k pi/2 +- (i + 1/2)/128: half steps of the tangent's table, and of the sine's at odd i.
    const auto halfSteps = [&](Random& r) {
        const double offset = (static_cast<double>(r.Next() % 101) + 0.5) / 128;
        const double k = static_cast<double>(r.Next() % 5);
        return nudge(r, k * 1.5707963267948966 + (r.Next() & 1 ? offset : -offset));
    };
    // s = (i + 1/2)/64 and sqrt(1 - s^2), the half steps of asin a for a = |x| or sqrt(1 - x^2).
    const auto arcHalfSteps = [&](Random& r) {
        const double s = (static_cast<double>(r.Next() % 46) + 0.5) / 64;
        return nudge(r, r.Next() & 1 ? s : std::sqrt(1 - s * s));
    };
    // Where asin and acos change from |x| to sqrt(1 - x^2), up to 2^10 units either way.
    const auto rootHalf = [&](Random& r) {
        const double step = static_cast<double>(r.Next() % 1024) * 0x1p-53;
        return nudge(r, 0.7071067811865476 + (r.Next() & 1 ? step : -step));
    };
    // (i + 1/2)/64 and 64/(i + 1/2): half steps of atan x and atan 1/x; 1 and 128.
    const auto atanHalfSteps = [&](Random& r) {
        const double s = (static_cast<double>(r.Next() % 65) + 0.5) / 64;
        const int pick = static_cast<int>(r.Next() % 4);
        return nudge(r, pick == 0 ? s : pick == 1 ? 1 / s : pick == 2 ? 1.0 : 128.0);
    };
    const Range ranges[] = {
        {"sin of angles", Sin, mpfr_sin, angles},
        {"cos of angles", Cos, mpfr_cos, angles},
        {"tan of angles", Tan, mpfr_tan, angles},
        {"sin of typed", Sin, mpfr_sin, typed},
        {"cos of typed", Cos, mpfr_cos, typed},
        {"tan of typed", Tan, mpfr_tan, typed},
        {"sin 2^-30..2^40", Sin, mpfr_sin, wide},
        {"cos 2^-30..2^40", Cos, mpfr_cos, wide},
        {"tan 2^-30..2^40", Tan, mpfr_tan, wide},
        {"sin of any", Sin, mpfr_sin, any},
        {"cos of any", Cos, mpfr_cos, any},
        {"tan of any", Tan, mpfr_tan, any},
        {"sin near k pi/2", Sin, mpfr_sin, nearQuarter},
        {"cos near k pi/2", Cos, mpfr_cos, nearQuarter},
        {"tan near k pi/2", Tan, mpfr_tan, nearQuarter},
        {"sin at half steps", Sin, mpfr_sin, halfSteps},
        {"cos at half steps", Cos, mpfr_cos, halfSteps},
        {"tan at half steps", Tan, mpfr_tan, halfSteps},
        {"asin", Asin, mpfr_asin, ratio},
        {"acos", Acos, mpfr_acos, ratio},
        {"asin near 1", Asin, mpfr_asin, nearOne},
        {"acos near 1", Acos, mpfr_acos, nearOne},
        {"asin at half steps", Asin, mpfr_asin, arcHalfSteps},
        {"acos at half steps", Acos, mpfr_acos, arcHalfSteps},
        {"asin near sqrt(1/2)", Asin, mpfr_asin, rootHalf},
        {"acos near sqrt(1/2)", Acos, mpfr_acos, rootHalf},
        {"atan", Atan, mpfr_atan, [](Random& r) { return r.Magnitude(-40, 70); }},
        {"atan at half steps", Atan, mpfr_atan, atanHalfSteps},
    };
    const long n = Arguments();
    for (const Range& range : ranges) {
        Random random{0x5EED};
        long wrong = 0;
        for (long i = 0; i < n; ++i) {
            const double x = range.argument(random);
            const double got = range.ours(x);
            const double want = Reference(range.reference, x);
            if (!SameDouble(got, want) && wrong++ < 3) {
                ADD_FAILURE() << range.name << "(" << std::hexfloat << x << ") = " << got
                              << ", correctly rounded " << want;
            }
        }
        EXPECT_EQ(wrong, 0) << range.name << ": " << wrong << " of " << n;
    }
}

TEST(TRIG_SUITE, SpecialArguments) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double (*ours)(double);
        MpfrFunction reference;
        double x;
    } cases[] = {
        {Sin, mpfr_sin, 0.0},
        {Sin, mpfr_sin, -0.0},
        {Cos, mpfr_cos, -0.0},
        {Tan, mpfr_tan, -0.0},
        {Sin, mpfr_sin, inf},
        {Cos, mpfr_cos, -inf},
        {Tan, mpfr_tan, nan},
        {Asin, mpfr_asin, 1.0},
        {Asin, mpfr_asin, -1.0},
        {Acos, mpfr_acos, 1.0},
        {Acos, mpfr_acos, -1.0},
        {Acos, mpfr_acos, 0.0},
        {Asin, mpfr_asin, 1.0000000000000002},
        {Acos, mpfr_acos, -2.0},
        {Atan, mpfr_atan, inf},
        {Atan, mpfr_atan, -inf},
        {Atan, mpfr_atan, 1.0},
        {Atan, mpfr_atan, 0x1p60},
        {Atan, mpfr_atan, 0x1.0000000000001p60},
        // Just below and above the size where the series stops at x.
        {Sin, mpfr_sin, 0x1.fffffffffffffp-28},
        {Tan, mpfr_tan, 0x1p-27},
        {Cos, mpfr_cos, 0x1p-27},
        // The double nearest a multiple of pi/2 (61 bits cancel in the reduction), pi/4
        // rounded either way, and the largest double.
        {Sin, mpfr_sin, 0x1.6ac5b262ca1ffp+849},
        {Cos, mpfr_cos, 0x1.6ac5b262ca1ffp+849},
        {Tan, mpfr_tan, 0x1.921fb54442d18p-1},
        {Tan, mpfr_tan, 0x1.921fb54442d19p-1},
        {Sin, mpfr_sin, std::numeric_limits<double>::max()},
        {Tan, mpfr_tan, 0x1.921fb54442d18p+0},  // the double nearest pi/2
        // Results just below a power of two, where the gap below is half the gap above:
        // sin of the double nearest pi/6, cos of the double nearest pi/3.
        {Sin, mpfr_sin, 0x1.0c152382d7365p-1},
        {Cos, mpfr_cos, 0x1.0c152382d7365p+0},
        // acos of a subnormal number and of a tiny negative one.
        {Acos, mpfr_acos, 0x1p-1070},
        {Acos, mpfr_acos, -0x1p-60},
        // Within 2^-28 units of the last place of a midpoint between two doubles, the closest
        // of 10^9 arguments of each function: the rounding rests on the double-double path.
        {Sin, mpfr_sin, 0x1.68e30a315a6a1p+2},
        {Sin, mpfr_sin, 0x1.5072f49e193d5p+2},
        {Cos, mpfr_cos, 0x1.7d2d1cb0e8531p+2},
        {Cos, mpfr_cos, 0x1.2c2517876214cp+2},
        {Tan, mpfr_tan, 0x1.6246b6bace04fp+2},
        {Tan, mpfr_tan, 0x1.0cb3b4f428435p+2},
        {Asin, mpfr_asin, 0x1.75527d268c84p-2},
        {Asin, mpfr_asin, -0x1.25a45ff9b255p-4},
        {Acos, mpfr_acos, -0x1.b183f4f686acep-1},
        {Acos, mpfr_acos, -0x1.71ad28a8adfep-2},
        {Atan, mpfr_atan, 0x1.c49e027d3dbf5p+1},
        {Atan, mpfr_atan, 0x1.287bd791af401p-3},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SameDouble(c.ours(c.x), Reference(c.reference, c.x)))
            << std::hexfloat << c.x << ": " << c.ours(c.x) << " vs " << Reference(c.reference, c.x);
    }
}

}  // namespace
}  // namespace bendwise::math

namespace bendwise::math {
namespace {

// A NaN argument gives the quiet NaN, not the argument's own bits (a signalling NaN or a
// payload), from all six.
TEST(TRIG_SUITE, NaNInQuietNaNOut) {
    double signalling;
    const std::uint64_t bits = 0x7FF0000000000123ull;
    std::memcpy(&signalling, &bits, sizeof signalling);
    const double quiet = std::numeric_limits<double>::quiet_NaN();
    for (double (*f)(double) : {Sin, Cos, Tan, Asin, Acos, Atan}) {
        const double y = f(signalling);
        EXPECT_EQ(std::memcmp(&y, &quiet, sizeof y), 0);
    }
}

// Hypot against MPFR: the nearest double over every scale (subnormal, near overflow), equal
// and very unequal sides; no overflow on the way.
TEST(TRIG_SUITE, HypotIsTheNearestDouble) {
    Random random{7};
    long wrong = 0, tried = 0;
    mpfr_t a, b, r;
    mpfr_inits2(53, a, b, r, static_cast<mpfr_ptr>(nullptr));
    for (long i = 0; i < Arguments(); ++i) {
        const double x = random.Magnitude(-1074, 1023);
        const int kind = static_cast<int>(i % 4);
        const double y = kind == 0   ? random.Magnitude(-1074, 1023)
                         : kind == 1 ? x * (1 + random.Unit() * 0x1p-20)  // nearly equal
                         : kind == 2 ? x * std::ldexp(1 + random.Unit(), -27 - i % 4)
                                     : random.Magnitude(-30, 30);
        mpfr_set_d(a, x, MPFR_RNDN);
        mpfr_set_d(b, y, MPFR_RNDN);
        const int inexact = mpfr_hypot(r, a, b, MPFR_RNDN);
        mpfr_subnormalize(r, inexact, MPFR_RNDN);
        const double expected = mpfr_get_d(r, MPFR_RNDN);
        ++tried;
        if (!SameDouble(Hypot(x, y), expected)) {
            if (++wrong <= 5) ADD_FAILURE() << std::hexfloat << x << " " << y;
        }
    }
    mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr));
    EXPECT_EQ(wrong, 0) << "of " << tried;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Hypot(inf, std::numeric_limits<double>::quiet_NaN()), inf);
    EXPECT_TRUE(std::isnan(Hypot(std::numeric_limits<double>::quiet_NaN(), 1)));
    EXPECT_EQ(Hypot(-3, 4), 5);
    EXPECT_EQ(Hypot(0, -0.0), 0);
    EXPECT_EQ(Hypot(1e308, 1e308), 1.4142135623730951e308);
}

}  // namespace
}  // namespace bendwise::math

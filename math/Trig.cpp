#include "math/Trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

// Every product and sum here is rounded by itself, whatever the build's flags: a fused
// multiply-add would change the doubles (by up to 189 ulps on the hard-to-round arguments
// with GCC's default of -ffp-contract=fast on a processor with FMA). Clang honours its
// pragma unless told -ffp-contract=fast, which overrides every pragma by design.
#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

namespace bendwise::math {
namespace {

// ---- double-double arithmetic: a value is hi + lo with |lo| <= half an ulp of hi --------

struct DD {
    double hi;
    double lo;
};

inline DD Neg(DD a) {
    return {-a.hi, -a.lo};
}

// a + b exactly (Knuth).
inline DD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly when |a| >= |b| (Dekker).
inline DD FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = hi + lo with 26 significant bits each (Veltkamp); |a| below 2^995.
inline DD Split(double a) {
    const double t = 134217729.0 * a;  // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}

// a x b exactly (Dekker), without a fused multiply-add so that every build agrees.
inline DD TwoProd(double a, double b) {
    const double p = a * b;
    const DD x = Split(a);
    const DD y = Split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

inline DD Add(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

// a + b when they do not cancel (same signs, or |b| well below |a|): the series and the
// angle-sum steps, where it is half the work of Add and as accurate.
inline DD AddNear(DD a, DD b) {
    const DD s = TwoSum(a.hi, b.hi);
    return FastTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

inline DD Add(DD a, double b) {
    const DD s = TwoSum(a.hi, b);
    return FastTwoSum(s.hi, s.lo + a.lo);
}

inline DD Mul(DD a, DD b) {
    const DD p = TwoProd(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DD Mul(DD a, double b) {
    const DD p = TwoProd(a.hi, b);
    return FastTwoSum(p.hi, p.lo + a.lo * b);
}

DD Div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = Add(a, Neg(Mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = Add(r, Neg(Mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return Add(FastTwoSum(q1, q2), q3);
}

// One Newton step from the double square root doubles its 53 bits.
DD Sqrt(DD a) {
    if (a.hi <= 0) return {0, 0};
    const double x = std::sqrt(a.hi);
    const DD r = Add(a, Neg(TwoProd(x, x)));
    return FastTwoSum(x, r.hi / (2 * x));
}

// ---- constants and tables -----------------------------------------------------------------
//
// Written by math/MakeTrigTables.cpp from MPFR; each value hi + lo within 2^-106 of the
// exact one. A head is hi rounded to 26 significant bits and its tail hi - head: a head
// times a number of at most 27 significant bits is an exact double.

struct SinCosStep {
    DD sin;
    double sinHead, sinTail;
    DD cos;
    double cosHead, cosTail;
};
struct TanStep {
    DD tan;
    DD sec2;  // 1 + tan^2
    double sec2Head, sec2Tail;
};
struct AtanStep {
    DD atan;
    DD co;  // pi/2 - atan
};
struct AsinStep {
    DD asin;
    DD cos;  // sqrt(1 - s^2) for s = i/64
    double cosHead, cosTail;
};

// The last stage's numbers: two's-complement fixed point in nine 32-bit limbs, lowest first,
// eight of fraction (an ulp is 2^-256) and the whole part in the last, so |value| < 2^31.
constexpr int kWideLimbs = 9;
constexpr int kWideFraction = 32 * (kWideLimbs - 1);
struct Wide {
    std::uint32_t limb[kWideLimbs];
};

#include "math/TrigTables.inc"

// Below this size sin x, tan x, asin x and atan x round to x, and cos x to 1: the next
// term of the series is less than a quarter of an ulp.
constexpr double kTiny = 0x1p-27;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- the double-double paths: about 2^-100 of the exact value ------------------------------
//
// Sine, cosine and arctangent at multiples of 1/64 (kSinCos, kAtan) leave a remainder below
// 1/128, on which six to eight terms of a series reach 2^-106. The terms up to z^2 (sine,
// cosine) and z^3 (arctangent) need double-double; the rest are below 2^-51 of the result,
// so double arithmetic keeps them within 2^-104.

constexpr int kStepsPerUnit = 64;

// sin t and cos t for |t| <= 1/128, z = t^2:
//   sin t = t + t z (-1/6 + z (1/120 + z (-1/5040 + z / 9! - z^2 / 11!)))
//   cos t = 1 + z (-1/2 + z (1/24 + z (-1/720 + z / 8! - z^2 / 10!)))
inline DD SinSmall(DD t, DD z) {
    const double zz = z.hi;
    const double tail = zz * (-1.0 / 5040 + zz * (1.0 / 362880 + zz * (-1.0 / 39916800)));
    const DD p = AddNear(kSin3, Mul(z, Add(kSin5, tail)));
    return AddNear(t, Mul(Mul(z, p), t));
}

inline DD CosSmall(DD z) {
    const double zz = z.hi;
    const double tail = zz * (-1.0 / 720 + zz * (1.0 / 40320 + zz * (-1.0 / 3628800)));
    const DD p = Add(Mul(z, Add(kCos4, tail)), -0.5);
    return Add(Mul(z, p), 1.0);
}

// sin (`wantSin`) or cos of |a| <= pi/4: a = i/64 + t with |t| <= 1/128, then the
// angle-sum rule with sin and cos of i/64 from the table.
DD SinOrCosReduced(DD a, bool wantSin) {
    const int i = static_cast<int>(std::nearbyint(std::fabs(a.hi) * kStepsPerUnit));
    const double step = (a.hi < 0 ? -1.0 : 1.0) * i / kStepsPerUnit;
    const DD t = Add(a, -step);
    const DD z = Mul(t, t);
    const DD sinT = SinSmall(t, z);
    const DD cosT = CosSmall(z);
    const DD sinStep = a.hi < 0 ? Neg(kSinCos[i].sin) : kSinCos[i].sin;
    const DD cosStep = kSinCos[i].cos;
    if (wantSin) return AddNear(Mul(sinStep, cosT), Mul(cosStep, sinT));
    return AddNear(Mul(cosStep, cosT), Neg(Mul(sinStep, sinT)));
}

// atan(t) for 0 <= t <= 1 (slightly above after rounding): t = c + ..., c = i/64, then
// atan t = atan c + atan u with u = (t - c) / (1 + t c), |u| <= 1/128, and
//   atan u = u + u z (-1/3 + z (1/5 + z (-1/7 + z (1/9 - z / 11 + ... - z^4 / 17)))).
DD AtanReduced(DD t) {
    const int i = static_cast<int>(std::nearbyint(t.hi * kStepsPerUnit));
    const double step = static_cast<double>(i) / kStepsPerUnit;
    const DD u = Div(Add(t, -step), Add(Mul(t, step), 1.0));
    const DD z = Mul(u, u);
    const double zz = z.hi;
    const double tail =
        zz * (1.0 / 9 + zz * (-1.0 / 11 + zz * (1.0 / 13 + zz * (-1.0 / 15 + zz / 17))));
    DD p = Add(kAtan7, tail);
    p = AddNear(kAtan5, Mul(z, p));
    p = AddNear(kAtan3, Mul(z, p));
    return Add(kAtan[i].atan, AddNear(u, Mul(Mul(z, p), u)));
}

// atan(y / x) in [0, pi/2] for y, x >= 0, not both 0.
DD AtanOfRatio(DD y, DD x) {
    if (y.hi <= x.hi) return AtanReduced(Div(y, x));
    return Add(kHalfPi, Neg(AtanReduced(Div(x, y))));
}

// sqrt(1 - x^2) for |x| <= 1: (1 - x)(1 + x), each factor exact in double-double.
DD Cofunction(double x) {
    return Sqrt(Mul(TwoSum(1.0, -x), TwoSum(1.0, x)));
}

// ---- reduction by pi/2 ----------------------------------------------------------------------

// kTwoOverPi (TrigTables.inc) holds bits 1, 2, 3, ... of 2/pi after the binary point, 32 to
// an entry: the largest double's first 30 entries only add whole turns, and the 8 after them
// are this reduction's window (the last stage's 11 reach entry 41).

// Entries of 2/pi multiplied per reduction: 256 bits leave at least 170 correct bits after
// the point, while the nearest a double comes to a multiple of pi/2 costs 61 of them.
constexpr int kWindow = 8;
constexpr int kProductLimbs = kWindow + 2;

std::uint32_t Limb(const std::uint32_t* limbs, int i) {
    return i >= 0 && i < kProductLimbs ? limbs[i] : 0;
}

int Bit(const std::uint32_t* limbs, int n) {
    return n < 0 ? 0 : (Limb(limbs, n / 32) >> (n % 32)) & 1;
}

// The bits n .. n + count - 1 (count <= 53) as an integer; bits below 0 read as zeros.
std::uint64_t Bits(const std::uint32_t* limbs, int n, int count) {
    const int limb = n >= 0 ? n / 32 : -((31 - n) / 32);
    const int shift = n - 32 * limb;  // 0 .. 31
    const std::uint64_t low =
        (static_cast<std::uint64_t>(Limb(limbs, limb + 1)) << 32) | Limb(limbs, limb);
    const std::uint64_t high = Limb(limbs, limb + 2);
    std::uint64_t value = low >> shift;
    if (shift > 0) value |= high << (64 - shift);
    return value & ((std::uint64_t{1} << count) - 1);
}

// Clears the bits from n up.
void ClearFrom(std::uint32_t* limbs, int n) {
    for (int i = n / 32; i < kProductLimbs; ++i) {
        limbs[i] &= i == n / 32 ? (std::uint32_t{1} << (n % 32)) - 1 : 0;
    }
}

// The highest set bit below n, or -1.
int TopBit(const std::uint32_t* limbs, int n) {
    for (int i = (n - 1) / 32; i >= 0; --i) {
        for (int b = 31; limbs[i] != 0 && b >= 0; --b) {
            if ((limbs[i] >> b) & 1) return 32 * i + b;
        }
    }
    return -1;
}

// x - q pi/2 with |result| <= pi/4 for finite x > pi/4 (Payne-Hanek); returns q mod 4.
// x 2/pi in fixed point, the part of it that matters mod 4: x's 53-bit mantissa times the
// `window` 32-bit entries of 2/pi from the first one that does not make a multiple of 4,
// into `p` (window + 2 limbs, least significant first). Returns `point`: x 2/pi = p x
// 2^-point (mod 4), so p's bits below `point` are the fraction.
template <std::size_t kLimbs>
int TimesTwoOverPi(double x, int window, std::uint32_t (&p)[kLimbs]) {
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = exponent - 53;  // x = mantissa x 2^e
    // Entries j with 32 (j + 1) <= e - 2 make mantissa x 2^e x entry a multiple of 4.
    const int first = e >= 2 ? (e - 2) / 32 : 0;
    const std::uint32_t m[2] = {static_cast<std::uint32_t>(mantissa),
                                static_cast<std::uint32_t>(mantissa >> 32)};
    for (int i = 0; i < window; ++i) {
        const std::uint64_t b = kTwoOverPi[first + window - 1 - i];
        std::uint64_t carry = 0;
        for (int k = 0; k < 2; ++k) {
            const std::uint64_t t = b * m[k] + p[i + k] + carry;
            p[i + k] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + 2] = static_cast<std::uint32_t>(carry);
    }
    return 32 * (first + window) - e;
}

int Reduce(double x, DD& r) {
    std::uint32_t p[kProductLimbs] = {};
    const int point = TimesTwoOverPi(x, kWindow, p);
    int quadrant = Bit(p, point) + 2 * Bit(p, point + 1);
    const bool negative = Bit(p, point - 1) == 1;  // fraction >= 1/2: round q up
    ClearFrom(p, point);
    if (negative) {
        ++quadrant;
        // fraction - 1 = -(2^point - fraction): the two's complement of p's low bits.
        std::uint64_t carry = 1;
        for (std::uint32_t& limb : p) {
            const std::uint64_t t = static_cast<std::uint64_t>(~limb) + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        ClearFrom(p, point);
    }
    const int top = TopBit(p, point);
    if (top < 0) {
        r = {0, 0};
    } else {
        const double hi = std::ldexp(static_cast<double>(Bits(p, top - 52, 53)), top - 52 - point);
        const double lo =
            std::ldexp(static_cast<double>(Bits(p, top - 105, 53)), top - 105 - point);
        r = Mul(FastTwoSum(hi, lo), kHalfPi);
        if (negative) r = Neg(r);
    }
    return quadrant & 3;
}

// x >= 0 reduced to r, |r| <= pi/4; returns the quadrant.
int ReduceAny(double x, DD& r) {
    r = {x, 0};
    return x > kHalfPi.hi / 2 ? Reduce(x, r) : 0;
}

// ---- the fast paths: double arithmetic around exact leading terms, and a rounding test ------
//
// Each fast path gives the exact value R as hi + lo within bound x |R|, the bound derived
// above it (u = 2^-53 is the unit roundoff: a double operation errs by at most u times its
// result, and an exact product or sum by nothing), first order in u, and set at least
// 1.5 times the sum of the terms. Settle returns the nearest double when every value that
// close rounds to it; otherwise the double-double path above runs. Measured on arguments
// of the engine's kinds: 1 sine or cosine in 450, tangent in 500, arcsine in 2,000,
// arccosine in 7,000, arctangent in 17,000.

// x rounded to the nearest whole number, for |x| < 2^51: adding 1.5 x 2^52 leaves no bits
// below the unit, and subtracting it again is exact.
inline double RoundToWhole(double x) {
    return (x + 0x1.8p52) - 0x1.8p52;
}

// a x c exactly for a c of at most 7 significant bits (i/64): Dekker's product with c
// as its own upper half, a split in two of 26 bits.
inline DD TwoProdShort(double a, double c) {
    const double p = a * c;
    const DD x = Split(a);
    return {p, (x.hi * c - p) + x.lo * c};
}

// A fast path's result: the exact value R lies within bound x |R| of hi + lo.
struct Estimate {
    double hi, lo;
    double bound;
};

// The test build math_last_stage_test defines BENDWISE_TRIG_LAST_STAGE_ONLY: no rounding
// test passes there, so every call goes through the last stage (which the hard-to-round
// arguments reach on some of its branches only). A constant, so free everywhere else.
#ifdef BENDWISE_TRIG_LAST_STAGE_ONLY
constexpr bool kLastStageOnly = true;
#else
constexpr bool kLastStageOnly = false;
#endif

// The nearest double to hi + lo when every value within the bound rounds to it.
bool Settle(Estimate v, double& y) {
    const DD n = TwoSum(v.hi, v.lo);  // n.hi = fl(hi + lo), n.lo the exact rest
    y = n.hi;
    const double size = std::fabs(y);
    std::uint64_t bits;
    std::memcpy(&bits, &size, sizeof bits);
    bits &= 0x7FF0000000000000u;  // 2^e <= size < 2^(e + 1)
    double power;
    std::memcpy(&power, &bits, sizeof power);
    // Half the gap between y and its neighbours: 2^(e - 53), or 2^(e - 54) below a power
    // of two. |n.lo| + error < half keeps the exact value strictly inside y's rounding
    // interval (a double half, so the rounded sum below it means the exact one is); the
    // bound's margin covers size x bound rounded down and |R| up to size (1 + 2^-52).
    const double half = size == power ? power * 0x1p-54 : power * 0x1p-53;
    return !kLastStageOnly && std::fabs(n.lo) + size * v.bound < half;
}

// The reduced argument r = x - k pi/2 of the fast paths.
struct Reduced {
    int quadrant;   // k mod 4
    double hi, lo;  // within 2^-79 |r| of r; |hi| <= pi/4 + 2^-30, |lo| < 2^-47.9
};

// pi/2 in three parts (Cody and Waite): P1 and P2 of 33 significant bits, so that k P1 and
// k P2 are exact for whole k below 2^20, P3 of 53; what they leave out is below 2^-122.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPiDouble = 0x1.45f306dc9c883p-1;
constexpr double kCodyWaiteBelow = 0x1p20;

// x >= 2^-27 reduced: x itself up to pi/4; below 2^20, k = round(x 2/pi) and
// x - k P1 (exact: the two are within a factor of 2) - k P2 (exact) as an exact sum
// hi + e, then lo = e - k P3 rounded: within 2^-99 of x - k pi/2, |lo| < 2^-47.9. That is
// 2^-79 of r for |r| from 2^-20 up; a smaller r (x within 2^-20 of a multiple of pi/2) or
// x from 2^20 on is reduced exactly by Payne and Hanek (2^-103).
Reduced ReduceFast(double x) {
    if (x <= kHalfPi.hi / 2) return {0, x, 0};
    if (x < kCodyWaiteBelow) {
        const double k = RoundToWhole(x * kTwoOverPiDouble);
        const DD rest = TwoSum(x - k * kHalfPi1, -(k * kHalfPi2));
        if (std::fabs(rest.hi) >= 0x1p-20) {
            return {static_cast<int>(k) & 3, rest.hi, rest.lo - k * kHalfPi3};
        }
    }
    DD r;
    const int quadrant = Reduce(x, r);
    return {quadrant, r.hi, r.lo};
}

// r = hi + lo as sign x (c + t + al), c = i / steps nearest a = |hi|, t = a - c (exact: a and
// c are within a factor of 2, or c = 0), al = sign x lo; tau = fl(t + al). t = tHead + tTail
// exactly with tHead a multiple of `unit`: with steps 64 and unit 2^-33 (128 and 2^-34),
// tHead has at most 26 significant bits and tTail, a multiple of ulp(a) >= 2^-59 (2^-60)
// below unit / 2, too; so a head of 26 bits times either is exact. For i = 0, tHead = t.
struct Remainder {
    int i;
    double sign;
    double t, tHead, tTail;
    double al, tau;
};

inline Remainder AtStep(double hi, double lo, double steps, double unit) {
    Remainder m;
    m.sign = hi < 0 ? -1.0 : 1.0;
    const double a = std::fabs(hi);
    const double whole = RoundToWhole(a * steps);
    m.i = static_cast<int>(whole);
    m.t = a - whole / steps;
    const double grid = m.i == 0 ? 0.0 : 0x1.8p52 * unit;
    m.tHead = (m.t + grid) - grid;
    m.tTail = m.t - m.tHead;
    m.al = m.sign * lo;
    m.tau = m.t + m.al;
    return m;
}

// ---- sine and cosine of the reduced argument ----
//
// r = hi + lo, |r| <= pi/4 + 2^-30, by AtStep with steps of 1/64: |t| <= 2^-7, tau = t + al
// the exact remainder, and S, C the table's sin c and cos c:
//   sin r = S + C t + [C al + S (cos tau - 1) + C (sin tau - tau)]
//   cos r = C - S t + [-S al + C (cos tau - 1) - S (sin tau - tau)]
// The lead S + C t (C - S t): head x tHead and head x tTail are exact and only tail x t
// (2^-26 of the product) is rounded; the table value plus head x tHead is an exact sum
// y + e. For i = 0 (S = 0, C = 1) the lead is t itself, whatever its size. The rest:
//   sm = tau z (-1/6 + z (1/120 - z/5040)) = sin tau - tau, 8u plus tau^9/9! (2^-81.5 abs)
//   cm = z (-1/2 + z (1/24 - z/720)) = cos tau - 1, 5u plus tau^8/8! (2^-71.3 abs)
// with tau' = fl(t + al), z = tau'^2 (the u of tau' counted in the 8u and 5u).
// Error of sin, relative to |R| (i >= 1: |R| >= 0.448 c, so S <= 2.23 |R| and |tau| <=
// 1.12 |R|; i = 0: S = 0, C = 1, |R| >= |tau|): S cm is at most 2^-13.84 |R|, C sm 2^-16.43;
//   cm 5u S tau^2/2: 2^-64.52; S x cm rounded and S's own u: 2^-65.84;
//   sm 8u: 2^-66.43; C x sm: 2^-68.43; last two additions to lo: 2^-66.57, 2^-69.43;
//   truncation 2^-70.2; the five small terms (under 2^-25.2 |R|), tables, reduction: 2^-74;
// in all 2^-63.29. Cosine (|R| >= 0.7071): 2^-64.4. Bound 2^-62.5.
constexpr double kSinCosBound = 0x1.6a09e667f3bcdp-63;  // 2^-62.5

Estimate SinOrCosFast(double hi, double lo, bool wantSin) {
    const Remainder m = AtStep(hi, lo, 64, 0x1p-33);
    const SinCosStep& step = kSinCos[m.i];
    const double t = m.t, al = m.al, tau = m.tau;
    const double z = tau * tau;
    const double sm = tau * z * (-1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040)));
    const double cm = z * (-0.5 + z * (1.0 / 24 + z * (-1.0 / 720)));
    // lead L = S or C, other O = C or -S:  L + O t + [O al + L cm + O sm].
    const DD lead = wantSin ? step.sin : step.cos;
    const DD other = wantSin ? step.cos : DD{-step.sin.hi, -step.sin.lo};
    const double otherHead = wantSin ? step.cosHead : -step.sinHead;
    const double otherTail = wantSin ? step.cosTail : -step.sinTail;
    const DD y = TwoSum(lead.hi, otherHead * m.tHead);
    const double rest = lead.lo + other.lo * t + other.hi * al + otherTail * t +
                        otherHead * m.tTail + y.lo + other.hi * sm + lead.hi * cm;
    if (!wantSin) return {y.hi, rest, kSinCosBound};
    return {m.sign * y.hi, m.sign * rest, kSinCosBound};
}

// ---- tangent of the reduced argument ----
//
// As above with steps of 1/128 (|t| <= 2^-8), T = tan c, P = 1 + T^2 from kTan and U = tan tau:
//   tan(c + tau) = T + P U / (1 - T U) = T + P t + [P al + P um + X],
//   um = U - tau = tau z (1/3 + z (2/15 + z 17/315)), 8u plus 62/2835 tau^9 (2^-77.5 abs),
//   X = P U g with g = T U / (1 - T U), from U' = fl(tau' + um): U' within 2.01u of U,
//       T U' 4.01u, g 6.03u, P U' 4.01u, X 11.04u.
// Relative to |R| (i >= 1: |R| >= c/2, T <= 2.55 |R|, P T <= 2.03 |R|, |tau| <= |R|;
// i = 0: T = 0, P = 1, |R| >= |tau|): P um <= 2^-16.58 |R|, X <= 2^-14.97 |R|;
//   X 11.04u: 2^-64.51; P x um with um's 8u and P's u: 2^-65.3; last two additions:
//   2^-67.45, 2^-69.57; truncation 2^-68.5; small terms, tables, reduction: under 2^-74,
// in all 2^-63.34; bound 2^-62.5. Cotangent -1 / R, from hi + lo by one Newton step
// (q = 1 / hi, 1 - q hi exact by TwoProd): within 2^-100 more.
constexpr double kTanBound = 0x1.6a09e667f3bcdp-63;  // 2^-62.5

Estimate TanFast(double hi, double lo) {
    const Remainder m = AtStep(hi, lo, 128, 0x1p-34);
    const TanStep& step = kTan[m.i];
    const double t = m.t, al = m.al, tau = m.tau;
    const double z = tau * tau;
    const double um = tau * z * (1.0 / 3 + z * (2.0 / 15 + z * (17.0 / 315)));
    const double u = tau + um;
    const double tu = step.tan.hi * u;
    const double x = step.sec2.hi * u * (tu / (1 - tu));
    const DD y = TwoSum(step.tan.hi, step.sec2Head * m.tHead);
    const double rest = step.tan.lo + step.sec2.lo * t + step.sec2.hi * al + step.sec2Tail * t +
                        step.sec2Head * m.tTail + y.lo + step.sec2.hi * um + x;
    return {m.sign * y.hi, m.sign * rest, kTanBound};
}

// -1 / (hi + lo) for |lo| <= |hi|: q = 1 / h, then the exact rest 1 - q h.
Estimate NegativeReciprocal(Estimate v) {
    const DD n = FastTwoSum(v.hi, v.lo);
    const double q = 1 / n.hi;
    const DD p = TwoProd(q, n.hi);
    const double rest = ((1 - p.hi) - p.lo) - q * n.lo;
    return {-q, -(rest * q), v.bound};
}

// ---- arctangent ----
//
// x <= 1: c = i/64 nearest x, atan x = atan c + atan U, U = (x - c) / (1 + x c), |U| <= 2^-7.
// x > 1: c = i/64 nearest 1/x (from fl(1/x)), atan x = (pi/2 - atan c) - atan U with
//   U = (1/x - c) / (1 + c/x) = (1 - c x) / (x + c), |U| <= 2^-7 + 2^-53; 1 - c x is exact
//   (c x lies in [2/3, 2], or c = 0).
// Numerator and denominator are exact double-doubles (TwoProdShort, FastTwoSum); U = q + ql
// with q = n h' (h' = 1 / d.hi), ql = (n - q d) h' from the exact rest: within 2^-99 of U.
// atan U = U + am, am = U' z (-1/3 + z (1/5 + z (-1/7 + z/9))), U' = fl(q + ql): 8.03u
// plus U^11/11 (2^-80.5 abs); am <= U^3/3.
// x <= 1 (i >= 1: |R| >= atan(c/2) >= 2^-7.35, |U| <= 1.274 |R|; i = 0: U = x, |R| >= |U|):
// am <= 2^-15.24 |R|: 8.03u of it 2^-65.25, last addition 2^-68.2, truncation 2^-73.1,
// the rest under 2^-98: in all 2^-65.03, bound 2^-64. x > 1 (|R| >= pi/4): am 8.03u
// 2^-72.4, additions 2^-75.5: in all below 2^-72, bound 2^-70.
constexpr double kAtanBound = 0x1p-64;
constexpr double kAtanAboveOneBound = 0x1p-70;

// base + sign atan U for U = (nh + nl) / (dh + dl).
Estimate AtanOfQuotient(DD base, double sign, double nh, double nl, double dh, double dl,
                        double bound) {
    const double inverse = 1 / dh;
    const double q = nh * inverse;
    const DD qd = TwoProd(q, dh);
    const double ql = ((((nh - qd.hi) - qd.lo) + nl) - q * dl) * inverse;
    const double u = q + ql;
    const double z = u * u;
    const double am = u * z * (-1.0 / 3 + z * (1.0 / 5 + z * (-1.0 / 7 + z * (1.0 / 9))));
    const DD y = TwoSum(base.hi, sign * q);
    return {y.hi, ((base.lo + sign * ql) + y.lo) + sign * am, bound};
}

// atan x for 2^-27 <= x <= 2^60.
Estimate AtanFast(double x) {
    if (x <= 1) {
        const double whole = RoundToWhole(x * 64);
        const double c = whole * (1.0 / 64);
        const DD xc = TwoProdShort(x, c);
        const DD d = FastTwoSum(1, xc.hi);
        return AtanOfQuotient(kAtan[static_cast<int>(whole)].atan, 1, x - c, 0, d.hi, d.lo + xc.lo,
                              kAtanBound);
    }
    const double whole = RoundToWhole((1 / x) * 64);
    const double c = whole * (1.0 / 64);
    const DD xc = TwoProdShort(x, c);
    const DD d = FastTwoSum(x, c);
    return AtanOfQuotient(kAtan[static_cast<int>(whole)].co, -1, 1 - xc.hi, -xc.lo, d.hi, d.lo,
                          kAtanAboveOneBound);
}

// ---- arcsine and arccosine ----
//
// For 0 <= |x| < 1: w = sqrt(1 - x^2) to double-double: x^2 = p + e exactly, 1 - p = h + h0
// exactly, hl = h0 - e (2^-106), wHi = sqrt(h + hl), wLo = (h - wHi^2 + hl) / (2 wHi) with
// wHi^2 exact (TwoProd; h - its hi is exact, the two within a factor of 2): within 2^-102.
// theta, the smaller of asin |x| and acos |x| = asin w, is asin a for a = min(|x|, w)
// <= 0.70711 with cos theta = b, the other. With s = i/64 nearest a (i <= 45), B = asin s
// and C = cos B from kAsin:
//   theta = B + asin v,  v = sin(theta - B) = a C - b s,  |v| <= 1.4143 |a - s| <= 2^-6.5,
// a C by head and tail as for the sine, b s by TwoProdShort: v = vh + vr within 2^-76
// (absolute; exactly a for i = 0). asin v = v + am,
//   am = v' z (1/6 + z (3/40 + z (5/112 + z 35/1152))), v' = fl(vh + vr): 8u plus
//   63/2816 v^11 (2^-77 abs); am <= v^3/6.
// The result is base + sign theta for base 0, pi/2 or pi. Base 0 (asin |x| <= 0.70711,
// acos |x| > 0.70711; i >= 1: |R| >= a >= 2^-7, |v| <= 1.4143 |R|): am <= 2^-15.1 |R|,
// 8u of it 2^-65.1, last addition 2^-68.1, v's 2^-76: 2^-69, truncation 2^-70: in all
// 2^-64.8, bound 2^-64. Other bases (|R| >= pi/4): below 2^-70.9, bound 2^-68.
constexpr double kAsinBound = 0x1p-64;
constexpr double kAsinOffsetBound = 0x1p-68;
constexpr double kRootHalf = 0x1.6a09e667f3bcdp-1;  // fl(sqrt(1/2)) > sqrt(1/2)

// asin x (wantAcos false) or acos x for |x| < 1; x >= 2^-27 in size for asin.
Estimate AsinOrAcosFast(double x, bool wantAcos) {
    const double ax = std::fabs(x);
    const DD square = TwoProd(ax, ax);
    const DD h = FastTwoSum(1, -square.hi);
    const double hl = h.lo - square.lo;
    const double wHi = std::sqrt(h.hi + hl);
    const DD w2 = TwoProd(wHi, wHi);
    const double wLo = (((h.hi - w2.hi) + hl) - w2.lo) / (2 * wHi);
    const bool direct = ax <= kRootHalf;  // theta = asin |x|, else theta = acos |x|
    // a + aLo = sin theta, b + bLo = cos theta.
    const double a = direct ? ax : wHi;
    const double aLo = direct ? 0 : wLo;
    const double b = direct ? wHi : ax;
    const double bLo = direct ? wLo : 0;
    // The result is base + sign theta: asin |x| = theta or pi/2 - theta; acos x = pi/2 -+
    // theta, or theta or pi - theta.
    DD base = {0, 0};
    double sign = 1;
    if (wantAcos && direct) {
        base = kHalfPi;
        sign = x < 0 ? 1 : -1;
    } else if (wantAcos ? x < 0 : !direct) {
        base = wantAcos ? kPi : kHalfPi;
        sign = -1;
    }
    const double whole = RoundToWhole(a * 64);
    const AsinStep& step = kAsin[static_cast<int>(whole)];
    const double s = whole * (1.0 / 64);
    const DD as = Split(a);
    const DD bs = TwoProdShort(b, s);
    const DD v = TwoSum(step.cosHead * as.hi, -bs.hi);
    const double vr = ((((v.lo + step.cosHead * as.lo) - bs.lo) +
                        (step.cosTail * a + step.cos.lo * a + aLo * step.cos.hi)) -
                       bLo * s);
    const double vv = v.hi + vr;
    const double z = vv * vv;
    const double am = vv * z * (1.0 / 6 + z * (3.0 / 40 + z * (5.0 / 112 + z * (35.0 / 1152))));
    const DD b0 = FastTwoSum(base.hi, sign * step.asin.hi);
    const DD y = TwoSum(b0.hi, sign * v.hi);
    const double rest =
        ((((y.lo + b0.lo) + base.lo) + sign * step.asin.lo) + sign * vr) + sign * am;
    const double bound = base.hi == 0 ? kAsinBound : kAsinOffsetBound;
    if (!wantAcos && x < 0) return {-y.hi, -rest, bound};
    return {y.hi, rest, bound};
}

// ---- the last stage: 256-bit fixed point, for results near a midpoint ---------------------
//
// The double-double paths end with a rounding test too, on kDoubleDoubleBound: their dozen
// products and sums of about 104 bits each and the reduction (106 bits of the fraction past
// the 61 that cancel at the worst, 2^-103) keep them within about 2^-100; the worst measured
// on the hard-to-round arguments is 2^-103. What fails the test (a chance of about 2^-37 for
// each call that reaches them) comes here, in Wide: an ulp is 2^-256, additions are exact,
// a product or a quotient by a small integer is truncated (within 1 ulp). The argument is
// reduced again with 11 entries of 2/pi, sine and cosine come from their Taylor series, the
// tangent from a Newton reciprocal, the inverse functions from one Newton step on the
// double-double angle; the bounds proved below put the result within 2^-186 of the exact
// value (relative), or 2^-149.5 for the arcsine near +-1 and the arccosine near -1, where the
// starting angle is pi/2 or pi less the double-double result. The closest of the published
// hard-to-round arguments lies 2^-132.4 from a midpoint (tan 0x1.dffffffffff1fp-22), the
// others 2^-108 to 2^-113, so the nearest double to the last stage's value is the correctly
// rounded one.
constexpr double kDoubleDoubleBound = 0x1p-90;

bool IsNegative(const Wide& a) {
    return (a.limb[kWideLimbs - 1] >> 31) != 0;
}

bool IsZero(const Wide& a) {
    for (const std::uint32_t limb : a.limb) {
        if (limb != 0) return false;
    }
    return true;
}

Wide One() {
    Wide one{};
    one.limb[kWideLimbs - 1] = 1;
    return one;
}

Wide Plus(const Wide& a, const Wide& b) {
    Wide s;
    std::uint64_t carry = 0;
    for (int i = 0; i < kWideLimbs; ++i) {
        const std::uint64_t t = std::uint64_t{a.limb[i]} + b.limb[i] + carry;
        s.limb[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    return s;
}

Wide Negated(const Wide& a) {
    Wide n;
    std::uint64_t carry = 1;
    for (int i = 0; i < kWideLimbs; ++i) {
        const std::uint64_t t = std::uint64_t{static_cast<std::uint32_t>(~a.limb[i])} + carry;
        n.limb[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    return n;
}

Wide Minus(const Wide& a, const Wide& b) {
    return Plus(a, Negated(b));
}

Wide Magnitude(const Wide& a) {
    return IsNegative(a) ? Negated(a) : a;
}

// a x b truncated toward zero (within 1 ulp), for |a b| < 2^31: the full 576-bit product of
// the magnitudes, of which the limbs from 2^-256 up are kept.
Wide Times(const Wide& a, const Wide& b) {
    const Wide x = Magnitude(a);
    const Wide y = Magnitude(b);
    std::uint32_t p[2 * kWideLimbs] = {};
    for (int i = 0; i < kWideLimbs; ++i) {
        if (x.limb[i] == 0) continue;  // p[i + kWideLimbs] stays 0: nothing was added there yet
        std::uint64_t carry = 0;
        for (int j = 0; j < kWideLimbs; ++j) {
            const std::uint64_t t = std::uint64_t{x.limb[i]} * y.limb[j] + p[i + j] + carry;
            p[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + kWideLimbs] = static_cast<std::uint32_t>(carry);
    }
    Wide r;
    for (int i = 0; i < kWideLimbs; ++i) r.limb[i] = p[i + kWideLimbs - 1];
    return IsNegative(a) != IsNegative(b) ? Negated(r) : r;
}

// a / d truncated toward zero (within 1 ulp): long division of the magnitude, a limb a step.
Wide Quotient(const Wide& a, std::uint32_t d) {
    Wide q = Magnitude(a);
    std::uint64_t rest = 0;
    for (int i = kWideLimbs - 1; i >= 0; --i) {
        const std::uint64_t t = (rest << 32) | q.limb[i];
        q.limb[i] = static_cast<std::uint32_t>(t / d);
        rest = t % d;
    }
    return IsNegative(a) ? Negated(q) : q;
}

// Bits n .. n + 31 of limbs[0 .. count - 1], bit 0 the lowest of limbs[0]; bits outside the
// array read as zeros.
std::uint32_t Window(const std::uint32_t* limbs, int count, int n) {
    const int limb = n >= 0 ? n / 32 : -((31 - n) / 32);  // floor(n / 32)
    const int shift = n - 32 * limb;                      // 0 .. 31
    const auto at = [&](int i) -> std::uint64_t { return i >= 0 && i < count ? limbs[i] : 0; };
    return static_cast<std::uint32_t>(((at(limb + 1) << 32) | at(limb)) >> shift);
}

// a x 2^bits for a >= 0, bits below the last place dropped; the caller keeps it below 2^31.
Wide Shifted(const Wide& a, int bits) {
    Wide r;
    for (int i = 0; i < kWideLimbs; ++i) r.limb[i] = Window(a.limb, kWideLimbs, 32 * i - bits);
    return r;
}

// The highest set bit of a >= 0 (bit 0 is worth 2^-256), or -1 for zero.
int TopBit(const Wide& a) {
    for (int i = kWideLimbs - 1; i >= 0; --i) {
        for (int b = 31; a.limb[i] != 0 && b >= 0; --b) {
            if ((a.limb[i] >> b) & 1) return 32 * i + b;
        }
    }
    return -1;
}

// d exactly when its last bit is worth 2^-256 or more, else truncated toward zero (within
// 1 ulp); |d| < 2^31.
Wide FromDouble(double d) {
    Wide w{};
    if (d == 0) return w;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(d), &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    // |d| = mantissa x 2^(exponent - 53): the mantissa's bit 0 lands on bit `shift`.
    const int shift = exponent - 53 + kWideFraction;
    for (int i = 0; i < kWideLimbs; ++i) {
        const int at = 32 * i - shift;  // the mantissa's bit that lands on the limb's bit 0
        const std::uint64_t bits = at >= 64 || at <= -32 ? 0
                                   : at >= 0             ? mantissa >> at
                                                         : mantissa << -at;
        w.limb[i] = static_cast<std::uint32_t>(bits);
    }
    return d < 0 ? Negated(w) : w;
}

Wide FromDD(DD a) {
    return Plus(FromDouble(a.hi), FromDouble(a.lo));
}

// a to double-double, within 2^-101.8 of it: the limbs are summed from the top, each an
// exact double, by nine additions of 2^-105 each.
DD ToDD(const Wide& a) {
    const Wide m = Magnitude(a);
    DD s = {0, 0};
    double scale = 1;
    for (int i = kWideLimbs - 1; i >= 0; --i) {
        s = Add(s, m.limb[i] * scale);
        scale *= 0x1p-32;
    }
    return IsNegative(a) ? Neg(s) : s;
}

// The double nearest value x 2^exponent for a value >= 2^-200, from its bits: the 53 from the
// highest set one, and up when the rest passes half the last place (half exactly: to even).
double RoundWide(const Wide& value, int exponent) {
    const int last = TopBit(value) - 52;  // the bit of the double's last place
    const std::uint64_t mantissa =
        ((std::uint64_t{Window(value.limb, kWideLimbs, last + 32)} << 32) |
         Window(value.limb, kWideLimbs, last)) &
        ((std::uint64_t{1} << 53) - 1);
    Wide rest = value;  // the bits below the last place
    for (int i = 0; i < kWideLimbs; ++i) {
        const int low = 32 * i;
        if (low >= last) {
            rest.limb[i] = 0;
        } else if (low + 32 > last) {
            rest.limb[i] &= (std::uint32_t{1} << (last - low)) - 1;
        }
    }
    Wide half{};
    half.limb[(last - 1) / 32] = std::uint32_t{1} << ((last - 1) % 32);
    const Wide past = Minus(rest, half);
    const bool up = !IsNegative(past) && (!IsZero(past) || (mantissa & 1) != 0);
    return std::ldexp(static_cast<double>(mantissa + (up ? 1 : 0)),
                      last - kWideFraction + exponent);
}

// ---- the last stage's reduction, sine, cosine and tangent ----

// x - q pi/2 for finite x > 0: Payne and Hanek as in Reduce with 11 entries of 2/pi, from
// which the fraction f = x 2/pi - q (|f| <= 1/2) is read to 2^-256 and times pi/2.
// Entries past the window leave out less than 2^(53 - point) <= 2^-266 of f (point >= 319,
// the fraction bits of the product), the truncation to 256 bits at most 1 ulp: f within
// 1.01 ulps, and r = f pi/2 within pi/2 x 1.01 + 1/2 x 1/2 (pi/2 rounded) + 1 (the product)
// < 5 ulps, whatever the size of r (the smallest, 2^-61, is still known to 2^-193).
constexpr int kWideWindow = 11;
constexpr int kWideProductLimbs = kWideWindow + 2;

int ReduceWide(double x, Wide& r) {
    if (x <= kHalfPi.hi / 2) {
        r = FromDouble(x);
        return 0;
    }
    std::uint32_t p[kWideProductLimbs] = {};
    const int point = TimesTwoOverPi(x, kWideWindow, p);
    Wide f{};
    for (int i = 0; i < kWideLimbs - 1; ++i) {
        f.limb[i] = Window(p, kWideProductLimbs, point - kWideFraction + 32 * i);
    }
    int quadrant = static_cast<int>(Window(p, kWideProductLimbs, point) & 3);
    if ((f.limb[kWideLimbs - 2] >> 31) != 0) {  // fraction >= 1/2: q one up, f - 1
        f.limb[kWideLimbs - 1] = 0xFFFFFFFF;
        ++quadrant;
    }
    r = Times(f, kWideHalfPi);
    return quadrant & 3;
}

// sin r and cos r for |r| <= 0.8, from the terms r^k / k!, each the one before times r over
// k. A term's error e_k <= (|r| e_(k-1) + 1) / k + 1 (the product, then the quotient) stays
// below 2 ulps; the computed terms reach 0 by k = 56 (0.8^56 / 56! < 2^-266), so each series
// sums at most 28 terms, and what follows the first zero term is below 2.1 ulps: each result
// within 60 ulps of the exact sine and cosine of r as it stands (64 in the bounds below).
void SinCosWide(const Wide& r, Wide& s, Wide& c) {
    s = r;
    c = One();
    Wide term = r;
    for (std::uint32_t k = 2; k < 80; ++k) {
        term = Quotient(Times(term, r), k);
        if (IsZero(term)) break;
        switch (k % 4) {
            case 0:
                c = Plus(c, term);
                break;
            case 1:
                s = Plus(s, term);
                break;
            case 2:
                c = Minus(c, term);
                break;
            default:
                s = Minus(s, term);
                break;
        }
    }
}

// sin r (quadrant + turn even) or cos r of the reduction of ax > 0, whose quadrant is set:
// within 64 + 5 ulps, 2^-188.9 of the smallest result (|r| >= 2^-61).
[[gnu::cold, gnu::noinline]] double SinOrCosWide(double ax, int turn, int& quadrant) {
    Wide r, s, c;
    quadrant = ReduceWide(ax, r);
    SinCosWide(r, s, c);
    const Wide& v = (quadrant + turn) % 2 == 0 ? s : c;
    const double y = RoundWide(Magnitude(v), 0);
    return IsNegative(v) ? -y : y;
}

// 1 / d for 1/2 <= d < 1: y + y (1 - d y) from the double 1 / d (within 2^-52). With
// y = (1 - eps) / d, the step gives (1 - eps^2) / d, the truncations adding 1 ulp through
// 1 - d y (times y <= 2) and 1 through y (1 - d y): 3 ulps past eps^2 / d. Three steps take
// eps to 2^-104, 2^-208 plus those ulps, then 2^-416: within 4 ulps of 1 / d.
Wide Reciprocal(const Wide& d) {
    const Wide one = One();
    Wide y = FromDouble(1 / ToDD(d).hi);
    for (int step = 0; step < 3; ++step) y = Plus(y, Times(y, Minus(one, Times(d, y))));
    return y;
}

// tan ax for ax > 0: sin r / cos r, or -cos r / sin r in quadrants 1 and 3, n / d with
// |n| <= 1, each within e = 64 + 5 ulps (series, reduction). |d| x 2^k = D in [1/2, 1)
// (k >= 0, exact); the quotient q = |n| x Reciprocal(D) <= 2, and tan = +-q 2^k.
// Error of q: D within e 2^k, so 1/D within 4 e 2^k (1 / D^2 <= 4) plus the reciprocal's
// 4, times |n| <= 1; n's e times 1/D <= 2; the product 1: 4 e 2^k + 2 e + 5 ulps, at most
// 2^-186 of q (q >= 1/2) when k reaches 61 (the smallest sine).
[[gnu::cold, gnu::noinline]] double TanWide(double ax) {
    Wide r, s, c;
    const int quadrant = ReduceWide(ax, r);
    SinCosWide(r, s, c);
    const bool odd = quadrant % 2 == 1;
    const Wide& n = odd ? c : s;
    const Wide& d = odd ? s : c;
    const bool negative = (IsNegative(n) != IsNegative(d)) != odd;
    const Wide size = Magnitude(d);
    const int k = kWideFraction - 1 - TopBit(size);
    const double y = RoundWide(Times(Magnitude(n), Reciprocal(Shifted(size, k))), k);
    return negative ? -y : y;
}

// ---- the last stage of the inverse functions: one Newton step ----
//
// The angle theta in (0, pi/4 + 2^-50] with F(theta) = 0 for
//   kAsin: F = sin theta - p,  kAcos: F = cos theta - p,  kAtan: F = p sin theta - q cos theta
// (tan theta = q / p; p and q in [0, 1], the larger at least 1/2), from an angle theta0 within
// e0 of it: theta1 = theta0 - F(theta0) / F'(theta0). Taylor's rule at theta0 puts theta1
// within |F''| e0^2 / (2 m) of theta, m = |F'(theta0)| (at least 2^-26.5: sin theta for
// p <= 1 - 2^-53) and |F''| <= sqrt(2). F(theta0) comes from SinCosWide within ef = 61 ulps
// (2 x 64 + 2 for kAtan), the quotient delta in double-double within 2^-98 of it (the two
// conversions and Div), delta to Wide within 2 ulps. theta1 within
//   0.71 e0^2 / m + |delta| 2^-98 + ef / m + 2 ulps, |delta| <= 1.01 e0.
// theta0 = the double-double result, or pi/2 or pi less it: e0 <= 2^-90 x theta, or
// 2^-88.3 when theta0 is pi/2 or pi less a result of that size. The first term is then at
// most 2^-149.5 of the result (e0 = 2^-88.3, m = 2^-26.5: arcsine near 1, the result pi/2),
// the others below 2^-186.
enum class Arc { kAsin, kAcos, kAtan };

Wide RefineArc(Arc kind, const Wide& theta0, double p, double q) {
    Wide s, c;
    SinCosWide(theta0, s, c);
    const Wide wp = FromDouble(p);  // p below 2^-256 (acos of a subnormal): within 1 ulp
    Wide f, slope;
    if (kind == Arc::kAsin) {
        f = Minus(s, wp);
        slope = c;
    } else if (kind == Arc::kAcos) {
        f = Minus(c, wp);
        slope = Negated(s);
    } else {
        const Wide wq = FromDouble(q);
        f = Minus(Times(wp, s), Times(wq, c));
        slope = Plus(Times(wp, c), Times(wq, s));
    }
    return Minus(theta0, FromDD(Div(ToDD(f), ToDD(slope))));
}

// base + theta, or base - theta (`subtract`), for base 0, pi/2 or pi (within 1/2 ulp), a
// nonnegative result whose double-double value gives theta0.
[[gnu::cold, gnu::noinline]] double ArcWide(Arc kind, double p, double q, const Wide& base,
                                            bool subtract, DD value) {
    const Wide v = FromDD(value);
    const Wide theta = RefineArc(kind, subtract ? Minus(base, v) : Minus(v, base), p, q);
    return RoundWide(Magnitude(subtract ? Minus(base, theta) : Plus(base, theta)), 0);
}

}  // namespace

namespace {

// sin x, or cos x = sin(x + pi / 2): the same reduction, a quadrant further on. Per
// quadrant 0 to 3 sin x is sin r, cos r, -sin r, -cos r; cos is even, sin odd.
double SinOrCosOf(double x, bool cosine) {
    if (!std::isfinite(x)) return kNaN;
    const double ax = std::fabs(x);
    if (ax < kTiny) return cosine ? 1.0 : x;
    const int turn = cosine ? 1 : 0;
    const Reduced r = ReduceFast(ax);
    int quadrant = r.quadrant;
    double value;
    if (!Settle(SinOrCosFast(r.hi, r.lo, (quadrant + turn) % 2 == 0), value)) {
        DD exact;
        quadrant = ReduceAny(ax, exact);
        const DD v = SinOrCosReduced(exact, (quadrant + turn) % 2 == 0);
        if (!Settle({v.hi, v.lo, kDoubleDoubleBound}, value)) {
            value = SinOrCosWide(ax, turn, quadrant);
        }
    }
    const bool negative = (quadrant + turn) % 4 >= 2;
    return negative != (!cosine && x < 0) ? -value : value;
}

// atan ax past the fast path: double-double, then near a midpoint the last stage with
// theta = atan ax, or atan(1 / ax) = pi/2 - atan ax: tan theta = 2^-e / (ax 2^-e). Out of
// line: inlined, its frame costs Atan 5 instructions a call.
[[gnu::noinline]] double AtanAccurate(double ax) {
    const DD v = AtanOfRatio({ax, 0}, {1.0, 0});
    double value;
    if (Settle({v.hi, v.lo, kDoubleDoubleBound}, value)) return value;
    if (ax <= 1) return ArcWide(Arc::kAtan, 1, ax, Wide{}, false, v);
    int e = 0;
    const double scaled = std::frexp(ax, &e);
    return ArcWide(Arc::kAtan, scaled, std::ldexp(1.0, -e), kWideHalfPi, true, v);
}

}  // namespace

double Sin(double x) {
    return SinOrCosOf(x, false);
}

double Cos(double x) {
    return SinOrCosOf(x, true);
}

double Tan(double x) {
    if (!std::isfinite(x)) return kNaN;
    const double ax = std::fabs(x);
    if (ax < kTiny) return x;
    // tan x = tan r in quadrants 0 and 2, -1 / tan r in 1 and 3.
    const Reduced r = ReduceFast(ax);
    int quadrant = r.quadrant;
    Estimate v = TanFast(r.hi, r.lo);
    if (quadrant % 2 == 1) v = NegativeReciprocal(v);
    double value;
    if (!Settle(v, value)) {
        DD exact;
        quadrant = ReduceAny(ax, exact);
        const DD s = SinOrCosReduced(exact, true);
        const DD c = SinOrCosReduced(exact, false);
        const DD t = quadrant % 2 == 0 ? Div(s, c) : Neg(Div(c, s));
        if (!Settle({t.hi, t.lo, kDoubleDoubleBound}, value)) value = TanWide(ax);
    }
    return x < 0 ? -value : value;
}

double Atan(double x) {
    if (std::isnan(x)) return kNaN;  // a quiet NaN, as the other five give
    const double ax = std::fabs(x);
    if (ax < kTiny) return x;
    // Beyond 2^60, pi/2 - 1/x rounds to the double nearest pi/2.
    double value = kHalfPi.hi;
    if (ax <= 0x1p60 && !Settle(AtanFast(ax), value)) value = AtanAccurate(ax);
    return x < 0 ? -value : value;
}

double Asin(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1)) return kNaN;
    if (ax < kTiny) return x;
    if (ax == 1) return x < 0 ? -kHalfPi.hi : kHalfPi.hi;
    double value;
    if (Settle(AsinOrAcosFast(x, false), value)) return value;
    const DD v = AtanOfRatio({ax, 0}, Cofunction(ax));
    if (!Settle({v.hi, v.lo, kDoubleDoubleBound}, value)) {
        // theta = asin ax, or acos ax = pi/2 - asin ax, whichever is at most pi/4.
        value = ax <= kRootHalf ? ArcWide(Arc::kAsin, ax, 0, Wide{}, false, v)
                                : ArcWide(Arc::kAcos, ax, 0, kWideHalfPi, true, v);
    }
    return x < 0 ? -value : value;
}

double Acos(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1)) return kNaN;
    if (ax == 1) return x < 0 ? kPi.hi : 0.0;
    double value;
    if (Settle(AsinOrAcosFast(x, true), value)) return value;
    DD v = AtanOfRatio(Cofunction(ax), {ax, 0});  // acos ax
    if (x < 0) v = Add(kPi, Neg(v));
    if (Settle({v.hi, v.lo, kDoubleDoubleBound}, value)) return value;
    // theta = asin ax (acos x = pi/2 -+ theta) or acos ax (acos x = theta or pi - theta).
    if (ax <= kRootHalf) return ArcWide(Arc::kAsin, ax, 0, kWideHalfPi, x >= 0, v);
    return x >= 0 ? ArcWide(Arc::kAcos, ax, 0, Wide{}, false, v)
                  : ArcWide(Arc::kAcos, ax, 0, kWidePi, true, v);
}

double Hypot(double x, double y) {
    x = std::fabs(x);
    y = std::fabs(y);
    if (std::isinf(x) || std::isinf(y)) return std::numeric_limits<double>::infinity();
    if (std::isnan(x) || std::isnan(y)) return kNaN;
    if (x < y) std::swap(x, y);
    // y^2 / 2x below a quarter of an ulp of x: x is the rounded result.
    if (y == 0 || y < x * 0x1p-54) return x;
    // Scaled by a power of two so that x lies in [0.5, 1): the squares are exact products
    // of doubles (TwoProd), neither overflowing nor lost below the smallest double; y
    // scaled is at least 2^-55, far above the subnormals.
    int exponent = 0;
    std::frexp(x, &exponent);
    const double xs = std::ldexp(x, -exponent);
    const double ys = std::ldexp(y, -exponent);
    const DD root = Sqrt(Add(TwoProd(xs, xs), TwoProd(ys, ys)));
    return std::ldexp(root.hi + root.lo, exponent);
}

}  // namespace bendwise::math

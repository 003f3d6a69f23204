#include "math/Trig.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

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

constexpr DD kHalfPi = {1.5707963267948966, 6.123233995736766e-17};
constexpr DD kPi = {3.141592653589793, 1.2246467991473532e-16};

// Below this size sin x, tan x, asin x and atan x round to x, and cos x to 1: the next
// term of the series is less than a quarter of an ulp.
constexpr double kTiny = 0x1p-27;

// ---- series and tables -------------------------------------------------------------------

// The table steps: sin, cos and atan at multiples of 1/64 leave a remainder below 1/128,
// on which six to eight terms of a series reach 2^-106.
constexpr int kStepsPerUnit = 64;
constexpr int kTrigSteps = 51;  // 51/64 > pi/4
constexpr int kAtanSteps = 64;  // atan up to 1

struct Tables {
    // Series on the remainder t of the table step, |t| <= 1/128, z = t^2 <= 2^-14:
    //   sin t = t + t z (c1 + z (c2 + z (c3 + z c4 + z^2 c5))),  ck = (-1)^k / (2k+1)!
    //   cos t = 1 + z (-1/2 + z (c2 + z (c3 + z c4 + z^2 c5))),  ck = (-1)^k / (2k)!
    //   atan u = u + u z (c1 + z (c2 + z (c3 + z c4 + ... + z^4 c7))),  ck = (-1)^k / (2k+1)
    // The terms up to z^2 (sine, cosine) and z^3 (arctangent) need double-double; the
    // rest are below 2^-51 of the result, so double arithmetic keeps them within 2^-104.
    std::array<DD, 3> sinSeries;   // c1 c2 (index 0 unused)
    std::array<DD, 3> cosSeries;   // c2 (index 2)
    std::array<DD, 4> atanSeries;  // c1 c2 c3
    std::array<DD, kTrigSteps + 1> sinAt;
    std::array<DD, kTrigSteps + 1> cosAt;
    std::array<DD, kAtanSteps + 1> atanAt;
};

// Taylor series of sin and cos to 2^-110 for |a| <= 0.8, used to fill the tables.
void SinCosSeries(DD a, DD& s, DD& c) {
    const DD z = Mul(a, a);
    DD sinSum = {0, 0};
    DD cosSum = {0, 0};
    for (int k = 17; k >= 0; --k) {
        const double sign = k % 2 ? -1.0 : 1.0;
        DD sinTerm = {sign, 0};
        DD cosTerm = {sign, 0};
        for (int n = 2; n <= 2 * k + 1; ++n) {
            sinTerm = Div(sinTerm, {static_cast<double>(n), 0});
            if (n <= 2 * k) cosTerm = Div(cosTerm, {static_cast<double>(n), 0});
        }
        sinSum = Add(Mul(sinSum, z), sinTerm);
        cosSum = Add(Mul(cosSum, z), cosTerm);
    }
    s = Mul(sinSum, a);
    c = cosSum;
}

// atan(a) for 0 <= a <= 1 to 2^-110, used to fill the table: three halvings
// atan a = 2 atan(a / (1 + sqrt(1 + a^2))) bring a below tan(pi/32) = 0.099, where 24
// terms of the series suffice.
DD AtanSeries(DD a) {
    for (int i = 0; i < 3; ++i) a = Div(a, Add(Sqrt(Add(Mul(a, a), 1.0)), 1.0));
    const DD z = Mul(a, a);
    DD sum = {0, 0};
    for (int k = 23; k >= 0; --k) {
        sum = Add(Mul(sum, z), Div({k % 2 ? -1.0 : 1.0, 0}, {2.0 * k + 1, 0}));
    }
    return Mul(Mul(sum, a), 8.0);
}

const Tables& TheTables() {
    static const Tables tables = [] {
        Tables t{};
        t.sinSeries[1] = Div({-1, 0}, {6, 0});
        t.sinSeries[2] = Div({1, 0}, {120, 0});
        t.cosSeries[2] = Div({1, 0}, {24, 0});
        for (int k = 1; k <= 3; ++k)
            t.atanSeries[k] = Div({k % 2 ? -1.0 : 1.0, 0}, {2.0 * k + 1, 0});
        for (int i = 0; i <= kTrigSteps; ++i) {
            SinCosSeries({static_cast<double>(i) / kStepsPerUnit, 0}, t.sinAt[i], t.cosAt[i]);
        }
        for (int i = 0; i <= kAtanSteps; ++i) {
            t.atanAt[i] = AtanSeries({static_cast<double>(i) / kStepsPerUnit, 0});
        }
        return t;
    }();
    return tables;
}

// ---- sine and cosine ---------------------------------------------------------------------

// Bits 1, 2, 3, ... of 2/pi after the binary point, 32 to an entry (1280 bits): enough
// for the largest double, whose first 30 entries only add whole turns. Made with Python's
// integers: pi from Machin's formula at 1400 bits, then floor(2^1280 x 2 / pi).
constexpr std::uint32_t kTwoOverPi[40] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
};

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
int Reduce(double x, DD& r) {
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = exponent - 53;  // x = mantissa x 2^e
    // Entries j with 32 (j + 1) <= e - 2 make mantissa x 2^e x entry a multiple of 4.
    const int first = e >= 2 ? (e - 2) / 32 : 0;
    const std::uint32_t m[2] = {static_cast<std::uint32_t>(mantissa),
                                static_cast<std::uint32_t>(mantissa >> 32)};
    std::uint32_t p[kProductLimbs] = {};
    for (int i = 0; i < kWindow; ++i) {
        const std::uint64_t b = kTwoOverPi[first + kWindow - 1 - i];
        std::uint64_t carry = 0;
        for (int k = 0; k < 2; ++k) {
            const std::uint64_t t = b * m[k] + p[i + k] + carry;
            p[i + k] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + 2] = static_cast<std::uint32_t>(carry);
    }
    // x 2/pi = p x 2^-point (mod 4): p's bits below `point` are the fraction.
    const int point = 32 * (first + kWindow) - e;
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

// sin t and cos t for |t| <= 1/128 by the series of Tables.
inline DD SinSmall(DD t, DD z) {
    const Tables& tables = TheTables();
    const double zz = z.hi;
    const double tail = zz * (-1.0 / 5040 + zz * (1.0 / 362880 + zz * (-1.0 / 39916800)));
    const DD p = AddNear(tables.sinSeries[1], Mul(z, Add(tables.sinSeries[2], tail)));
    return AddNear(t, Mul(Mul(z, p), t));
}

inline DD CosSmall(DD z) {
    const Tables& tables = TheTables();
    const double zz = z.hi;
    const double tail = zz * (-1.0 / 720 + zz * (1.0 / 40320 + zz * (-1.0 / 3628800)));
    const DD p = Add(Mul(z, Add(tables.cosSeries[2], tail)), -0.5);
    return Add(Mul(z, p), 1.0);
}

// sin (`wantSin`) or cos of |a| <= pi/4: a = i/64 + t with |t| <= 1/128, then the
// angle-sum rule with sin and cos of i/64 from the table.
DD SinOrCosReduced(DD a, bool wantSin) {
    const Tables& tables = TheTables();
    const int i = static_cast<int>(std::nearbyint(std::fabs(a.hi) * kStepsPerUnit));
    const double step = (a.hi < 0 ? -1.0 : 1.0) * i / kStepsPerUnit;
    const DD t = Add(a, -step);
    const DD z = Mul(t, t);
    const DD sinT = SinSmall(t, z);
    const DD cosT = CosSmall(z);
    DD sinStep = tables.sinAt[i];
    if (a.hi < 0) sinStep = Neg(sinStep);
    const DD cosStep = tables.cosAt[i];
    if (wantSin) return AddNear(Mul(sinStep, cosT), Mul(cosStep, sinT));
    return AddNear(Mul(cosStep, cosT), Neg(Mul(sinStep, sinT)));
}

// x >= 0 reduced to r, |r| <= pi/4; returns the quadrant.
int ReduceAny(double x, DD& r) {
    r = {x, 0};
    return x > kHalfPi.hi / 2 ? Reduce(x, r) : 0;
}

// pi/2 in three parts (Cody and Waite): P1 and P2 of 33 significant bits, so that k P1 and
// k P2 are exact for whole k below 2^20, P3 of 53; what they leave out is below 2^-123.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPiDouble = 0x1.45f306dc9c883p-1;
constexpr double kCodyWaiteBelow = 0x1p20;

// x >= 0 reduced for the fast paths, to within 2^-100 of x - k pi/2: x - k P1 is exact
// (the two are within a factor of 2), k P2 exact, their difference exact in double-double,
// and k P3 rounded once, an error below 2^-101 for k below 2^20. That is within 2^-80 of
// r for |r| from 2^-20 up; a smaller r (x within 2^-20 of a multiple of pi/2), or x from
// 2^20 on, is reduced exactly by Payne and Hanek. Not accurate enough for the
// double-double paths, which call ReduceAny themselves.
int ReduceFast(double x, DD& r) {
    if (x <= kHalfPi.hi / 2 || x >= kCodyWaiteBelow) return ReduceAny(x, r);
    const double k = std::nearbyint(x * kTwoOverPiDouble);
    const DD rest = TwoSum(x - k * kHalfPi1, -(k * kHalfPi2));
    r = Add(rest, -(k * kHalfPi3));
    if (std::fabs(r.hi) < 0x1p-20) return ReduceAny(x, r);
    return static_cast<int>(k) & 3;
}

// ---- arctangent --------------------------------------------------------------------------

// atan(t) for 0 <= t <= 1 (slightly above after rounding): t = c + ..., c = i/64, then
// atan t = atan c + atan u with u = (t - c) / (1 + t c), |u| <= 1/128.
DD AtanReduced(DD t) {
    const Tables& tables = TheTables();
    const int i = static_cast<int>(std::nearbyint(t.hi * kStepsPerUnit));
    const double step = static_cast<double>(i) / kStepsPerUnit;
    const DD u = Div(Add(t, -step), Add(Mul(t, step), 1.0));
    const DD z = Mul(u, u);
    const double zz = z.hi;
    const double tail =
        zz * (1.0 / 9 + zz * (-1.0 / 11 + zz * (1.0 / 13 + zz * (-1.0 / 15 + zz / 17))));
    DD p = Add(tables.atanSeries[3], tail);
    p = AddNear(tables.atanSeries[2], Mul(z, p));
    p = AddNear(tables.atanSeries[1], Mul(z, p));
    return Add(tables.atanAt[i], AddNear(u, Mul(Mul(z, p), u)));
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

// ---- fast paths: double arithmetic around one exact product, with a rounding test ----------
//
// Each gives the exact value as hi + lo within kFastError of it (relative): the table
// value and the leading product are kept exact, everything else is at most 2^-14 of the
// result and carries a relative error near 2^-52, which leaves about 2^-64; the bound
// allows four times that. Settle then returns the nearest double when every value within
// the bound rounds to it, which fails for about 1 argument in 50; those take the
// double-double path above.

constexpr double kFastError = 0x1p-61;

// hi + lo rounded to nearest when that is certain; |lo| well below |hi|.
bool Settle(DD v, double& y) {
    const DD n = FastTwoSum(v.hi, v.lo);  // n.hi = fl(hi + lo), n.lo the exact rest
    y = n.hi;
    // Half an ulp of y is at least |y| 2^-54 (exactly that at a power of two, below).
    return std::fabs(n.lo) + std::fabs(y) * kFastError < std::fabs(y) * 0x1p-54;
}

// sin (wantSin) or cos of r, |r| <= pi/4, as hi + lo within kFastError: r = i/64 + t, and
// with S, C the table's sin and cos of i/64 and the series of t in double,
//   sin = S + C t + S (cos t - 1) + C (sin t - t),  cos = C - S t + C (cos t - 1) - S (sin t - t).
DD SinOrCosFast(DD r, bool wantSin) {
    const Tables& tables = TheTables();
    const int i = static_cast<int>(std::fabs(r.hi) * kStepsPerUnit + 0.5);
    const double sign = r.hi < 0 ? -1.0 : 1.0;
    const double t = r.hi - sign * i / kStepsPerUnit;  // exact: the two are within 2x
    const double z = t * t;
    const double sinRest = t * z * (-1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040)));
    const double cosRest = z * (-0.5 + z * (1.0 / 24 + z * (-1.0 / 720)));
    const DD s = {sign * tables.sinAt[i].hi, sign * tables.sinAt[i].lo};
    const DD c = tables.cosAt[i];
    const DD lead = wantSin ? s : c;        // S or C
    const DD other = wantSin ? c : Neg(s);  // C or -S
    const DD product = TwoProd(other.hi, t);
    const DD sum = TwoSum(lead.hi, product.hi);
    const double rest = product.lo + lead.lo + other.hi * r.lo + other.lo * t + lead.hi * cosRest +
                        other.hi * sinRest;
    return {sum.hi, sum.lo + rest};
}

// atan t for t = hi + lo in [0, 1] as hi + lo within kFastError: t = c + ..., c = i/64,
// u = (t - c) / (1 + t c) to double-double, then atan c + u + u^3 (-1/3 + u^2/5 - ...).
DD AtanFast(DD t) {
    const Tables& tables = TheTables();
    const int i = static_cast<int>(t.hi * kStepsPerUnit + 0.5);
    const double c = static_cast<double>(i) / kStepsPerUnit;
    const double numerator = t.hi - c;  // exact: the two are within 2x, or c is 0
    const DD tc = TwoProd(t.hi, c);
    const DD denominator = FastTwoSum(1.0, tc.hi);
    const double denominatorLo = denominator.lo + tc.lo + t.lo * c;
    const double u = numerator / denominator.hi;
    const DD uDen = TwoProd(u, denominator.hi);
    const double uLo =
        ((numerator - uDen.hi) - uDen.lo + t.lo - u * denominatorLo) / denominator.hi;
    const double z = u * u;
    const double series =
        u * z * (-1.0 / 3 + z * (1.0 / 5 + z * (-1.0 / 7 + z * (1.0 / 9 + z * (-1.0 / 11)))));
    const DD sum = TwoSum(tables.atanAt[i].hi, u);
    return {sum.hi, sum.lo + (tables.atanAt[i].lo + uLo + series)};
}

// a - v for hi + lo parts v, as hi + lo (pi/2 - atan, pi - acos).
DD FromConstant(DD a, DD v) {
    const DD d = TwoSum(a.hi, -v.hi);
    return {d.hi, d.lo + (a.lo - v.lo)};
}

// atan(y / x) in [0, pi/2] for y, x >= 0 in double-double, nearest double.
double AtanOfRatioRounded(DD y, DD x) {
    double result;
    const bool direct = y.hi <= x.hi;
    const DD ratio = direct ? Div(y, x) : Div(x, y);
    const DD angle = AtanFast(ratio);
    if (Settle(direct ? angle : FromConstant(kHalfPi, angle), result)) return result;
    return AtanOfRatio(y, x).hi;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double Sin(double x) {
    if (!std::isfinite(x)) return kNaN;
    const double ax = std::fabs(x);
    if (ax < kTiny) return x;
    DD r;
    int quadrant = ReduceFast(ax, r);
    double value;
    if (!Settle(SinOrCosFast(r, quadrant % 2 == 0), value)) {
        quadrant = ReduceAny(ax, r);
        value = SinOrCosReduced(r, quadrant % 2 == 0).hi;
    }
    return (quadrant >= 2) != (x < 0) ? -value : value;
}

double Cos(double x) {
    if (!std::isfinite(x)) return kNaN;
    const double ax = std::fabs(x);
    if (ax < kTiny) return 1.0;
    DD r;
    int quadrant = ReduceFast(ax, r);
    double value;
    if (!Settle(SinOrCosFast(r, quadrant % 2 == 1), value)) {
        quadrant = ReduceAny(ax, r);
        value = SinOrCosReduced(r, quadrant % 2 == 1).hi;
    }
    return quadrant == 1 || quadrant == 2 ? -value : value;
}

double Tan(double x) {
    if (!std::isfinite(x)) return kNaN;
    const double ax = std::fabs(x);
    if (ax < kTiny) return x;
    DD r;
    int quadrant = ReduceFast(ax, r);
    // sin / cos (or -cos / sin): one division, corrected by its exact remainder.
    // The parts normalised first: the correction is exact to first order in lo / hi.
    DD s = SinOrCosFast(r, true);
    DD c = SinOrCosFast(r, false);
    s = FastTwoSum(s.hi, s.lo);
    c = FastTwoSum(c.hi, c.lo);
    const DD num = quadrant % 2 == 0 ? s : c;
    const DD den = quadrant % 2 == 0 ? c : s;
    const double q = num.hi / den.hi;
    const DD qDen = TwoProd(q, den.hi);
    const double qLo = ((num.hi - qDen.hi) - qDen.lo + num.lo - q * den.lo) / den.hi;
    double value;
    if (!Settle({q, qLo}, value)) {
        quadrant = ReduceAny(ax, r);
        const DD exactS = SinOrCosReduced(r, true);
        const DD exactC = SinOrCosReduced(r, false);
        value = quadrant % 2 == 0 ? Div(exactS, exactC).hi : Div(exactC, exactS).hi;
    }
    if (quadrant % 2 == 1) value = -value;
    return x < 0 ? -value : value;
}

double Atan(double x) {
    if (std::isnan(x)) return x;
    const double ax = std::fabs(x);
    if (ax < kTiny) return x;
    // Beyond 2^60, pi/2 - 1/x rounds to the double nearest pi/2.
    double value = kHalfPi.hi;
    if (ax <= 1) {
        if (!Settle(AtanFast({ax, 0}), value)) value = AtanOfRatio({ax, 0}, {1.0, 0}).hi;
    } else if (ax <= 0x1p60) {
        // pi/2 - atan(1/x), with 1/x to double-double by its exact remainder.
        const double q = 1 / ax;
        const DD qx = TwoProd(q, ax);
        const DD inverse = {q, ((1 - qx.hi) - qx.lo) / ax};
        if (!Settle(FromConstant(kHalfPi, AtanFast(inverse)), value)) {
            value = AtanOfRatio({ax, 0}, {1.0, 0}).hi;
        }
    }
    return x < 0 ? -value : value;
}

double Asin(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1)) return kNaN;
    if (ax < kTiny) return x;
    const double value = AtanOfRatioRounded({ax, 0}, Cofunction(ax));
    return x < 0 ? -value : value;
}

double Acos(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1)) return kNaN;
    if (x >= 0) return AtanOfRatioRounded(Cofunction(ax), {ax, 0});
    // pi - acos |x|, with acos |x| as hi + lo parts.
    const DD y = Cofunction(ax);
    const DD xx = {ax, 0};
    const bool direct = y.hi <= xx.hi;
    const DD angle = AtanFast(direct ? Div(y, xx) : Div(xx, y));
    double result;
    if (Settle(FromConstant(kPi, direct ? angle : FromConstant(kHalfPi, angle)), result)) {
        return result;
    }
    return Add(kPi, Neg(AtanOfRatio(y, xx))).hi;
}

}  // namespace bendwise::math

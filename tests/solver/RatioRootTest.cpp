// The ratio inversions against roots computed with MPFR at 256 bits, and the three curves
// solved through them (arc length with chord, Lrr or tangent), typed as a person would,
// against R and Delta computed the same way from the typed values.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "math/Trig.h"
#include "solver/RatioInversion.h"
#include "support/ModelFixture.h"

namespace bendwise {
namespace {

// An MPFR number at 256 bits that frees itself.
struct Big {
    mpfr_t v;
    Big() { mpfr_init2(v, 256); }
    explicit Big(double d) : Big() { mpfr_set_d(v, d, MPFR_RNDN); }
    ~Big() { mpfr_clear(v); }
    Big(const Big&) = delete;
    Big& operator=(const Big&) = delete;
    double Double() const { return mpfr_get_d(v, MPFR_RNDN); }
};

// x with (x - sin x) / x = s, by Newton's method from `start`, near enough the root.
void ChordRoot(Big& x, const Big& s, double start) {
    mpfr_set_d(x.v, start, MPFR_RNDN);
    Big sine, cosine, f, slope, t;
    for (int i = 0; i < 40; ++i) {
        mpfr_sin_cos(sine.v, cosine.v, x.v, MPFR_RNDN);
        mpfr_sub(f.v, x.v, sine.v, MPFR_RNDN);
        mpfr_div(f.v, f.v, x.v, MPFR_RNDN);
        mpfr_sub(f.v, f.v, s.v, MPFR_RNDN);           // (x - sin x)/x - s
        mpfr_mul(slope.v, x.v, cosine.v, MPFR_RNDN);  // d/dx = (sin x - x cos x)/x^2
        mpfr_sub(slope.v, sine.v, slope.v, MPFR_RNDN);
        mpfr_div(slope.v, slope.v, x.v, MPFR_RNDN);
        mpfr_div(slope.v, slope.v, x.v, MPFR_RNDN);
        mpfr_div(t.v, f.v, slope.v, MPFR_RNDN);
        mpfr_sub(x.v, x.v, t.v, MPFR_RNDN);
    }
}

// x with tan(x) / x - 1 = q.
void TangentRoot(Big& x, const Big& q, double start) {
    mpfr_set_d(x.v, start, MPFR_RNDN);
    Big tangent, f, slope, t;
    for (int i = 0; i < 40; ++i) {
        mpfr_tan(tangent.v, x.v, MPFR_RNDN);
        mpfr_div(f.v, tangent.v, x.v, MPFR_RNDN);
        mpfr_sub_ui(f.v, f.v, 1, MPFR_RNDN);
        mpfr_sub(f.v, f.v, q.v, MPFR_RNDN);       // tan(x)/x - 1 - q
        mpfr_sqr(slope.v, tangent.v, MPFR_RNDN);  // d/dx = (x (1 + tan^2) - tan)/x^2
        mpfr_add_ui(slope.v, slope.v, 1, MPFR_RNDN);
        mpfr_mul(slope.v, slope.v, x.v, MPFR_RNDN);
        mpfr_sub(slope.v, slope.v, tangent.v, MPFR_RNDN);
        mpfr_div(slope.v, slope.v, x.v, MPFR_RNDN);
        mpfr_div(slope.v, slope.v, x.v, MPFR_RNDN);
        mpfr_div(t.v, f.v, slope.v, MPFR_RNDN);
        mpfr_sub(x.v, x.v, t.v, MPFR_RNDN);
    }
}

// (a - b) / a exactly enough: the complement of b / a.
void Complement(Big& out, double a, double b) {
    Big big(a);
    mpfr_set_d(out.v, a, MPFR_RNDN);
    mpfr_sub_d(out.v, out.v, b, MPFR_RNDN);
    mpfr_div(out.v, out.v, big.v, MPFR_RNDN);
}

double Ulps(double actual, double exact) {
    return std::fabs(actual - exact) / (std::nextafter(exact, INFINITY) - exact);
}

// The 20 fixed-gain steps alone, as they were: where they had reached the root, the result
// must stay the same double.
double TwentySteps(double r) {
    double x = r > 0.7 ? std::sqrt(3 * (1 - r) * (1 + r)) : 3 * (1 - r) * std::sqrt(1 + r);
    if (!(x > 0)) x = 1e-10;
    const double gain = r > 0.84 ? 3.0 : 2.25 + 2 * std::fabs(r - 0.42);
    for (int i = 0; i < 20; ++i) x = x - gain * (r - math::Sin(x) / x);
    return x;
}

TEST(RatioInversion, TheRootWithinSixUlpsAndTheOldDoublesWhereTheyHadConverged) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    double worstChord = 0, worstTangent = 0;
    int same = 0, below = 0;
    for (int i = 0; i < 4000; ++i) {
        // Ratios spread over (0, 1) and crowded towards 1, down to 1 - 1e-15.
        const double s = i % 2 ? unit(random) : std::pow(10.0, -15 * unit(random));
        const double r = 1 - s;
        Big complement, root;
        Complement(complement, 1, r);
        ChordRoot(root, complement, InvertChordRatio(r));
        worstChord = std::max(worstChord, Ulps(InvertChordRatio(r), root.Double()));
        if (r <= 0.86) {
            ++below;
            const double old = TwentySteps(r), now = InvertChordRatio(r);
            same += std::memcmp(&old, &now, sizeof old) == 0;
        }
        // tan(x) / x = 1 + q for q from 1e-15 to 1e9.
        const double q = std::pow(10.0, 24 * unit(random) - 15);
        const double t = 1 + q;
        Big excess;
        Complement(excess, 1, t);
        mpfr_neg(excess.v, excess.v, MPFR_RNDN);
        TangentRoot(root, excess, InvertTangentRatio(t));
        worstTangent = std::max(worstTangent, Ulps(InvertTangentRatio(t), root.Double()));
    }
    // The first Newton step keeps an x within 4 ulps of its own estimate: a few more.
    EXPECT_LE(worstChord, 6);
    EXPECT_LE(worstTangent, 6);
    EXPECT_EQ(same, below);
}

// The three pairs through the inversions, typed into the fields: R and Delta to 1e-12 of
// the exact values for the typed lengths, also where the ratio is within 1e-9 of 1.
class InvertedPairs : public test::ModelTest {};

TEST_F(InvertedPairs, RadiusAndDeltaAgreeWithTheExactCurve) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0, 1);
    const double pi = 3.141592653589793;
    model.Initialize();
    model.OnPackedDms(false);
    double worst = 0;
    for (int i = 0; i < 3000; ++i) {
        const int kind = i % 3;  // chord, Lrr, tangent
        const double radius = std::pow(10.0, 2 + 3 * unit(random));
        // Delta from 1e-7 of a degree (ratios within 1e-18 of 1 round to 1) up to 170.
        const double degrees = std::pow(10.0, -4 + 6.2 * unit(random));
        const double delta = degrees * pi / 180;
        char arc[32], other[32];
        std::snprintf(arc, sizeof arc, "%.10g", radius * delta);
        const double otherValue = kind == 0   ? 2 * radius * std::sin(delta / 2)
                                  : kind == 1 ? 100 * delta / (2 * std::asin(50 / radius))
                                              : radius * std::tan(delta / 2);
        std::snprintf(other, sizeof other, "%.10g", otherValue);
        const double L = std::strtod(arc, nullptr), V = std::strtod(other, nullptr);
        if (!(V < L) && kind != 2) continue;  // rounded to a chord or Lrr not below L
        if (kind == 2 && !(2 * V > L)) continue;
        const Field field = kind == 0 ? Field::Chord : kind == 1 ? Field::LengthRR : Field::Tangent;
        // From a Delta pair, so that neither entry is refused for the old values.
        model.OnEnterKey();
        model.OnKillfocus(Field::Delta, "1");
        model.OnEnterKey();
        model.OnKillfocus(Field::LengthArc, arc);
        model.OnEnterKey();
        ASSERT_EQ(model.OnKillfocus(field, other), EntryResult::Accepted) << arc << " " << other;

        Big x, ratio;
        double exactRadius, exactDelta;
        if (kind == 2) {
            Big twice(V);
            mpfr_mul_ui(twice.v, twice.v, 2, MPFR_RNDN);
            Complement(ratio, L, twice.Double());  // (L - 2T) / L, 2T exact
            mpfr_neg(ratio.v, ratio.v, MPFR_RNDN);
            TangentRoot(x, ratio, model.Record().m_delta * pi / 360);
        } else {
            Complement(ratio, L, V);
            ChordRoot(x, ratio,
                      kind == 0 ? model.Record().m_delta * pi / 360
                                : std::asin(50 / model.Record().m_radius));
        }
        Big value, angle;
        if (kind == 1) {  // x is half the chord-definition degree: R = 50 / sin x
            mpfr_sin(value.v, x.v, MPFR_RNDN);
            mpfr_d_div(value.v, 50, value.v, MPFR_RNDN);
            mpfr_d_div(angle.v, L, value.v, MPFR_RNDN);  // Delta = L / R
        } else {                                         // x is half of Delta: R = L / (2x)
            mpfr_mul_ui(angle.v, x.v, 2, MPFR_RNDN);
            mpfr_d_div(value.v, L, angle.v, MPFR_RNDN);
        }
        mpfr_const_pi(x.v, MPFR_RNDN);
        mpfr_mul_ui(angle.v, angle.v, 180, MPFR_RNDN);
        mpfr_div(angle.v, angle.v, x.v, MPFR_RNDN);
        exactRadius = value.Double();
        exactDelta = angle.Double();
        const double e = std::max(std::fabs(model.Record().m_radius / exactRadius - 1),
                                  std::fabs(model.Record().m_delta / exactDelta - 1));
        EXPECT_LT(e, 1e-12) << arc << " " << other << " kind " << kind;
        worst = std::max(worst, e);
    }
    std::printf("worst relative error of R or Delta: %.3g\n", worst);
}

}  // namespace
}  // namespace bendwise

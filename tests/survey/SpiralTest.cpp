// Spiral curves: published worked examples pinned to their printed digits, refusals, and
// the geometry's own invariants on random curves. With BENDWISE_SPIRAL_DUMP set,
// SpiralDump.RandomCases prints inputs and results for tests/survey/spiral_check.py to recompute
// at 50 digits from the Fresnel integrals.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "session/CurveModel.h"
#include "support/RecordingHost.h"
#include "survey/Spiral.h"

namespace bendwise {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = 180 / kPi;

double Dms(double d, double m, double s) {
    return d + m / 60 + s / 3600;
}

// splitmix64: the same cases from every standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    double Unit() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1p-53;
    }
    double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    double LogBetween(double lo, double hi) { return lo * std::pow(hi / lo, Unit()); }

  private:
    std::uint64_t state_;
};

struct Case {
    double rc, delta, ls, piStation, az;
    bool left;
    NorthEast at;
    SpiralKnown known;
    double interval;
};

// Rc 1 to 1e5, theta_s 1e-6 to 89.9 degrees, Delta from just above 2 theta_s to 179.99
// (one in ten within 1e-8 of the way to 180),
// stakes every Ls / 3 to Ls / 20 (or 1/300 of the arc), coordinates and stations up to 1e6.
Case RandomCase(Random& rng) {
    Case c;
    c.rc = rng.LogBetween(1, 1e5);
    const double thetaS = rng.LogBetween(1e-6, 89.9) / kDeg;
    c.ls = 2 * c.rc * thetaS;
    const double least = 2 * thetaS * kDeg;
    c.delta = least + (179.99 - least) * rng.LogBetween(1e-6, 1);
    if (rng.Unit() < 0.1) c.delta = 180 - (180 - least) * rng.LogBetween(1e-8, 1);
    c.piStation = rng.Between(0, 1e6);
    c.az = rng.Between(-360, 360);
    c.left = rng.Unit() < 0.5;
    c.at = {rng.Between(-1e6, 1e6), rng.Between(-1e6, 1e6)};
    c.known = rng.Unit() < 0.5 ? SpiralKnown::Ts : SpiralKnown::Pi;
    // At most about 300 stakes on the arc.
    c.interval = std::fmax(c.ls / rng.Between(3, 20), c.rc * (c.delta / kDeg) / 300);
    return c;
}

// Published values, each with half its last printed place (or what the source's method
// allows, said beside it).
struct Printed {
    const char* what;
    double SpiralCurve::*member;
    double value, tolerance;
};

TEST(Spiral, PublishedExamples) {
    const struct {
        const char* source;
        double rc, delta, ls;
        std::vector<Printed> values;
    } examples[] = {
        // New Hampshire DOT, "Spiral Curve Data" (sample curve data for highway plans),
        // https://www.nh.gov/dot/cadd/msv8/spiral.htm: feet, angles to 0.1".
        {"NHDOT sample",
         300,
         Dms(77, 47, 44.8),
         200,
         {{"theta_s", &SpiralCurve::thetaSDeg, Dms(19, 5, 54.9), 0.05 / 3600},
          {"Delta_c", &SpiralCurve::deltaC, Dms(39, 35, 54.9), 0.1 / 3600},
          {"Ts", &SpiralCurve::ts, 346.15, 0.005},
          {"Es", &SpiralCurve::es, 92.58, 0.005},
          {"Lc", &SpiralCurve::arcLength, 207.34, 0.005},
          {"LT", &SpiralCurve::lt, 134.12, 0.005},
          {"ST", &SpiralCurve::st, 67.38, 0.005},
          {"p", &SpiralCurve::p, 5.53, 0.005},
          {"k", &SpiralCurve::k, 99.63, 0.005},
          {"Xc", &SpiralCurve::xs, 197.79, 0.005},
          {"Yc", &SpiralCurve::ys, 22.05, 0.005},
          {"LC", &SpiralCurve::lc, 199.01, 0.005}}},
        // Montana DOT Road Design Manual, Appendix K, Example 3-1 (rural highway, 70 mph),
        // fliphtml5.com/pkwjp/vrtf/26-RDM-AppendixK-Example-Calculations pages 16-17: feet.
        {"MDT example 3-1",
         3000,
         15,
         210,
         {{"theta_s", &SpiralCurve::thetaSDeg, Dms(2, 0, 19), 0.5 / 3600},
          {"p", &SpiralCurve::p, 0.612, 0.0005},
          {"k", &SpiralCurve::k, 104.996, 0.0005},
          {"Ts", &SpiralCurve::ts, 500.034, 0.0005},
          // Es worked from p rounded to 0.612: half its place plus that rounding.
          {"Es", &SpiralCurve::es, 26.504, 0.0005 + 0.0005 * 1.01},
          {"Lc", &SpiralCurve::arcLength, 575.40, 0.005}}},
        // "Horizontal curves" transition spreadsheet, jfccivilengineer.com/horizontal_curves
        // .htm: metres, R 1000, 110 km/h, q 0.3 m/s^3. Shift S printed 0.377. Its main
        // tangent, 338.183, takes k = L/2, which is Ls^3 / (240 Rc^2) = 3.6 mm long against
        // the full series: compared within that plus half the printed place.
        {"UK metric transition",
         1000,
         Dms(32, 24, 0),
         95.093,
         {{"shift", &SpiralCurve::p, 0.377, 0.0005},
          {"Ts", &SpiralCurve::ts, 338.183, 0.0005 + 95.093 * 95.093 * 95.093 / 240e6}}},
    };
    for (const auto& e : examples) {
        SCOPED_TRACE(e.source);
        const SpiralCurve c = ComputeSpiral(e.rc, e.delta, e.ls);
        ASSERT_FALSE(c.refusal) << *c.refusal;
        for (const Printed& v : e.values) EXPECT_NEAR(c.*v.member, v.value, v.tolerance) << v.what;
    }
}

// MDT example 3-1's stations from PI 243+18.72. The manual adds its rounded Ts and Lc,
// so its CS and ST carry up to 0.01 of that rounding (the unrounded CS is 246+04.084).
TEST(Spiral, PublishedStations) {
    const SpiralCurve c = ComputeSpiral(3000, 15, 210);
    const SpiralStations s = StationSpiral(c, 24318.72);
    EXPECT_NEAR(s.ts, 23818.69, 0.005);
    EXPECT_NEAR(s.sc, 24028.69, 0.005);
    EXPECT_NEAR(s.cs, 24604.09, 0.01);
    EXPECT_NEAR(s.st, 24814.09, 0.01);
}

// The metric spreadsheet's deflections from the T (chainage 1012.285) to stakes on 20 m
// chainages, by the shortcut theta / 3: decimal degrees to 6 places (its sixth place is
// off by up to 3.3e-6 against its own L and chainages) and whole seconds, truncated.
TEST(Spiral, PublishedStakeoutDeflections) {
    const SpiralCurve c = ComputeSpiral(1000, Dms(32, 24, 0), 95.093);
    ASSERT_FALSE(c.refusal);
    SpiralStations s = StationSpiral(c, 1012.285 + c.ts);
    std::vector<SpiralStake> stakes;
    std::string reason;
    ASSERT_TRUE(SpiralStakeout(c, s, 20, stakes, reason)) << reason;
    const struct {
        double station, degrees;
        int seconds;
    } printed[] = {{1020, 0.005977, 21},           {1040, 0.077135, 4 * 60 + 37},
                   {1060, 0.228628, 13 * 60 + 43}, {1080, 0.460459, 27 * 60 + 37},
                   {1100, 0.772625, 46 * 60 + 21}, {1107.378, 0.908073, 54 * 60 + 29}};
    ASSERT_GE(stakes.size(), 7u);
    for (std::size_t i = 0; i < 6; ++i) {
        const SpiralStake& k = stakes[i + 1];
        SCOPED_TRACE(printed[i].station);
        EXPECT_EQ(k.part, SpiralPart::EntrySpiral);
        EXPECT_NEAR(k.station, printed[i].station, 1e-9);
        EXPECT_NEAR(k.approxDeflection, printed[i].degrees, 3.5e-6);
        EXPECT_EQ(static_cast<int>(std::floor(k.approxDeflection * 3600)), printed[i].seconds);
        // The exact deflection lies below theta / 3 by about 8 theta^3 / 2835.
        EXPECT_LT(k.deflection, k.approxDeflection);
    }
}

TEST(Spiral, Refusals) {
    const double inf = INFINITY, nan = NAN;
    const struct {
        double rc, delta, ls;
        const char* words;
    } cases[] = {
        {300, 80, 0, "spiral length"},
        {300, 80, -5, "spiral length"},
        {300, 80, inf, "spiral length"},
        {300, 80, nan, "spiral length"},
        {0, 80, 200, "radius"},
        {inf, 80, 200, "radius"},
        {300, 0, 200, "above 0"},
        {300, 180, 200, "below 180"},
        {300, nan, 200, "below 180"},
        // 2 theta_s = 200 / 300 radians = 38 11 49.87, printed to the tenth.
        {300, 38, 200, "38 11 49.9"},
        {300, Dms(38, 11, 49.8), 200, "larger than"},
        {300, Dms(38, 11, 49.9), 200, ""},  // just room for an arc
    };
    for (const auto& k : cases) {
        const SpiralCurve c = ComputeSpiral(k.rc, k.delta, k.ls);
        SCOPED_TRACE(testing::Message() << k.rc << " " << k.delta << " " << k.ls);
        if (*k.words == 0) {
            EXPECT_FALSE(c.refusal) << *c.refusal;
            EXPECT_GT(c.deltaC, 0);
        } else {
            ASSERT_TRUE(c.refusal);
            EXPECT_NE(c.refusal->find(k.words), std::string::npos) << *c.refusal;
        }
    }
    const SpiralCurve c = ComputeSpiral(300, 80, 200);
    std::vector<SpiralStake> stakes;
    std::string reason;
    EXPECT_FALSE(SpiralStakeout(c, StationSpiral(c, 5000), 0, stakes, reason));
    EXPECT_FALSE(SpiralStakeout(c, StationSpiral(c, 5000), 1e-4, stakes, reason));
    EXPECT_NE(reason.find("100000"), std::string::npos);
}

double Distance(const NorthEast& a, const NorthEast& b) {
    return std::hypot(a.northing - b.northing, a.easting - b.easting);
}

// Reflection of p in the line through a along (dn, de).
NorthEast Mirror(const NorthEast& p, const NorthEast& a, double dn, double de) {
    const double t =
        ((p.northing - a.northing) * dn + (p.easting - a.easting) * de) / (dn * dn + de * de);
    return {2 * (a.northing + t * dn) - p.northing, 2 * (a.easting + t * de) - p.easting};
}
// ... in the line through a and b.
NorthEast Mirror(const NorthEast& p, const NorthEast& a, const NorthEast& b) {
    return Mirror(p, a, b.northing - a.northing, b.easting - a.easting);
}

// Signed distance of p from the line through a along azimuth az (degrees), + to the right.
double Offset(const NorthEast& p, const NorthEast& a, double az) {
    return -(p.northing - a.northing) * std::sin(az / kDeg) +
           (p.easting - a.easting) * std::cos(az / kDeg);
}

// What the geometry requires of any correct result, to 1e-11 of the curve's size: the SC
// on the circle of radius Rc about CC, square to its tangent; CC at Rc + p from both
// tangents; PI at Ts from TS and ST; CS and ST the mirror images of SC and TS in the
// bisector; each stake at its chord from its origin, the arc's at Rc from CC, the exit
// spiral's the mirror of the entry spiral's; a left curve the mirror of the right one.
// As the spirals shrink to nothing the curve becomes the calculator's circular curve: Ts
// tends to its T by k + p tan(Delta/2), about Ls / 2, and Es to its E by p sec(Delta/2),
// about Ls^2 / (24 Rc) times that secant.
TEST(Spiral, VanishingSpiralsGiveTheCircularCurve) {
    const struct {
        const char* radius;
        const char* delta;
    } curves[] = {{"1000", "30"}, {"300", "75"}, {"50", "170"}, {"100000", "0.5"}};
    for (const auto& k : curves) {
        CCurveMemory memory;
        test::RecordingHost host;
        CCurveModel model(&memory, &host);
        model.Initialize();
        model.OnEnterKey();
        model.OnKillfocus(Field::Radius, k.radius);
        model.OnEnterKey();
        model.OnKillfocus(Field::Delta, k.delta);
        const CCurveRecord& r = model.Record();
        ASSERT_EQ(r.m_radius, std::stod(k.radius));
        for (double share : {1e-4, 1e-7, 1e-10}) {
            const double ls = share * r.m_radius;
            SCOPED_TRACE(testing::Message()
                         << "R " << k.radius << " Delta " << k.delta << " Ls " << ls);
            const SpiralCurve c = ComputeSpiral(r.m_radius, r.m_delta, ls);
            ASSERT_FALSE(c.refusal) << *c.refusal;
            const double half = r.m_delta / 2 / kDeg;
            EXPECT_NEAR((c.ts - r.m_tangent) / ls, 0.5,
                        2 * share * std::tan(half) + 1e-15 * r.m_tangent / ls);
            EXPECT_NEAR(c.es - r.m_external, 0,
                        ls * ls / (12 * r.m_radius) / std::cos(half) + 1e-15 * r.m_external);
        }
    }
}

TEST(Spiral, Invariants) {
    Random rng(0x5b1a);
    for (int i = 0; i < 2000; ++i) {
        const Case k = RandomCase(rng);
        SCOPED_TRACE(testing::Message()
                     << "#" << i << " Rc " << k.rc << " Delta " << k.delta << " Ls " << k.ls);
        const SpiralCurve c = ComputeSpiral(k.rc, k.delta, k.ls);
        ASSERT_FALSE(c.refusal) << *c.refusal;
        const double size = c.ts + c.rc + c.ls;
        const double e = 1e-11 * (size + std::fabs(k.at.northing) + std::fabs(k.at.easting));

        const ClothoidPoint end = ClothoidAt(c.ls, c.rc, c.ls);
        EXPECT_EQ(end.x, c.xs);
        EXPECT_EQ(end.y, c.ys);
        EXPECT_NEAR(std::hypot(c.xs - c.k, c.rc + c.p - c.ys), c.rc, 1e-12 * size);
        EXPECT_NEAR((c.k - c.xs) * std::cos(c.thetaS) + (c.rc + c.p - c.ys) * std::sin(c.thetaS), 0,
                    1e-12 * size);
        EXPECT_NEAR(c.xs - c.lt, c.st * std::cos(c.thetaS), 1e-12 * size);
        EXPECT_NEAR(c.ys, c.st * std::sin(c.thetaS), 1e-12 * size);

        const SpiralPoints p = PlaceSpiral(c, k.known, k.at, k.az, k.left);
        ASSERT_FALSE(p.error) << *p.error;
        const double s = k.left ? -1 : 1;
        const double outAz = k.az + s * k.delta;
        EXPECT_NEAR(Distance(p.pi, p.ts), c.ts, e);
        EXPECT_NEAR(Distance(p.pi, p.st), c.ts, e);
        EXPECT_NEAR(Offset(p.st, p.pi, outAz), 0, e);
        EXPECT_NEAR(Distance(p.cc, p.sc), c.rc, e);
        EXPECT_NEAR(Distance(p.cc, p.cs), c.rc, e);
        EXPECT_NEAR(s * Offset(p.cc, p.ts, k.az), c.rc + c.p, e);
        EXPECT_NEAR(s * Offset(p.cc, p.st, outAz), c.rc + c.p, e);
        const NorthEast cs = Mirror(p.sc, p.pi, p.cc), st = Mirror(p.ts, p.pi, p.cc);
        EXPECT_NEAR(Distance(cs, p.cs), 0, e);
        EXPECT_NEAR(Distance(st, p.st), 0, e);

        const SpiralPoints q = PlaceSpiral(c, SpiralKnown::Ts, p.ts, k.az, !k.left);
        ASSERT_FALSE(q.error);

        for (const auto& pair : {std::make_pair(p.sc, q.sc), std::make_pair(p.cc, q.cc),
                                 std::make_pair(p.cs, q.cs), std::make_pair(p.st, q.st)})
            EXPECT_NEAR(
                Distance(Mirror(pair.first, p.ts, std::cos(k.az / kDeg), std::sin(k.az / kDeg)),
                         pair.second),
                0, e);

        std::vector<SpiralStake> stakes;
        std::string reason;
        const SpiralStations stations = StationSpiral(c, k.piStation);
        ASSERT_TRUE(SpiralStakeout(c, stations, k.interval, stakes, reason)) << reason;
        ASSERT_GE(stakes.size(), 4u);
        EXPECT_EQ(stakes.front().station, stations.ts);
        EXPECT_EQ(stakes.back().station, stations.st);
        for (std::size_t j = 0; j < stakes.size(); ++j) {
            const SpiralStake& t = stakes[j];
            if (j > 0) {
                EXPECT_GT(t.station, stakes[j - 1].station);
                EXPECT_GE(t.part, stakes[j - 1].part);
            }
            const NorthEast at = StakePosition(c, p, t);
            const NorthEast& origin = t.part == SpiralPart::EntrySpiral ? p.ts
                                      : t.part == SpiralPart::Arc       ? p.sc
                                                                        : p.st;
            EXPECT_NEAR(Distance(at, origin), t.chord, e);
            if (t.part == SpiralPart::Arc) {
                EXPECT_NEAR(Distance(at, p.cc), c.rc, e);
            }
            if (t.part == SpiralPart::ExitSpiral) {
                SpiralStake entry = t;
                entry.part = SpiralPart::EntrySpiral;
                EXPECT_NEAR(Distance(Mirror(StakePosition(c, p, entry), p.pi, p.cc), at), 0, e);
            }
        }
    }
}

TEST(SpiralDump, RandomCases) {
    const char* path = std::getenv("BENDWISE_SPIRAL_DUMP");
    if (path == nullptr) GTEST_SKIP() << "for tests/survey/spiral_check.py";
    FILE* out = std::fopen(path, "w");
    ASSERT_NE(out, nullptr);
    auto put = [&](const NorthEast& p) { std::fprintf(out, " %a %a", p.northing, p.easting); };
    Random rng(0xc10d);
    for (int i = 0; i < 1000; ++i) {
        Case k = RandomCase(rng);
        // Fewer stakes than the invariants take, for the time of the 50-digit check.
        k.interval = std::fmax(k.ls / rng.Between(2, 8), k.rc * (k.delta / kDeg) / 30);
        const SpiralCurve c = ComputeSpiral(k.rc, k.delta, k.ls);
        ASSERT_FALSE(c.refusal) << *c.refusal;
        const SpiralStations s = StationSpiral(c, k.piStation);
        const SpiralPoints p = PlaceSpiral(c, k.known, k.at, k.az, k.left);
        ASSERT_FALSE(p.error) << *p.error;
        std::fprintf(out, "c %a %a %a %a %a %d %d", k.rc, k.delta, k.ls, k.piStation, k.az, k.left,
                     k.known == SpiralKnown::Pi);
        put(k.at);
        for (double v : {c.thetaS, c.xs, c.ys, c.p, c.k, c.ts, c.es, c.lt, c.st, c.lc,
                         c.scDeflection, c.deltaC, c.arcLength, s.ts, s.sc, s.cs, s.st})
            std::fprintf(out, " %a", v);
        put(p.ts), put(p.sc), put(p.cc), put(p.cs), put(p.st), put(p.pi);
        std::fprintf(out, "\n");
        std::vector<SpiralStake> stakes;
        std::string reason;
        ASSERT_TRUE(SpiralStakeout(c, s, k.interval, stakes, reason)) << reason;
        for (const SpiralStake& t : stakes) {
            std::fprintf(out, "s %d %a %a %a %a %a %a %a", static_cast<int>(t.part), t.station,
                         t.distance, t.x, t.y, t.deflection, t.approxDeflection, t.chord);
            put(StakePosition(c, p, t));
            std::fprintf(out, "\n");
        }
    }
    std::fclose(out);
}

}  // namespace
}  // namespace bendwise

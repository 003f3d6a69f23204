// Curves found from surveyed points, a point's station and offset, offset stakes and the
// shots of a setup: round trips through survey/Coordinates' placement, refusals, and
// hand-worked angles. With BENDWISE_FROM_POINTS_DUMP set, Dump.RandomCases prints inputs and
// results for tests/survey/from_points_check.py to recompute at 50 digits.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "math/Trig.h"
#include "survey/Coordinates.h"
#include "survey/FromPoints.h"
#include "survey/SetupStakeout.h"
#include "survey/Stationing.h"

namespace bendwise {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = 180 / kPi;

// splitmix64: the same cases from every standard library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    double Unit() {  // [0, 1)
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1p-53;
    }
    double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    double LogBetween(double lo, double hi) { return lo * std::pow(hi / lo, Unit()); }
    bool Coin() { return Unit() < 0.5; }

  private:
    std::uint64_t state_;
};

struct TestCurve {
    double radius, delta, inboundAz;
    bool left;
    NorthEast pc;
};

// R 1 to 1e5, Delta 0.01 to 359 degrees (not within 0.001 of 180: there the side of the
// RP, so the turn, is lost in the points' own rounding), either turn, coordinates up to
// 1e7 of either sign.
TestCurve RandomCurve(Random& rng) {
    TestCurve c;
    c.radius = rng.LogBetween(1, 1e5);
    do c.delta = rng.LogBetween(0.01, 359);
    while (std::fabs(c.delta - 180) < 1e-3);
    c.inboundAz = rng.Between(0, 360);
    c.left = rng.Coin();
    auto coordinate = [&] { return (rng.Coin() ? -1 : 1) * rng.LogBetween(1, 1e7); };
    c.pc = {coordinate(), coordinate()};
    return c;
}

CCurveRecord Record(const TestCurve& c) {
    CCurveRecord r;
    r.m_pi = kPi;
    r.m_degPerRad = kDeg;
    r.m_radius = c.radius;
    r.m_delta = c.delta;
    r.m_inboundAz = c.inboundAz;
    r.m_left = c.left ? 1 : 0;
    r.m_tangent = c.radius * math::Tan(c.delta / 2 / kDeg);
    r.m_lengthArc = c.radius * (c.delta / kDeg);
    r.m_chord = (2 * c.radius) * math::Sin(c.delta / 2 / kDeg);
    return r;
}

NorthEast Move(const NorthEast& p, double distance, double azimuth) {
    return {p.northing + distance * math::Cos(azimuth / kDeg),
            p.easting + distance * math::Sin(azimuth / kDeg)};
}

double AngleGap(double a, double b) {  // degrees, across 0/360
    const double d = std::fabs(a - b);
    return std::fmin(d, 360 - d);
}

// Twice the area over the longest side: how far the flattest corner is off the opposite
// side. A point moved by e moves the circle's radius by about R e / h.
double SmallestAltitude(const NorthEast& a, const NorthEast& b, const NorthEast& c) {
    const double ab = HorizontalDistance(a, b), bc = HorizontalDistance(b, c),
                 ca = HorizontalDistance(c, a);
    const double area2 = std::fabs((b.northing - a.northing) * (c.easting - a.easting) -
                                   (b.easting - a.easting) * (c.northing - a.northing));
    return area2 / std::fmax(ab, std::fmax(bc, ca));
}

// Rounding of a placed point: survey/Coordinates.h gives 1.2e-15 of the larger of its
// size and its distance from the PC; twice that for margin.
double PlacementNoise(std::initializer_list<NorthEast> points, double size) {
    for (const NorthEast& p : points)
        size = std::fmax(size, std::fmax(std::fabs(p.northing), std::fabs(p.easting)));
    return 2.4e-15 * size;
}

// Each construction must give back the curve that was placed. Tolerance: 1e-12 relative on
// R and 1e-12 of a turn on the angles, plus what the points' own rounding allows: 2 e / h
// (relative on R, radians on the angles), e the placement rounding, h the smallest altitude
// of the triangle of points given. Measured: at most 0.32 e / h (3000 curves).
TEST(CurveFromPoints, RoundTripsPlacedCurves) {
    Random rng(0x5eed);
    int tangentCases = 0;
    for (int i = 0; i < 3000; ++i) {
        const TestCurve c = RandomCurve(rng);
        const CCurveRecord record = Record(c);
        const CurvePoints p = PlaceCurve(record, {KnownPoint::Pc, c.pc});
        ASSERT_FALSE(p.error) << *p.error;
        const NorthEast anyOnArc =
            PointAtDeflection(record, p.pc, rng.Between(0.02, 0.98) * c.delta / 2);
        struct Construction {
            const char* name;
            std::optional<std::string> refusal;
            CurveEntries got;
            NorthEast a, b, c;  // the points given
            std::optional<NorthEast> centre;
        };
        std::vector<Construction> cases;
        const ThreePointCurve mid = CurveFromArcPoints(p.pc, p.mpc, p.pt);
        cases.push_back({"PC, MPC, PT", mid.refusal, mid.curve, p.pc, p.mpc, p.pt, mid.centre});
        const ThreePointCurve any = CurveFromArcPoints(p.pc, anyOnArc, p.pt);
        cases.push_back(
            {"PC, arc point, PT", any.refusal, any.curve, p.pc, anyOnArc, p.pt, any.centre});
        const RadiusPointCurve rp = CurveFromRadiusPoint(p.pc, p.rp, p.pt, c.delta > 180);
        cases.push_back({"PC, RP, PT", rp.refusal, rp.curve, p.pc, p.rp, p.pt, std::nullopt});
        if (p.pi) {
            ++tangentCases;
            const TangentPointCurve pi = CurveFromTangentPoints(p.pc, *p.pi, p.pt);
            cases.push_back({"PC, PI, PT", pi.refusal, pi.curve, p.pc, *p.pi, p.pt, pi.centre});
        }
        for (const Construction& k : cases) {
            SCOPED_TRACE(testing::Message()
                         << k.name << " #" << i << ": R " << c.radius << " Delta " << c.delta
                         << " Az " << c.inboundAz << (c.left ? " left" : " right") << " PC "
                         << c.pc.northing << "," << c.pc.easting);
            ASSERT_FALSE(k.refusal) << *k.refusal;
            const double e = PlacementNoise({k.a, k.b, k.c}, 2 * c.radius);
            const double slack = 2 * e / SmallestAltitude(k.a, k.b, k.c);
            EXPECT_EQ(k.got.left, c.left);
            EXPECT_NEAR(k.got.radius, c.radius, c.radius * (1e-12 + slack));
            EXPECT_NEAR(k.got.delta, c.delta, 360 * 1e-12 + slack * kDeg);
            EXPECT_LE(AngleGap(k.got.inboundAz, c.inboundAz), 360 * 1e-12 + slack * kDeg);
            EXPECT_GE(k.got.inboundAz, 0);
            EXPECT_LT(k.got.inboundAz, 360);
            EXPECT_EQ(k.got.pc.northing, p.pc.northing);
            EXPECT_EQ(k.got.pc.easting, p.pc.easting);
            if (k.centre) {
                EXPECT_LE(HorizontalDistance(*k.centre, p.rp), c.radius * (1e-12 + slack) + e);
            }
        }
        EXPECT_LE(std::fabs(rp.misclosure), 4 * PlacementNoise({p.pc, p.rp, p.pt}, c.radius));
    }
    EXPECT_GT(tangentCases, 1000);
}

// Each degenerate or over-tolerance set of points is refused with a reason that says why;
// the same points within a wider tolerance are accepted.
TEST(CurveFromPoints, RefusesWhatDefinesNoCurve) {
    enum Kind { Arc, Rp, Pi };
    auto refusal = [](Kind kind, NorthEast a, NorthEast b, NorthEast c, double tolerance) {
        if (kind == Arc) return CurveFromArcPoints(a, b, c).refusal;
        if (kind == Rp) return CurveFromRadiusPoint(a, b, c, false, tolerance).refusal;
        return CurveFromTangentPoints(a, b, c, tolerance).refusal;
    };
    const double big = 1e7, nan = std::nan("");
    const struct {
        Kind kind;
        NorthEast a, b, c;
        double tolerance;
        std::vector<const char*> words;  // empty: accepted
    } cases[] = {
        {Arc, {0, 0}, {5, 5}, {10, 10}, 0, {"one line"}},
        {Arc, {big, big}, {big + 20, big + 20}, {big + 10, big + 10}, 0, {"one line"}},
        {Arc, {3, 4}, {5, 5}, {3, 4}, 0, {"PC and the PT", "same point"}},
        {Arc, {3, 4}, {3, 4}, {9, 9}, 0, {"PC or the PT"}},
        {Arc, {0, 0}, {nan, 5}, {10, 10}, 0, {"not a number"}},
        {Rp,
         {0, 0},
         {0, 100},
         {100.03, 100},
         0.02,
         {"100.0300", "100.0000", "tolerance of 0.0200"}},
        {Rp, {0, 0}, {0, 100}, {100.03, 100}, 0.05, {}},
        {Rp, {0, 0}, {0, 100}, {0, 200}, 0.02, {"half circle", "left or right"}},
        {Rp, {0, 0}, {0, 0}, {0, 200}, 0.02, {"radius point is the PC"}},
        {Rp, {0, 0}, {0, 100}, {100, 100}, -1, {"tolerance must be"}},
        {Pi, {0, 0}, {100, 0}, {200, 0}, 0.02, {"one line", "Delta of 0"}},
        {Pi, {big, 0}, {big + 100, 0}, {big + 50, 0}, 0.02, {"180"}},
        {Pi,
         {0, 0},
         {100, 0},
         {100, 100.05},
         0.02,
         {"100.0500", "100.0000", "tolerance of 0.0200"}},
        {Pi, {0, 0}, {100, 0}, {100, 100.05}, 0.1, {}},
        {Pi, {0, 0}, {100, 0}, {100, 0}, 0.02, {"PI is the PC or the PT"}},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> why = refusal(c.kind, c.a, c.b, c.c, c.tolerance);
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " PT " << c.c.northing << ","
                                        << c.c.easting << " tolerance " << c.tolerance);
        EXPECT_EQ(why.has_value(), !c.words.empty()) << why.value_or("");
        for (const char* word : c.words)
            EXPECT_NE(why.value_or("").find(word), std::string::npos) << why.value_or("");
    }
}

// The RP held with a PT off its radius: R is the PC's radius, Delta and the tangent at the
// PC come from the RP, the PT only gives its direction; an RP on the left of the chord is
// a curve to the left over the minor arc, to the right over the major one.
TEST(CurveFromPoints, RadiusPointHoldsThePcAndReportsThePtsMisclosure) {
    // RP north of the PC, the PT east of the RP one radius (+0.01) away: the quarter circle
    // from the circle's south point to its east point turns left, heading east at the PC.
    const RadiusPointCurve minor = CurveFromRadiusPoint({0, 0}, {100, 0}, {100, 100.01});
    ASSERT_FALSE(minor.refusal) << *minor.refusal;
    EXPECT_TRUE(minor.curve.left);
    EXPECT_EQ(minor.curve.radius, 100);
    EXPECT_NEAR(minor.misclosure, 0.01, 1e-12);
    EXPECT_NEAR(minor.curve.delta, 90, 1e-12);
    EXPECT_NEAR(minor.curve.inboundAz, 90, 1e-12);
    ASSERT_TRUE(minor.tangent);
    EXPECT_NEAR(*minor.tangent, 100, 1e-11);
    EXPECT_NEAR(minor.arcLength, 50 * kPi, 1e-11);
    const RadiusPointCurve major = CurveFromRadiusPoint({0, 0}, {100, 0}, {100, 100.01}, true);
    ASSERT_FALSE(major.refusal) << *major.refusal;
    EXPECT_FALSE(major.curve.left);
    EXPECT_NEAR(major.curve.delta, 270, 1e-12);
    EXPECT_NEAR(major.curve.inboundAz, 270, 1e-12);
    EXPECT_NEAR(major.arcLength, 150 * kPi, 1e-11);
    EXPECT_FALSE(major.tangent);
}

// Points set out at a known station and offset on each element come back with them. The
// element the point was built on must be the nearest; that is checked independently
// against the arc sampled by survey/Coordinates' placement and the tangents as rays, and
// cases where another element comes within 10% are left out.
TEST(StationOffsetOfAPoint, PointsBuiltOnEachElementComeBack) {
    Random rng(0xc0ffee);
    int checked[3] = {0, 0, 0};
    for (int i = 0; i < 1500; ++i) {
        const TestCurve c = RandomCurve(rng);
        const CCurveRecord record = Record(c);
        const CurvePoints p = PlaceCurve(record, {KnownPoint::Pc, c.pc});
        const double s = c.left ? -1 : 1;
        const double pcStation = rng.Between(-1e4, 1e6);
        const PlacedCurve placed = PlacedFromRecord(record, p.pc, pcStation);
        // Offsets up to half the radius or half the arc, so that most points stay nearest
        // the element they were set out from.
        const double offset =
            (rng.Coin() ? -1 : 1) * rng.Between(0, 0.5) * std::fmin(c.radius, record.m_lengthArc);
        const double along = rng.Between(0.001, 2) * c.radius;
        const double aheadAz = c.inboundAz + s * c.delta;
        const int element = static_cast<int>(rng.Unit() * 3);
        NorthEast point;
        double station = 0;
        if (element == 0) {
            point = Move(Move(p.pc, -along, c.inboundAz), offset, c.inboundAz + 90);
            station = pcStation - along;
        } else if (element == 1) {
            const double angle = rng.Between(0, c.delta);
            point = Move(PointAtDeflection(record, p.pc, angle / 2), offset,
                         c.inboundAz + s * angle + 90);
            station = pcStation + c.radius * (angle / kDeg);
        } else {
            point = Move(Move(p.pt, along, aheadAz), offset, aheadAz + 90);
            station = pcStation + c.radius * (c.delta / kDeg) + along;
        }

        // Distance to each element: to a ray by its clamped projection, to the arc by 4001
        // points of it (an overestimate of at most R (Delta / 8000)^2 / 2).
        auto toRay = [&](const NorthEast& from, double az) {
            const double dn = point.northing - from.northing, de = point.easting - from.easting;
            const double u = dn * std::cos(az / kDeg) + de * std::sin(az / kDeg);
            const double v = -dn * std::sin(az / kDeg) + de * std::cos(az / kDeg);
            return u <= 0 ? HorizontalDistance(from, point) : std::fabs(v);
        };
        double toArc = INFINITY;
        for (int j = 0; j <= 4000; ++j)
            toArc = std::fmin(
                toArc,
                HorizontalDistance(point, PointAtDeflection(record, p.pc, c.delta / 2 * j / 4000)));
        const double others[3] = {toRay(p.pc, c.inboundAz + 180), toArc, toRay(p.pt, aheadAz)};
        bool clear = true;
        for (int j = 0; j < 3; ++j)
            if (j != element && others[j] < 1.1 * std::fabs(offset) + 1e-6 * c.radius)
                clear = false;
        if (!clear) continue;
        ++checked[element];

        SCOPED_TRACE(testing::Message()
                     << "#" << i << " element " << element << " R " << c.radius << " Delta "
                     << c.delta << " offset " << offset << " station " << station);
        const StationOffset got = StationAndOffset(placed, point);
        const double e = PlacementNoise({p.pc, point}, 3 * c.radius);
        EXPECT_EQ(static_cast<int>(got.element), element);
        EXPECT_NEAR(got.station, station, 4e-16 * std::fabs(station) + 4 * e);
        EXPECT_NEAR(got.offset, offset, 4 * e);
    }
    for (const int n : checked) EXPECT_GT(n, 200);
}

// A right curve heading north, R 100, Delta 90, PC at 10+00 on (1000, 2000): the centre is
// at (1000, 2100), the PT at (1100, 2100) heading east. Hand-worked points.
TEST(StationOffsetOfAPoint, HandWorkedPointsAroundAQuarterCircle) {
    PlacedCurve curve;
    curve.pc = {1000, 2000};
    curve.radius = 100;
    curve.delta = 90;
    curve.pcStation = 1000;
    const double arc = 50 * kPi;
    const struct {
        NorthEast point;
        bool left;
        Element element;
        double station, offset;
    } cases[] = {
        {{990, 1995}, false, Element::BackTangent, 990, -5},
        {{990, 1995}, true, Element::BackTangent, 990, -5},
        // On the PC's radial line, 10 inside: as near the back tangent as the arc, so the
        // back tangent's (the first), with the same station and offset either way.
        {{1000, 2010}, false, Element::BackTangent, 1000, 10},
        // 30 degrees on, 10 inside: az 300 from the centre, 90 out.
        {{1000 + 90 * std::cos(300 / kDeg), 2100 + 90 * std::sin(300 / kDeg)},
         false,
         Element::Curve,
         1000 + 100 * kPi / 6,
         10},
        {{1000 + 110 * std::cos(300 / kDeg), 2100 + 110 * std::sin(300 / kDeg)},
         false,
         Element::Curve,
         1000 + 100 * kPi / 6,
         -10},
        {{1095, 2150}, false, Element::AheadTangent, 1000 + arc + 50, 5},
        // Inside, beyond the centre: 50 from the ahead tangent, 70.7 from the arc's PT.
        {{1050, 2150}, false, Element::AheadTangent, 1000 + arc + 50, 50},
        // Just ahead of the PC on the outside: on the arc, not the back tangent.
        {{1001, 1999},
         false,
         Element::Curve,
         1000 + 100 * std::atan2(1, 101),
         -(std::hypot(1, 101) - 100)},
        // The same curve to the left (centre at (1000, 1900)): a point on the right of it.
        {{1010, 2001},
         true,
         Element::Curve,
         1000 + 100 * std::atan2(10, 101),
         std::hypot(10, 101) - 100},
    };
    for (const auto& c : cases) {
        curve.left = c.left;
        const StationOffset got = StationAndOffset(curve, c.point);
        SCOPED_TRACE(testing::Message() << c.point.northing << "," << c.point.easting
                                        << (c.left ? " left" : " right"));
        EXPECT_EQ(got.element, c.element) << ElementName(got.element);
        EXPECT_NEAR(got.station, c.station, 1e-10);
        EXPECT_NEAR(got.offset, c.offset, 1e-10);
    }
}

// Offset stakes: each lies on its radial line at its station (station and offset come back
// through StationAndOffset), its distance from the RP is R - s D, and the chord to the
// previous stake is the straight distance between them.
TEST(OffsetStakes, LieOnTheirRadialsAtTheOffsetRadius) {
    Random rng(77);
    for (int i = 0; i < 200; ++i) {
        TestCurve c = RandomCurve(rng);
        c.delta = std::fmin(c.delta, 170);  // stations need a PI
        const CCurveRecord record = Record(c);
        const CurvePoints p = PlaceCurve(record, {KnownPoint::Pc, c.pc});
        CurveStations stations;
        stations.pi = 1e5;
        stations.pc = stations.pi - record.m_tangent;
        stations.length = record.m_lengthArc;
        stations.pt = stations.pc + stations.length;
        stations.defined = true;
        std::vector<StakeoutRow> rows;
        std::string reason;
        ASSERT_TRUE(BuildStakeout(record, stations, stations.length / 7.3, rows, reason)) << reason;
        const PlacedCurve placed = PlacedFromRecord(record, p.pc, stations.pc);
        const double d = rng.Between(0.01, 0.9) * c.radius;
        // The last reaches the centre: refused.
        const double s = c.left ? -1 : 1;
        const std::vector<OffsetLine> lines =
            OffsetStakeout(placed, rows, {-d, d, 0, s * c.radius * rng.Between(1, 2)});
        ASSERT_EQ(lines.size(), 4u);
        ASSERT_TRUE(lines[3].refusal);
        EXPECT_NE(lines[3].refusal->find("centre"), std::string::npos) << *lines[3].refusal;
        EXPECT_TRUE(lines[3].stakes.empty());
        for (std::size_t l = 0; l < 3; ++l) {
            const OffsetLine& line = lines[l];
            SCOPED_TRACE(testing::Message() << "#" << i << " offset " << line.offset);
            ASSERT_FALSE(line.refusal) << *line.refusal;
            ASSERT_EQ(line.stakes.size(), rows.size());
            for (std::size_t j = 0; j < rows.size(); ++j) {
                const OffsetStake& stake = line.stakes[j];
                const double e = PlacementNoise({p.pc, stake.at}, 3 * c.radius);
                const StationOffset back = StationAndOffset(placed, stake.at);
                // The first and last stakes lie on the PC's and the PT's radial lines,
                // equally far from the tangent there: either element gives the same.
                if (j > 0 && j + 1 < rows.size()) {
                    EXPECT_EQ(back.element, Element::Curve);
                }
                EXPECT_NEAR(back.station, rows[j].station,
                            1e-12 * std::fabs(rows[j].station) + 8 * e);
                EXPECT_NEAR(back.offset, line.offset, 8 * e);
                EXPECT_NEAR(HorizontalDistance(stake.at, p.rp), line.radius, 8 * e);
                if (j > 0) {
                    EXPECT_NEAR(stake.chordFromPrevious,
                                HorizontalDistance(line.stakes[j - 1].at, stake.at),
                                1e-12 * c.radius + 8 * e);
                } else {
                    EXPECT_EQ(stake.chordFromPrevious, 0);
                }
            }
        }
    }
}

// Backsight and targets around an instrument at state-plane coordinates: the angle right is
// clockwise from the backsight, whichever way the backsight points.
TEST(SetupShots, AnglesAndDistancesFromTheInstrument) {
    const NorthEast at{4.5e6, 1.2e7};
    auto off = [&](double dn, double de) { return NorthEast{at.northing + dn, at.easting + de}; };
    const struct {
        NorthEast backsight, target;
        double azimuth, angleRight, distance;
    } cases[] = {
        {off(100, 0), off(0, 40), 90, 90, 40},  // backsight north, target east
        {off(100, 0), off(-3, -4), 233.13010235415598, 233.13010235415598, 5},
        {off(0, 7), off(5, 0), 0, 270, 5},     // backsight east, target north
        {off(-1, 0), off(0, -2), 270, 90, 2},  // backsight south, target west
        {off(-1, -1), off(1, 1), 45, 180, std::sqrt(2.0)},
        {off(0, 1), off(0, 1e3), 90, 0, 1e3},  // along the backsight line
        // 2^-20 is a whole number of units in the last place of 1.2e7.
        {off(1, 0x1p-20), off(1, -0x1p-20), 360 - std::atan(0x1p-20) * kDeg,
         360 - 2 * std::atan(0x1p-20) * kDeg, std::hypot(1, 0x1p-20)},
        {off(2, 2), at, 0, 0, 0},  // the target is the instrument
    };
    for (const auto& c : cases) {
        const InstrumentSetup setup = SetupShots(at, c.backsight, {c.target});
        ASSERT_FALSE(setup.refusal) << *setup.refusal;
        ASSERT_EQ(setup.shots.size(), 1u);
        const SetupShot& shot = setup.shots[0];
        SCOPED_TRACE(testing::Message() << "target " << c.target.northing - at.northing << ","
                                        << c.target.easting - at.easting);
        EXPECT_NEAR(shot.azimuth, c.azimuth, 1e-12);
        EXPECT_NEAR(shot.angleRight, c.angleRight, 1e-12);
        EXPECT_NEAR(shot.distance, c.distance, 1e-12);
    }
    const InstrumentSetup same = SetupShots(at, at, {off(1, 1)});
    ASSERT_TRUE(same.refusal);
    EXPECT_NE(same.refusal->find("backsight is the instrument point"), std::string::npos);
}

// Inputs and results for the 50-digit check, one case a line, every number as %a: the
// exact double, where 17 decimal digits would move an ill-conditioned case measurably.
TEST(Dump, RandomCases) {
    const char* path = std::getenv("BENDWISE_FROM_POINTS_DUMP");
    if (path == nullptr) GTEST_SKIP() << "for tests/survey/from_points_check.py";
    FILE* out = std::fopen(path, "w");
    ASSERT_NE(out, nullptr);
    auto put = [&](const NorthEast& p) { std::fprintf(out, " %a %a", p.northing, p.easting); };
    Random rng(0xd1ce);
    for (int i = 0; i < 3000; ++i) {
        const TestCurve c = RandomCurve(rng);
        const CCurveRecord record = Record(c);
        const CurvePoints p = PlaceCurve(record, {KnownPoint::Pc, c.pc});
        const NorthEast onArc =
            PointAtDeflection(record, p.pc, rng.Between(0.02, 0.98) * c.delta / 2);
        const ThreePointCurve arc = CurveFromArcPoints(p.pc, onArc, p.pt);
        ASSERT_FALSE(arc.refusal) << *arc.refusal;
        std::fprintf(out, "arc");
        put(p.pc), put(onArc), put(p.pt);
        std::fprintf(out, " %a %a %a %d\n", arc.curve.radius, arc.curve.delta, arc.curve.inboundAz,
                     arc.curve.left);
        // A PT off its radius by up to 0.01, so the held point matters.
        const NorthEast pt = Move(p.pt, rng.Between(-1, 1) * std::fmin(0.01, 1e-3 * record.m_chord),
                                  rng.Between(0, 360));
        const RadiusPointCurve rp = CurveFromRadiusPoint(p.pc, p.rp, pt, c.delta > 180);
        ASSERT_FALSE(rp.refusal) << *rp.refusal;
        std::fprintf(out, "rp");
        put(p.pc), put(p.rp), put(pt);
        std::fprintf(out, " %d %a %a %a %d %a\n", c.delta > 180, rp.curve.radius, rp.curve.delta,
                     rp.curve.inboundAz, rp.curve.left, rp.misclosure);
        if (p.pi) {
            const TangentPointCurve pi = CurveFromTangentPoints(p.pc, *p.pi, pt);
            ASSERT_FALSE(pi.refusal) << *pi.refusal;
            std::fprintf(out, "pi");
            put(p.pc), put(*p.pi), put(pt);
            std::fprintf(out, " %a %a %a %d\n", pi.curve.radius, pi.curve.delta, pi.curve.inboundAz,
                         pi.curve.left);
        }
        const PlacedCurve placed = PlacedFromRecord(record, p.pc, rng.Between(0, 1e6));
        const NorthEast point = Move(onArc, rng.Between(-0.3, 0.3) * c.radius, rng.Between(0, 360));
        const StationOffset so = StationAndOffset(placed, point);
        std::fprintf(out, "so");
        put(placed.pc);
        std::fprintf(out, " %a %a %a %d %a", placed.inboundAz, placed.radius, placed.delta,
                     placed.left, placed.pcStation);
        put(point);
        std::fprintf(out, " %d %a %a\n", static_cast<int>(so.element), so.station, so.offset);
    }
    std::fclose(out);
}

}  // namespace
}  // namespace bendwise

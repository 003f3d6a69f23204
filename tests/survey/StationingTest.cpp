// Stations in NN+NN.NN, PC and PT by arc and chord stationing, and the deflection table.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/SolvedCurve.h"
#include "survey/Stationing.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

std::string Dms(double degrees) {
    std::string text;
    FormatDms(degrees, text);
    TrimLeft(text);
    return text;
}

std::string Fixed(double value) {
    std::string text;
    FormatFixed(value, text);
    return text;
}

// The examples of the station grammar in Stationing.h.
TEST(StationText, ReadsHundredsPlusForms) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"2550", 2550},  {"2550.25", 2550.25}, {"25+50", 2550}, {"25+50.00", 2550},
        {"0+07.5", 7.5}, {"-1+50", -150},      {"0", 0},        {"123+45.678", 12345.678},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_TRUE(ParseStation(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StationText, RefusesOtherTexts) {
    for (const char* text :
         {"", "12+3x", "25+5", "25+500", "+50", "25+", "25+50.", ".5", "2550.", "1e3", "25 + 50",
          " 2550", "inf", "nan", "0x10", "--5", "-", "25+50+00", "25+5a.00"}) {
        double value = 42;
        EXPECT_FALSE(ParseStation(text, value)) << "'" << text << "'";
        EXPECT_EQ(value, 42) << text;
    }
}

// The examples of the interval grammar in Stationing.h.
TEST(IntervalText, ReadsPositiveLengthsOnly) {
    const struct {
        const char* text;
        bool read;
        double value;
    } cases[] = {{" 50", true, 50},   {"12.5", true, 12.5}, {"1e2", true, 100},
                 {"", false, 0},      {"0", false, 0},      {"-5", false, 0},
                 {"50 ft", false, 0}, {"inf", false, 0},    {"1e400", false, 0}};
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(ParseInterval(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.read ? c.value : -1) << c.text;
    }
}

TEST(StationText, RoundsBeforeSplittingSoTheCarryReachesTheHundreds) {
    const struct {
        double station;
        const char* text;
    } cases[] = {
        {1299.996, "13+00.00"},  // never 12+100.00
        {1299.994, "12+99.99"},
        {2096.239, "20+96.24"},
        {99.999, "1+00.00"},
        {7.5, "0+07.50"},
        {0, "0+00.00"},
        {-150, "-1+50.00"},
        {-0.001, "0+00.00"},
        {-99.996, "-1+00.00"},
        {123456.7, "1234+56.70"},
        {std::numeric_limits<double>::quiet_NaN(), "undefined"},
        {std::numeric_limits<double>::infinity(), "undefined"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatStation(c.station), c.text) << c.station;
    // More places for intervals under a hundredth, the carry as before.
    const struct {
        double interval;
        double station;
        const char* text;
    } finer[] = {
        {100, 7.5, "0+07.50"},           {0.01, 7.5, "0+07.50"},
        {0.005, 7.5, "0+07.500"},        {0.005, 1299.9996, "13+00.000"},
        {0.0001, 12.34567, "0+12.3457"}, {1e-12, 1.5, "0+01.500000000"},
        {0.25, -0.0004, "0+00.00"},
    };
    for (const auto& c : finer) {
        EXPECT_EQ(FormatStation(c.station, StationDecimals(c.interval)), c.text) << c.interval;
    }
}

// Railroad practice: chord definition Dc = 2 degrees, Delta 18, PI at 25+50. The curve is
// measured in 100-unit chords, so PT = PC + Lrr (900.000), not PC + L arc (900.046).
TEST(Stations, RailroadChordDefinitionStationsByPseudoLength) {
    const SolvedCurve curve({{Field::DegreeChord, "2"}, {Field::Delta, "18"}});
    EXPECT_EQ(curve.Text(Field::Radius), "2864.934");
    EXPECT_EQ(curve.Text(Field::Tangent), "453.761");
    EXPECT_EQ(curve.Text(Field::LengthRR), "900.000");
    EXPECT_EQ(curve.Text(Field::LengthArc), "900.046");

    const CurveStations chord = ComputeStations(curve.Record(), 2550, Stationing::Chord);
    ASSERT_TRUE(chord.defined);
    EXPECT_EQ(FormatStation(chord.pc), "20+96.24");
    EXPECT_EQ(FormatStation(chord.pt), "29+96.24");
    // The same curve stationed along the arc ends 0.046 further on (2996.2847 -> 29+96.28).
    const CurveStations arc = ComputeStations(curve.Record(), 2550, Stationing::Arc);
    EXPECT_EQ(FormatStation(arc.pc), "20+96.24");
    EXPECT_EQ(FormatStation(arc.pt), "29+96.28");
}

// Highway practice: arc definition Da = 4 degrees, Delta 40, PI at 23+25.
TEST(Stations, HighwayArcDefinitionStationsByArcLength) {
    const SolvedCurve curve({{Field::DegreeArc, "4"}, {Field::Delta, "40"}});
    EXPECT_EQ(curve.Text(Field::Tangent), "521.349");
    EXPECT_EQ(curve.Text(Field::LengthArc), "1000.000");
    EXPECT_EQ(curve.Text(Field::Chord), "979.816");
    const CurveStations s = ComputeStations(curve.Record(), 2325, Stationing::Arc);
    EXPECT_EQ(FormatStation(s.pi), "23+25.00");
    EXPECT_EQ(FormatStation(s.pc), "18+03.65");
    EXPECT_EQ(FormatStation(s.pt), "28+03.65");
}

TEST(Stations, UndefinedWithoutAFinitePiOrWithoutPseudoLength) {
    const struct {
        const char* name;
        const char* radius;
        const char* delta;
        Stationing mode;
        bool defined;
    } cases[] = {
        {"just below a half circle", "1000", "179.9", Stationing::Arc, true},
        {"half circle: tangent out of range", "1000", "180", Stationing::Arc, false},
        {"200 degrees: tangents meet behind", "1000", "200", Stationing::Arc, false},
        {"radius below 50: Lrr undefined", "40", "30", Stationing::Chord, false},
        {"radius below 50 along the arc", "40", "30", Stationing::Arc, true},
    };
    for (const auto& c : cases) {
        const SolvedCurve curve({{Field::Radius, c.radius}, {Field::Delta, c.delta}});
        const CurveStations s = ComputeStations(curve.Record(), 1000, c.mode);
        EXPECT_EQ(s.defined, c.defined) << c.name;
        if (!c.defined) {
            EXPECT_EQ(FormatStation(s.pc), "undefined") << c.name;
            EXPECT_EQ(FormatStation(s.pt), "undefined") << c.name;
            std::vector<StakeoutRow> rows;
            std::string reason;
            EXPECT_FALSE(BuildStakeout(curve.Record(), s, 50, rows, reason)) << c.name;
            EXPECT_TRUE(rows.empty());
        }
    }
}

// The PT row turns the full half of Delta, to the last bit, whatever the interval.
TEST(Stakeout, LastDeflectionIsHalfOfDelta) {
    const SolvedCurve railroad({{Field::DegreeChord, "2"}, {Field::Delta, "18"}});
    const SolvedCurve highway({{Field::DegreeArc, "4"}, {Field::Delta, "40"}});
    const SolvedCurve odd({{Field::Radius, "737.21"}, {Field::Delta, "23 17 41"}}, true);
    const struct {
        const SolvedCurve* curve;
        double pi;
        Stationing mode;
        double interval;
    } cases[] = {
        {&railroad, 2550, Stationing::Chord, 100}, {&railroad, 2550, Stationing::Arc, 50},
        {&highway, 2325, Stationing::Arc, 100},    {&highway, 2325, Stationing::Chord, 25},
        {&odd, 1234.567, Stationing::Arc, 20},     {&odd, 1234.567, Stationing::Arc, 3},
    };
    for (const auto& c : cases) {
        const CCurveRecord& r = c.curve->Record();
        std::vector<StakeoutRow> rows;
        std::string reason;
        ASSERT_TRUE(BuildStakeout(r, ComputeStations(r, c.pi, c.mode), c.interval, rows, reason))
            << reason;
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows.back().deflection, r.m_delta / 2) << c.interval;
        EXPECT_EQ(Dms(rows.back().deflection), c.curve->Text(Field::HalfDelta));
        EXPECT_EQ(Fixed(rows.back().chord), c.curve->Text(Field::Chord));
        EXPECT_EQ(rows.front().deflection, 0.0);
        EXPECT_EQ(rows.front().chord, 0.0);
        for (std::size_t k = 1; k < rows.size(); ++k) {
            EXPECT_GT(rows[k].station, rows[k - 1].station);
            EXPECT_GT(rows[k].deflection, rows[k - 1].deflection);
        }
    }
}

// Arc stationing: a point at arc distance d from the PC is deflected d / (2 R) radians.
TEST(Stakeout, HighwayTableAtFullStations) {
    const SolvedCurve curve({{Field::DegreeArc, "4"}, {Field::Delta, "40"}});
    const CCurveRecord& r = curve.Record();
    std::vector<StakeoutRow> rows;
    std::string reason;
    ASSERT_TRUE(BuildStakeout(r, ComputeStations(r, 2325, Stationing::Arc), 100, rows, reason));
    std::vector<std::string> stations;
    for (const StakeoutRow& row : rows) stations.push_back(FormatStation(row.station));
    const std::vector<std::string> expected = {"18+03.65", "19+00.00", "20+00.00", "21+00.00",
                                               "22+00.00", "23+00.00", "24+00.00", "25+00.00",
                                               "26+00.00", "27+00.00", "28+00.00", "28+03.65"};
    EXPECT_EQ(stations, expected);
    for (const StakeoutRow& row : rows) {
        EXPECT_NEAR(row.deflection, row.distance / (2 * r.m_radius) * r.m_degPerRad, 1e-12);
    }
    // 2 degrees per 100 units of arc: 96.349 from the PC turns 1.92698 degrees.
    EXPECT_EQ(Fixed(rows[1].distance), "96.349");
    EXPECT_EQ(Dms(rows[1].deflection), "1 55 37.1");
    EXPECT_EQ(Fixed(rows[2].subChord), "99.980");  // 100 of arc, 2 R sin(50 / R) of chord
}

// Chord stationing: half of Dc per 100 units of pseudo-length, and a full station's
// sub-chord is exactly the 100-unit chord that defines Dc.
TEST(Stakeout, RailroadFullStationsAreHundredUnitChords) {
    const SolvedCurve curve({{Field::DegreeChord, "2"}, {Field::Delta, "18"}});
    const CCurveRecord& r = curve.Record();
    std::vector<StakeoutRow> rows;
    std::string reason;
    ASSERT_TRUE(BuildStakeout(r, ComputeStations(r, 2550, Stationing::Chord), 100, rows, reason));
    ASSERT_EQ(rows.size(), 11u);  // PC, 21+00 to 29+00, PT
    EXPECT_EQ(FormatStation(rows[1].station), "21+00.00");
    EXPECT_EQ(FormatStation(rows[9].station), "29+00.00");
    for (std::size_t k = 2; k <= 9; ++k) {
        EXPECT_NEAR(rows[k].deflection - rows[k - 1].deflection, 1.0, 1e-12) << k;
        EXPECT_EQ(Fixed(rows[k].subChord), "100.000") << k;
    }
    EXPECT_EQ(Fixed(rows.back().distance), "900.000");
}

TEST(Stakeout, AMultipleThatPrintsAsPcOrPtIsNotRepeated) {
    // Radius 1000, Delta 30: T = 267.949, L = 523.599.
    const SolvedCurve curve({{Field::Radius, "1000"}, {Field::Delta, "30"}});
    const CCurveRecord& r = curve.Record();
    const struct {
        double pi;
        std::vector<std::string> ends;  // the first two and the last two stations
    } cases[] = {
        // PC 999.9968 prints as 10+00.00: the multiple 1000 is the PC itself.
        {1267.946, {"10+00.00", "11+00.00", "15+00.00", "15+23.60"}},
        // PC 999.9908 prints as 9+99.99: 10+00 is a point of its own.
        {1267.94, {"9+99.99", "10+00.00", "15+00.00", "15+23.59"}},
        // PT 1500.0030 prints as 15+00.00: the multiple 1500 is the PT itself.
        {1244.3534, {"9+76.40", "10+00.00", "14+00.00", "15+00.00"}},
    };
    for (const auto& c : cases) {
        std::vector<StakeoutRow> rows;
        std::string reason;
        ASSERT_TRUE(BuildStakeout(r, ComputeStations(r, c.pi, Stationing::Arc), 100, rows, reason));
        ASSERT_GE(rows.size(), 4u);
        const std::vector<std::string> ends = {
            FormatStation(rows[0].station), FormatStation(rows[1].station),
            FormatStation(rows[rows.size() - 2].station), FormatStation(rows.back().station)};
        EXPECT_EQ(ends, c.ends) << c.pi;
    }
}

TEST(Stakeout, RefusesIntervalsThatGiveNoUsableTable) {
    const SolvedCurve curve({{Field::Radius, "1000"}, {Field::Delta, "30"}});
    const CurveStations s = ComputeStations(curve.Record(), 2000, Stationing::Arc);
    for (double interval : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(), 0.001}) {
        std::vector<StakeoutRow> rows;
        std::string reason;
        EXPECT_FALSE(BuildStakeout(curve.Record(), s, interval, rows, reason)) << interval;
        EXPECT_FALSE(reason.empty());
    }
}

// Regression: a PI at 1e18 counted multiples past 2^53, where adding one to the count no
// longer changed it, and the table never ended.
TEST(Stakeout, StationsTooLargeToCountAreRefused) {
    const SolvedCurve curve({{Field::Radius, "1000"}, {Field::Delta, "30"}});
    std::vector<StakeoutRow> rows;
    std::string reason;
    EXPECT_FALSE(BuildStakeout(
        curve.Record(), ComputeStations(curve.Record(), 1e18, Stationing::Arc), 100, rows, reason));
    EXPECT_EQ(reason, "the stations are too large for this stakeout interval");
    EXPECT_TRUE(BuildStakeout(
        curve.Record(), ComputeStations(curve.Record(), 1e12, Stationing::Arc), 100, rows, reason));
    EXPECT_EQ(rows.size(), 7u);  // PC, five full stations, PT
}

}  // namespace
}  // namespace bendwise

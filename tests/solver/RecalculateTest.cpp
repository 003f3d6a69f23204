#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/ModelFixture.h"

using namespace bendwise;
using bendwise::test::ExpectRelative;
using Strings = std::vector<std::string>;

namespace {

constexpr int R = GROUP_RADIUS, L = GROUP_LARC, LRR = GROUP_LRR, D = GROUP_DELTA, C = GROUP_CHORD,
              T = GROUP_TANGENT;

class Recalculate : public bendwise::test::ModelTest {
  protected:
    // Puts a table row's six inputs into the record and solves its pair.
    template <class Case>
    void SolveFrom(const Case& c) {
        Rec().m_radius = c.r;
        Rec().m_lengthArc = c.l;
        Rec().m_lengthRR = c.lrr;
        Rec().m_chord = c.chord;
        Rec().m_tangent = c.tangent;
        Rec().m_delta = c.delta;
        SolvePair(c.prev, c.last);
    }
};

TEST_F(Recalculate, StartCurveFromTheMemoryDefaults) {
    model.Initialize();
    EXPECT_DOUBLE_EQ(model.Record().m_degPerRad, 57.29577951308232);
    EXPECT_NEAR(model.Record().m_delta, 1.0000000000538, 1e-13);
    EXPECT_EQ(memory.m_delta, model.Record().m_delta);
    EXPECT_EQ(Text(Field::Radius), "5729.578");
    EXPECT_EQ(Text(Field::LengthArc), "100.000");
    EXPECT_EQ(Text(Field::Delta), "1 00  0.0");
    EXPECT_EQ(Text(Field::DegreeArc), "1 00  0.0");
    EXPECT_EQ(host.Checked(), (std::vector<int>{R, L}));
    EXPECT_EQ(host.Events(), Strings{"refresh"});
}

struct WorkedPair {
    int prev, last;
    double r, l, lrr, chord, tangent, delta;
    double outR, outL, outDelta;
};

TEST_F(Recalculate, WorkedPairValues) {
    const double kNone = 7;  // an output's stale value: must be overwritten
    const WorkedPair cases[] = {
        {R, L, 1000, 200, 0, 0, 0, kNone, 1000, 200, 11.459155902616466},
        {R, D, 1000, kNone, 0, 0, 0, 30, 1000, 523.5987755982987, 30},
        {D, T, kNone, kNone, 0, 0, 267.9491924311227, 30, 1000, 523.5987755982987, 30},
        {R, LRR, 5729.650674006516, kNone, 100, 0, 0, kNone, 5729.650674006516,
         3.141592653589793 * 5729.650674006516 / 180, 1},
    };
    Start(R, L, 1000, 100, 5);
    for (const auto& c : cases) {
        SolveFrom(c);
        EXPECT_DOUBLE_EQ(model.Record().m_radius, c.outR) << c.prev + c.last;
        EXPECT_DOUBLE_EQ(model.Record().m_delta, c.outDelta) << c.prev + c.last;
        EXPECT_NEAR(model.Record().m_lengthArc, c.outL, 1e-9 * c.outL) << c.prev + c.last;
        EXPECT_EQ(host.Events(), Strings{"refresh"});
    }
    EXPECT_DOUBLE_EQ(model.Record().m_degreeChord, 1);  // radius + Lrr: Dc of this radius
}

// Every solvable pair, given two elements of one curve (R 60, Delta 120, where the
// inversions are exact), finds that curve again, silently.
TEST_F(Recalculate, EverySolvablePairFindsTheCurveAgain) {
    Start(R, D, 60, 1, 120);
    const CCurveRecord curve = model.Record();
    const int pairs[][2] = {{R, L}, {R, LRR}, {L, LRR}, {R, D}, {L, D}, {LRR, D}, {R, C},
                            {L, C}, {D, C},   {R, T},   {L, T}, {D, T}, {C, T}};
    for (const auto& p : pairs) {
        const int s = p[0] + p[1];
        Rec().m_radius = (s & R) ? curve.m_radius : 7;
        Rec().m_lengthArc = (s & L) ? curve.m_lengthArc : 7;
        Rec().m_delta = (s & D) ? curve.m_delta : 7;
        Rec().m_lengthRR = curve.m_lengthRR;
        Rec().m_chord = curve.m_chord;
        Rec().m_tangent = curve.m_tangent;
        SolvePair(p[0], p[1]);
        ExpectRelative(model.Record().m_radius, 60);
        ExpectRelative(model.Record().m_lengthArc, curve.m_lengthArc);
        ExpectRelative(model.Record().m_delta, 120);
        EXPECT_EQ(host.Events(), Strings{"refresh"}) << "pair " << s;
        EXPECT_EQ(host.Checked(), (std::vector<int>{std::min(p[0], p[1]), std::max(p[0], p[1])}));
    }
}

struct FloorCase {
    int prev, last;
    double r, l, lrr, chord, tangent, delta;
    Strings events;
    double CCurveRecord::*floored;  // ends as 1e-25 (none: nullptr)
    double outR, outDelta;          // relative 1e-9 (0: not checked)
};

TEST_F(Recalculate, FloorsAndSolverMessages) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string extreme = "message: Can't deal with extreme value.";
    const std::string nearHalfL = "message: Beware of rounding when T near L/2.";
    const std::string nearHalfC = "message: Beware of rounding when T near Chord/2.";
    const double big = 180 * 100 / (3.141592653589793 * 1e-25);
    auto rad = &CCurveRecord::m_radius, len = &CCurveRecord::m_lengthArc,
         del = &CCurveRecord::m_delta;
    const FloorCase cases[] = {
        {R, L, 0, 100, 0, 0, 0, 0, {"refresh"}, rad, 1e-25, big},
        {R, L, -5, 100, 0, 0, 0, 0, {"refresh"}, rad, 1e-25, big},
        {R, L, nan, 100, 0, 0, 0, 0, {"refresh"}, rad, 1e-25, big},
        {L, D, 0, 100, 0, 0, 0, 0, {"refresh"}, del, big, 1e-25},
        {L, D, 0, 100, 0, 0, 0, -3, {"refresh"}, del, big, 1e-25},
        {R, T, 0, 0, 0, 0, 50, 0, {"refresh"}, rad, 1e-25, 180},
        {L, LRR, 0, 0, 50, 0, 0, 0, {extreme, "refresh"}, len, 0, 0},
        {L, LRR, 0, 100, 150, 0, 0, 0, {extreme, "refresh"}, nullptr, 0, 0},
        {L, C, 0, 100, 0, 150, 0, 0, {extreme, "refresh"}, del, big, 1e-25},
        {L, T, 0, 100, 0, 0, 1e13, 0, {extreme, nearHalfL, "refresh"}, del, big, 1e-25},
        {L, T, 0, 100, 0, 0, 50.2, 0, {nearHalfL, "refresh"}, nullptr, 0, 0},
        {C, T, 0, 0, 0, 100, 50, 0, {nearHalfC, "refresh"}, del, 0, 1e-25},
        {C, T, 0, 0, 0, 100, 0, 0, {nearHalfC, "refresh"}, del, 0, 1e-25},
        {C, T, 0, 0, 0, 100, 40, 0, {nearHalfC, "refresh"}, del, 0, 1e-25},
    };
    Start(R, L, 1000, 100, 5);
    for (const auto& c : cases) {
        SolveFrom(c);
        SCOPED_TRACE("pair " + std::to_string(c.prev + c.last) + ", row " +
                     std::to_string(&c - cases));
        EXPECT_EQ(host.Events(), c.events);
        const CCurveRecord& rec = model.Record();
        if (c.floored) {
            EXPECT_EQ(rec.*c.floored, 1e-25);
        }
        if (c.outR != 0) {
            ExpectRelative(rec.m_radius, c.outR);
        }
        if (c.outDelta != 0) {
            ExpectRelative(rec.m_delta, c.outDelta);
        }
        EXPECT_EQ(memory.m_radius, rec.m_radius);
        EXPECT_EQ(memory.m_delta, rec.m_delta);
        EXPECT_FALSE(model.LastSolveFailed());
        ExpectNoNonFiniteText();
    }
    // A chord longer than twice the tangent comes out almost straight: L is the chord.
    ExpectRelative(model.Record().m_lengthArc, 100);
}

TEST_F(Recalculate, FlooredMemberIsShownAndSaved) {
    Start(L, D, 1000, 100, 0);
    EXPECT_EQ(memory.m_delta, 1e-25);
    EXPECT_EQ(Text(Field::Delta), "0 00  0.0");
    EXPECT_EQ(Text(Field::Radius), "5.7295780e+028");
}

// Our rule: a pair with no real curve restores R, L and Delta from the memory.
TEST_F(Recalculate, PairWithoutRealCurveRestoresTheLastCurve) {
    struct Case {
        int prev, last;
        double r, lrr, chord, delta;
    };
    const Case cases[] = {
        {R, LRR, 40, 100, 0, 1},  // radius below 50: no degree (chord)
        {R, C, 100, 0, 300, 1},   // chord over twice the radius
        {D, C, 1, 0, 100, 0},     // zero sine
        {LRR, D, 1, 100, 0, 0},   // zero sine
    };
    for (const auto& c : cases) {
        Start(R, L, 1000, 200, 5);
        const CCurveRecord before = model.Record();
        Rec().m_radius = c.r;
        Rec().m_lengthRR = c.lrr;
        Rec().m_chord = c.chord;
        Rec().m_delta = c.delta;
        SolvePair(c.prev, c.last);
        const int s = c.prev + c.last;
        EXPECT_EQ(host.Events(),
                  (Strings{"sound: exclamation", std::string("message: ") + kNoSolutionMessage,
                           "refresh"}))
            << s;
        EXPECT_TRUE(model.LastSolveFailed()) << s;
        EXPECT_EQ(model.Record().m_radius, before.m_radius) << s;
        EXPECT_EQ(model.Record().m_lengthArc, before.m_lengthArc) << s;
        EXPECT_EQ(model.Record().m_delta, before.m_delta) << s;
        EXPECT_EQ(memory.m_lastGroup, c.last);
        EXPECT_EQ(memory.m_prevGroup, c.prev);
        ExpectNoNonFiniteText();
    }
}

TEST_F(Recalculate, MessageOnlyPairsKeepTheCurveAndRepeat) {
    struct Case {
        int other;
        const char* message;
    };
    const Case cases[] = {{C, "message: Lrr & Chord inaccurate, possibly not unique."},
                          {T, "message: Lrr & Tangent numerically inaccurate."}};
    for (const auto& c : cases) {
        Start(R, L, 1000, 200, 5);
        const CCurveRecord before = model.Record();
        Rec().m_chord = 999;
        Rec().m_tangent = 999;
        Rec().m_lengthRR = 999;
        SolvePair(LRR, c.other);
        EXPECT_EQ(host.Events(), (Strings{c.message, "refresh"}));
        EXPECT_EQ(host.Checked(), (std::vector<int>{LRR, c.other}));
        EXPECT_EQ(model.Record().m_radius, before.m_radius);
        EXPECT_EQ(model.Record().m_delta, before.m_delta);
        EXPECT_EQ(Text(Field::Chord), before.Text(Field::Chord));
        EXPECT_EQ(Text(Field::Tangent), before.Text(Field::Tangent));
        EXPECT_EQ(Text(Field::LengthRR), before.Text(Field::LengthRR));
        host.Clear();
        model.Recalculate(0);
        EXPECT_EQ(host.Events(), (Strings{c.message, "refresh"}));
    }
}

TEST_F(Recalculate, PairUpdateAndIndicators) {
    Start(L, R, 1000, 200, 5);
    struct Step {
        int group;
        int prev, last;
    };
    const Step steps[] = {{0, L, R}, {R, L, R}, {C, R, C}, {R, C, R}, {0, C, R}, {D, R, D}};
    for (const auto& s : steps) {
        host.Clear();
        if (s.group == C) Rec().m_chord = 100;
        model.Recalculate(s.group);
        EXPECT_EQ(memory.m_prevGroup, s.prev) << s.group;
        EXPECT_EQ(memory.m_lastGroup, s.last) << s.group;
        EXPECT_EQ(host.Checked(),
                  (std::vector<int>{std::min(s.prev, s.last), std::max(s.prev, s.last)}));
    }
    // The indicators show the new pair while the solver's message is open.
    Rec().m_lengthRR = 100;
    model.Recalculate(LRR);
    host.Clear();
    Rec().m_chord = 100;
    model.Recalculate(C);
    ASSERT_EQ(host.checkedAtMessage.size(), 1u);
    EXPECT_EQ(host.checkedAtMessage[0], (std::vector<int>{LRR, C}));
}

TEST_F(Recalculate, DerivedElementsOfTheWorkedCurve) {
    Start(R, D, 1000, 1, 30, 10);
    const CCurveRecord& rec = model.Record();
    EXPECT_DOUBLE_EQ(rec.m_degreeArc, 5.729577951308233);
    EXPECT_DOUBLE_EQ(rec.m_degreeChord, 5.7319679651977244);
    EXPECT_DOUBLE_EQ(rec.m_lengthRR, 523.3804547085452);
    EXPECT_DOUBLE_EQ(rec.m_chord, 517.6380902050415);
    EXPECT_DOUBLE_EQ(rec.m_tangent, 267.9491924311227);
    EXPECT_DOUBLE_EQ(rec.m_external, 35.27618041008304);
    EXPECT_DOUBLE_EQ(rec.m_midOrdinate, 34.07417371093169);
    EXPECT_DOUBLE_EQ(rec.m_chordAz, 25);
    EXPECT_DOUBLE_EQ(rec.m_outboundAz, 40);
    EXPECT_DOUBLE_EQ(rec.m_deltaX, 218.76330989323003);
    EXPECT_DOUBLE_EQ(rec.m_deltaY, 469.13943201960893);
    EXPECT_DOUBLE_EQ(rec.m_circleArea, 3141592.653589793);
    EXPECT_DOUBLE_EQ(rec.m_sectorArea, 261799.3877991494);
    EXPECT_DOUBLE_EQ(rec.m_segmentArea, 11799.387799149408);
    EXPECT_DOUBLE_EQ(rec.m_filletArea, 6149.804631973325);
    const std::pair<Field, const char*> texts[] = {
        {Field::Radius, "1000.000"},
        {Field::DegreeArc, "5 43 46.5"},
        {Field::DegreeChord, "5 43 55.1"},
        {Field::LengthArc, "523.599"},
        {Field::LengthRR, "523.380"},
        {Field::Chord, "517.638"},
        {Field::Tangent, "267.949"},
        {Field::Delta, "30 00  0.0"},
        {Field::HalfDelta, "15 00  0.0"},
        {Field::InboundAz, "10 00  0.0"},
        {Field::ChordAz, "25 00  0.0"},
        {Field::OutboundAz, "40 00  0.0"},
        {Field::External, "35.276"},
        {Field::MidOrdinate, "34.074"},
        {Field::DeltaX, "218.763"},
        {Field::DeltaY, "469.139"},
        {Field::CircleArea, "3.1415927e+006"},
        {Field::SectorArea, "2.6179939e+005"},
        {Field::SegmentArea, "11799.388"},
        {Field::FilletArea, "6149.805"},
    };
    for (const auto& [field, text] : texts) EXPECT_EQ(Text(field), text) << InfoOf(field).name;
    EXPECT_EQ(memory.m_radius, 1000);
    EXPECT_EQ(memory.m_lengthArc, rec.m_lengthArc);
    EXPECT_EQ(memory.m_delta, 30);
    EXPECT_EQ(memory.m_inboundAz, 10);

    memory.m_acres = 1;
    model.Recalculate(0);
    EXPECT_EQ(Text(Field::CircleArea), "72.121");
    EXPECT_EQ(Text(Field::SectorArea), "6.010");
    EXPECT_EQ(Text(Field::SegmentArea), "0.271");
    EXPECT_EQ(Text(Field::FilletArea), "0.141");
    EXPECT_DOUBLE_EQ(rec.m_circleArea, 3141592.653589793);
    EXPECT_DOUBLE_EQ(rec.m_segmentArea, 11799.387799149408);

    memory.m_acres = 0;
    Rec().m_left = 1;
    Rec().m_forceReread = 1;
    model.Recalculate(0);
    EXPECT_DOUBLE_EQ(rec.m_chordAz, -5);
    EXPECT_DOUBLE_EQ(rec.m_outboundAz, -20);
    EXPECT_EQ(Text(Field::ChordAz), "355 00  0.0");
    EXPECT_EQ(Text(Field::OutboundAz), "340 00  0.0");
    EXPECT_LT(rec.m_deltaX, 0);
    EXPECT_EQ(memory.m_left, 1);
    EXPECT_EQ(rec.m_forceReread, 0);
}

struct LimitCase {
    double r, delta;
    Field field;
    const char* text;
};

TEST_F(Recalculate, LimitsOfTheDerivedTexts) {
    const double r360 = 15.915494309189533;  // 18000 / (pi x 360): degree (arc) exactly 360
    const LimitCase cases[] = {
        {50, 30, Field::DegreeChord, "180 00  0.0"},
        {50, 30, Field::LengthRR, "16.667"},
        {49.999, 30, Field::DegreeChord, "undefined"},
        {49.999, 30, Field::LengthRR, "undefined"},
        {r360, 30, Field::DegreeArc, "0 00  0.0"},
        {std::nextafter(r360, 0), 30, Field::DegreeArc, "out of range"},
        {1000, 180, Field::Tangent, "Out of range"},
        {1000, 180, Field::SegmentArea, ""},
        {1000, 180, Field::FilletArea, ""},
        {1000, 179.9, Field::FilletArea, "1.1443454e+009"},
        {100000, 30, Field::Radius, "1.0000000e+005"},
        {1e6, 30, Field::LengthArc, "523598.776"},
        {1e6, 30, Field::Chord, "517638.090"},
        {1e6, 30, Field::DeltaX, "1.3397460e+005"},
        {1e200, 30, Field::CircleArea, "Out of range"},
        {1e200, 30, Field::SectorArea, "Out of range"},
    };
    for (const auto& c : cases) {
        Start(R, D, c.r, 1, c.delta);
        EXPECT_EQ(Text(c.field), c.text) << c.r << " " << c.delta << " " << InfoOf(c.field).name;
        ExpectNoNonFiniteText();
    }
    // At 180 degrees or more the segment and fillet keep their previous values.
    Start(R, D, 1000, 1, 30);
    const double segment = model.Record().m_segmentArea;
    Rec().m_delta = 200;
    model.Recalculate(0);
    EXPECT_EQ(model.Record().m_segmentArea, segment);
    EXPECT_EQ(Text(Field::SegmentArea), "");
}

}  // namespace

// One curve per solvable pair, typed into the window (inbound azimuth 45, packed off), with
// the exact doubles of every value it shows. The values were computed independently of the
// engine by tests/solver/pinned_doubles.py, each formula in its own order; texts show three
// decimals and would not notice a reordered formula, these exact doubles do.
TEST_F(Recalculate, ExactDoublesOfOneCurvePerPair) {
    const struct {
        const char* entries;  // FIELD=TEXT separated by blanks, typed after inbound-az=45
        bool left;
        std::vector<double> values;  // every field that shows a record value, in table order
    } cases[] = {
        {"radius=1000 larc=200",
         false,
         {1000.0, 5.729577951308233, 5.7319679651977244, 200.0, 199.91660756291722,
          199.6668332936563, 100.33467208545055, 11.459155902616466, 45.0, 50.72957795130823,
          56.459155902616466, 5.020918400455429, 4.995834721974179, 154.57548899969342,
          126.38537303826895, 3141592.653589793, 100000.0, 665.3346024693892, 334.67208545054916}},
        {"radius=1000 lrr=250",
         false,
         {1000.0, 5.729577951308233, 5.7319679651977244, 250.1042840288501, 250.00000000000006,
          249.45293680159847, 125.7081022180204, 14.329919912994313, 45.0, 52.16495995649716,
          59.32991991299431, 7.870292727817364, 7.808834911202989, 197.01294857612646,
          153.01197917902647, 3141592.653589793, 125052.14201442506, 1299.6420144250442,
          655.960203595356}},
        {"larc=523.6 lrr=523.38",
         false,
         {996.1804114388387, 5.751546492499973, 5.753964124485051, 523.6, 523.38, 517.5936337883343,
          267.9984422476091, 30.115097434729858, 45.0, 60.05754871736493, 75.11509743472986,
          35.41959688880716, 34.203478399433195, 448.50894884717, 258.3464583504463,
          3117639.304364744, 260800.031714688, 11843.463518476463, 6174.766748503093}},
        {"radius=1000 delta=30",
         false,
         {1000.0, 5.729577951308233, 5.7319679651977244, 523.5987755982987, 523.3804547085452,
          517.6380902050415, 267.9491924311227, 30.0, 45.0, 60.0, 75.0, 35.27618041008304,
          34.07417371093169, 448.28773608402673, 258.8190451025208, 3141592.653589793,
          261799.3877991494, 11799.387799149408, 6149.804631973325}},
        {"larc=600 delta=30",
         false,
         {1145.9155902616465, 5.0, 5.001587909858241, 600.0, 599.8095113127839, 593.1695576792215,
          307.04715700484144, 30.0, 45.0, 60.0, 75.0, 40.42352509679664, 39.04612688064016,
          513.6999057017846, 296.5847788396108, 4125296.1249419274, 343774.6770784939,
          15494.04207731958, 8075.4470788693725}},
        {"lrr=500 delta=25",
         false,
         {1146.2792813026676, 4.998413601960039, 4.999999999999999, 500.1586901531456,
          500.0000000000001, 496.2004902207908, 254.1239985629865, 25.0, 45.0, 57.5, 70.0,
          27.831104218813476, 27.171395922566337, 418.49124886037544, 266.6083290571329,
          4127915.115979426, 286660.7719430157, 9009.831275236269, 4636.302491524618}},
        {"radius=1000 chord=500",
         false,
         {1000.0, 5.729577951308233, 5.7319679651977244, 505.3605102841573, 505.1497940613673,
          500.0, 258.1988897471611, 28.95502437185985, 45.0, 59.477512185929925, 73.95502437185985,
          32.7955589886445, 31.754163448145746, 430.71494608904726, 253.93825079241046,
          3141592.653589793, 252680.25514207862, 10618.79600411505, 5518.634605082469}},
        {"larc=600 chord=580",
         false,
         {667.4399646520513, 8.584409467142361, 8.592459058170796, 600.0, 599.4379077532562,
          579.9999999999999, 321.9811804782596, 51.50645680285416, 45.0, 70.75322840142708,
          96.50645680285416, 73.60523437220867, 66.29430309012042, 547.5824055178809,
          191.18972034931915, 1399504.4632623056, 200231.98939561538, 25899.747542655474,
          14671.11832141995}},
        {"delta=40 chord=400",
         false,
         {584.7608800326175, 9.798155360510165, 9.810134046207635, 408.24010773714963,
          407.74162525804684, 400.0, 212.83555449518244, 40.0, 45.0, 65.0, 85.0, 37.52865071154748,
          35.26539614169297, 362.52311481465995, 169.04730469627978, 1074252.8009924379,
          119361.4223324931, 9462.325554308176, 5096.483816339902}},
        {"radius=1000 tangent=300",
         false,
         {1000.0, 5.729577951308233, 5.7319679651977244, 582.9135889557341, 582.6705360317756,
          574.6957711326908, 299.99999999999994, 33.39848846798724, 45.0, 61.699244233993625,
          78.39848846798725, 44.030650891055004, 42.17371477884857, 506.00301772982294,
          272.4631633929815, 3141592.653589793, 291456.794477867, 16227.436679701903,
          8543.205522132894}},
        {"larc=600 tangent=320",
         false,
         {697.1599583573428, 8.21845529512099, 8.225517190020465, 600.0, 599.4848789636198,
          581.6533922549164, 320.0, 49.31073177072594, 45.0, 69.65536588536297, 94.31073177072594,
          69.9332612299587, 63.55768535289801, 545.3689130717205, 202.22120901780247,
          1526914.5842871475, 209147.98750720284, 24879.531790472363, 13943.199167146857}},
        {"delta=50 tangent=250",
         false,
         {536.1267301273897, 10.686984306764225, 10.702537312232685, 467.8588324337014,
          467.1789365578896, 453.153893518325, 250.0, 50.0, 45.0, 70.0, 95.0, 55.42366566073497,
          50.2308997744399, 425.82536981957327, 154.9877596097224, 902993.8535780351,
          125415.81299694932, 15323.019312569959, 8615.869534898084}},
        {"chord=400 tangent=250",
         true,
         {333.3333333333334, 17.188733853924692, 17.253853117357274, 429.0007391955229,
          427.3816102995929, 400.0, 250.0, 73.73979529168803, 45.0, 8.130102354155987,
          -28.739795291688026, 83.33333333333331, 66.66666666666667, 56.568542494923854,
          395.97979746446657, 349065.85039886605, 71500.12319925382, 18166.789865920473,
          11833.21013407952}},
    };
    for (const auto& c : cases) {
        memory = CCurveMemory();
        model.Initialize();
        model.OnPackedDms(false);
        if (c.left) model.OnLeft(true);
        host.Clear();
        std::vector<std::pair<std::string, std::string>> typed = {{"inbound-az", "45"}};
        std::istringstream words(c.entries);
        for (std::string word; words >> word;) {
            typed.emplace_back(word.substr(0, word.find('=')), word.substr(word.find('=') + 1));
        }
        for (const auto& [name, text] : typed) {
            Field field{};
            ASSERT_TRUE(FieldByName(name, field)) << name;
            model.OnEnterKey();
            ASSERT_EQ(model.OnKillfocus(field, text), EntryResult::Accepted) << c.entries;
        }
        EXPECT_EQ(host.Events(), Strings(typed.size(), "refresh")) << c.entries;  // no message
        std::size_t k = 0;
        for (const FieldInfo& info : Fields()) {
            if (info.scale != 1) continue;  // Delta/2 shows half of Delta
            ASSERT_LT(k, c.values.size());
            EXPECT_EQ(model.Record().*info.member, c.values[k++]) << c.entries << ": " << info.name;
        }
        EXPECT_EQ(k, c.values.size());
    }
}

namespace {

// Actions that bring no new value re-solve the pair; they must not move the curve. Random
// curves of every solvable pair, typed in, then 50 such actions each: a new inbound
// azimuth, Left, SqFt-->Acres, the packed box, a refused entry, Enter in the unchanged
// field of the last group or of Inbound Az, leaving a field untouched. R, L and Delta stay
// the same doubles after every action, and with the azimuth and boxes put back every value
// of the record is as it was.
TEST_F(Recalculate, NoNewValueNeverMovesTheCurve) {
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> unit(0, 1);
    auto pick = [&](int n) { return static_cast<int>(unit(random) * n) % n; };
    const char* const garbage[] = {"abc", "12,5", "1 000x", "30x", ""};  // refused by every field
    const Field anyField[] = {
        Field::Radius, Field::DegreeArc, Field::DegreeChord, Field::LengthArc, Field::LengthRR,
        Field::Chord,  Field::Tangent,   Field::Delta,       Field::HalfDelta, Field::InboundAz};
    int curves = 0;
    for (const PairInfo& pair : Pairs()) {
        if (pair.poorlyDetermined) continue;
        const Field first = FindGroup(pair.sum & -pair.sum)->field;
        const Field second = FindGroup(pair.sum - (pair.sum & -pair.sum))->field;
        for (int n = 0; n < 2000; ++n) {
            memory = CCurveMemory();
            model.Initialize();
            model.OnPackedDms(false);
            host.Clear();
            // A random curve (Delta first, so that no radius is refused for the start
            // curve's arc length), then its two values typed as the fields show them.
            char text[32];
            model.OnEnterKey();
            model.OnKillfocus(Field::Delta, "20");
            std::snprintf(text, sizeof text, "%.6g", std::pow(10.0, 1 + 3 * unit(random)));
            model.OnEnterKey();
            model.OnKillfocus(Field::Radius, text);
            std::snprintf(text, sizeof text, "%.6g", 1 + 150 * unit(random));
            model.OnEnterKey();
            model.OnKillfocus(Field::Delta, text);
            const std::string a = Text(first), b = Text(second);
            model.OnEnterKey();
            model.OnKillfocus(first, a);
            model.OnEnterKey();
            model.OnKillfocus(second, b);
            if (memory.m_lastGroup + memory.m_prevGroup != pair.sum) continue;  // refused
            ++curves;
            const CCurveRecord start = model.Record();
            const std::string startAz = Text(Field::InboundAz);
            const int last = memory.m_lastGroup;
            for (int k = 0; k < 50; ++k) {
                host.Clear();
                const int action = pick(7);
                SCOPED_TRACE(action);
                switch (action) {
                    case 0:
                        std::snprintf(text, sizeof text, "%.4f", 360 * unit(random));
                        model.OnKillfocus(Field::InboundAz, text);
                        break;
                    case 1:
                        model.OnLeft(model.Record().m_left == 0);
                        break;
                    case 2:
                        model.OnAcres(memory.m_acres == 0);
                        break;
                    case 3:
                        model.OnPackedDms(model.Record().m_packedDms == 0);
                        break;
                    case 4:
                        model.OnEnterKey();
                        model.OnKillfocus(anyField[pick(10)], garbage[pick(5)]);
                        break;
                    case 5: {
                        const Field field = pick(2) ? FindGroup(last)->field : Field::InboundAz;
                        model.OnEnterKey();
                        model.OnKillfocus(field, Text(field));
                        break;
                    }
                    default: {
                        const Field field = anyField[pick(10)];
                        model.OnKillfocus(field, Text(field));
                        break;
                    }
                }
                ASSERT_EQ(memory.m_lastGroup + memory.m_prevGroup, pair.sum)
                    << pair.name << " action " << k << " " << a << " " << b;
                const CCurveRecord& now = model.Record();
                ASSERT_TRUE(std::memcmp(&now.m_radius, &start.m_radius, sizeof(double)) == 0 &&
                            std::memcmp(&now.m_lengthArc, &start.m_lengthArc, 8) == 0 &&
                            std::memcmp(&now.m_delta, &start.m_delta, 8) == 0)
                    << pair.name << " " << a << " " << b << " action " << k;
            }
            model.OnLeft(false);
            model.OnAcres(false);
            model.OnKillfocus(Field::InboundAz, startAz);
            model.OnEnterKey();
            model.OnKillfocus(Field::InboundAz, Text(Field::InboundAz));
            for (const FieldInfo& info : Fields()) {
                const double before = start.*info.member, after = model.Record().*info.member;
                if (info.field == Field::InboundAz) continue;  // retyped from its text
                EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0)
                    << pair.name << " " << info.name;
            }
        }
    }
    EXPECT_GT(curves, 13 * 1500);
}

}  // namespace

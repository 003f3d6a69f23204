// The length illustration's geometry: the curve with its chord level, the railroad's run of
// 100-unit chords on the arc, and the four lengths as bars with their display texts.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/LengthFigure.h"
#include "survey/LengthSvg.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

double Distance(FigurePoint a, FigurePoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

std::string Trimmed(const SolvedCurve& curve, Field field) {
    std::string text = curve.Text(field);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

// On every curve: PC and PT a chord apart on the level line, every arc point on the circle,
// each full railroad chord 100 long, the PI a tangent from the PC, and the bars carrying
// the record's lengths and display texts.
TEST(LengthFigure, GeometryAndBarsFollowTheRecord) {
    const struct {
        const char* radius;
        const char* delta;
        bool railroad;  // Lrr defined
        bool pi;        // the tangents meet ahead of the curve
    } cases[] = {
        {"300", "60", true, true},      {"5729.578", "1", true, true},
        {"1000", "200", true, false},   {"40", "30", false, true},
        {"1000", "359", true, false},   {"1e13", "0.0001", true, true},
        {"50", "179.9999", true, true},
    };
    for (const auto& c : cases) {
        const SolvedCurve curve({{Field::Radius, c.radius}, {Field::Delta, c.delta}});
        const CCurveRecord& r = curve.Record();
        const LengthFigure f = BuildLengthFigure(r);
        const std::string name = std::string(c.radius) + " " + c.delta;
        ASSERT_TRUE(f.drawable) << name;
        const double tolerance = 1e-9 * r.m_radius;

        EXPECT_NEAR(f.pc.x, -r.m_chord / 2, tolerance) << name;
        EXPECT_NEAR(f.pt.x, r.m_chord / 2, tolerance) << name;
        EXPECT_NEAR(f.pc.y, 0, tolerance) << name;
        EXPECT_NEAR(f.pt.y, 0, tolerance) << name;
        for (FigurePoint p : f.arc)
            EXPECT_NEAR(Distance(p, f.centre), r.m_radius, tolerance) << name;

        const LengthBar& railroad = f.bars[kBarRailroad];
        EXPECT_EQ(railroad.defined, c.railroad) << name;
        EXPECT_EQ(railroad.value, Trimmed(curve, Field::LengthRR)) << name;
        if (c.railroad) {
            EXPECT_EQ(railroad.length, r.m_lengthRR) << name;
            EXPECT_LE(railroad.marks.size(), static_cast<std::size_t>(kMaxChordMarks)) << name;
            EXPECT_NE(railroad.explanation.find(Trimmed(curve, Field::DegreeChord)),
                      std::string::npos)
                << name;
            if (f.chordsPerMark == 1) {
                ASSERT_EQ(f.chordEnds.size(), f.wholeChords + 1) << name;
                for (std::size_t i = 1; i < f.chordEnds.size(); ++i) {
                    EXPECT_NEAR(Distance(f.chordEnds[i - 1], f.chordEnds[i]), 100, 1e-6) << name;
                }
            }
            // The run never outgrows the arc: Lrr counts 100 per chord of a longer arc.
            EXPECT_LE(r.m_lengthRR, r.m_lengthArc) << name;
        } else {
            EXPECT_NE(railroad.explanation.find("radius below 50"), std::string::npos) << name;
        }

        const LengthBar& tangents = f.bars[kBarTangents];
        EXPECT_EQ(f.finitePi, c.pi) << name;
        EXPECT_EQ(tangents.defined, c.pi) << name;
        if (c.pi) {
            EXPECT_NEAR(Distance(f.pc, f.pi), r.m_tangent, 1e-9 * r.m_tangent) << name;
            EXPECT_EQ(tangents.value,
                      Trimmed(curve, Field::Tangent) + " + " + Trimmed(curve, Field::Tangent));
            EXPECT_EQ(tangents.length, 2 * r.m_tangent) << name;
        }
        EXPECT_EQ(f.bars[kBarArc].value, Trimmed(curve, Field::LengthArc)) << name;
        EXPECT_EQ(f.bars[kBarArc].length, r.m_lengthArc) << name;
        EXPECT_EQ(f.bars[kBarChord].value, Trimmed(curve, Field::Chord)) << name;
        EXPECT_EQ(f.bars[kBarChord].length, r.m_chord) << name;
    }
}

TEST(LengthFigure, ChordRunInWords) {
    const struct {
        const char* radius;
        const char* delta;
        const char* words;
    } cases[] = {
        {"300", "60",
         "3 chords of 100 + 12.693; each chord of 100 turns the curve through Dc 19 11 17.3"},
        {"5729.578", "1",
         "99.999 of one chord of 100; a whole chord of 100 would turn the curve through Dc 1 00  "
         "0.0"},
        // Delta 18 with Dc 2 00 00: exactly nine chords, no part chord.
        {"2864.934", "18",
         "9 chords of 100; each chord of 100 turns the curve through Dc 2 00  0.0"},
    };
    for (const auto& c : cases) {
        const SolvedCurve curve({{Field::Radius, c.radius}, {Field::Delta, c.delta}});
        EXPECT_EQ(BuildLengthFigure(curve.Record()).bars[kBarRailroad].explanation, c.words)
            << c.radius;
    }
}

TEST(LengthFigure, ManyChordsAreMarkedEveryKth) {
    // A whole circle of radius 13000: Lrr 81681.208, 816 chords of 100, a mark every 20.
    const SolvedCurve curve({{Field::Radius, "13000"}, {Field::Delta, "360"}});
    ASSERT_EQ(curve.Text(Field::LengthRR), "81681.208");
    const LengthFigure f = BuildLengthFigure(curve.Record());
    EXPECT_EQ(f.wholeChords, 816);
    EXPECT_EQ(f.chordsPerMark, 20);
    EXPECT_EQ(f.bars[kBarRailroad].marks.size(), 40u);
    EXPECT_EQ(f.bars[kBarRailroad].marks.front(), 2000);
    EXPECT_EQ(f.bars[kBarRailroad].marks.back(), 80000);
    // On the arc once round: the chord ends 20 x Dc apart up to 360 degrees.
    EXPECT_EQ(f.chordEnds.size(), 41u);
    EXPECT_NE(f.bars[kBarRailroad].explanation.find("(a mark every 20 chords)"), std::string::npos);
}

// The figure as SVG (the web page's length illustration): well-formed for every shape,
// carrying the heading and every bar's name, value and explanation, with every text and
// point on the canvas; lines towards a PI off the figure are clipped to it.
TEST(LengthSvg, EveryShapeIsWellFormedAndSaysWhatTheFigureSays) {
    const struct {
        const char* radius;
        const char* delta;
        bool left;
    } cases[] = {
        {"300", "60", false},     {"1000", "200", true},     {"40", "30", false},
        {"1e13", "0.0001", true}, {"50", "179.9999", false}, {"13000", "360", false},
        {"0.000001", "90", true},
    };
    for (const auto& c : cases) {
        // Delta first: a tiny radius with the start curve's arc length would be no curve.
        const SolvedCurve curve({{Field::Delta, c.delta}, {Field::Radius, c.radius}}, c.left);
        const std::string name = std::string(c.radius) + " " + c.delta;
        const std::string svg = BuildLengthSvg(curve.Record());
        EXPECT_EQ(test::CheckXml(svg), "") << name;
        EXPECT_EQ(svg.find("nan"), std::string::npos) << name;
        EXPECT_EQ(svg.find("inf"), std::string::npos) << name;
        const LengthFigure f = BuildLengthFigure(curve.Record());
        std::vector<std::string> said = {kLengthFigureTitle, f.heading};
        for (const LengthBar& bar : f.bars) {
            said.push_back(bar.name);
            said.push_back(bar.value);
            // The explanation may be wrapped: its first word and its last.
            said.push_back(bar.explanation.substr(0, bar.explanation.find(' ')));
            said.push_back(bar.explanation.substr(bar.explanation.rfind(' ') + 1));
        }
        for (const std::string& note : f.notes) said.push_back(note);
        for (const std::string& text : said) {
            EXPECT_NE(svg.find(text), std::string::npos) << name << ": " << text;
        }
        // Every text and point lies on the canvas.
        for (const char* attribute : {"<text x=\"", "<circle cx=\""}) {
            for (std::size_t at = svg.find(attribute); at != std::string::npos;
                 at = svg.find(attribute, at + 1)) {
                const double x = std::atof(svg.c_str() + at + std::strlen(attribute));
                const std::size_t y = svg.find("y=\"", at);
                const double yValue = std::atof(svg.c_str() + y + 3);
                EXPECT_TRUE(x >= 0 && x <= kLengthSvgWidth && yValue >= 0 &&
                            yValue <= kLengthSvgHeight)
                    << name << ": " << svg.substr(at, 60);
            }
        }
        EXPECT_EQ(svg.find("clip-path") != std::string::npos, f.drawable) << name;
    }
}

}  // namespace
}  // namespace bendwise

#include "survey/CurveDiagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

#include "math/Trig.h"
#include "survey/DiagramFrame.h"
#include "survey/SvgWriter.h"
#include "text/CharConv.h"

namespace bendwise {
namespace {

using namespace svg;

constexpr double kTangentStub = 70;  // tangent stubs when there is no finite PI
constexpr double kPiStub = 170;      // tangents pointing at a PI off the drawing

// Colours of the elements only this drawing has (the rest are in survey/DiagramFrame.h).
constexpr const char* kChordColour = "#555555";
constexpr const char* kOrdinateColour = "#8e44ad";

// The curve in ground coordinates (x east, y north, length units) with the PC at the
// origin.
struct Geometry {
    double k = 0;     // degrees per radian
    double side = 1;  // +1 turning right (clockwise), -1 left
    double inbound = 0;
    double delta = 0;
    double radius = 0;
    Vec pc, pt, pi, centre, arcMid, chordMid;
    bool finitePi = false;
    bool fullCircle = false;
    std::vector<Vec> arc;

    // Unit vector of an azimuth in degrees: north is +y, east +x.
    Vec Direction(double azimuth) const { return {math::Sin(azimuth / k), math::Cos(azimuth / k)}; }
    // The point of the arc whose central angle from the PC is `theta` degrees: at the end
    // of a chord of 2 R sin(theta / 2) whose azimuth has turned by theta / 2 from the
    // inbound tangent. No subtraction of large coordinates, so a huge radius loses nothing.
    Vec OnArc(double theta) const {
        return ((2 * radius) * math::Sin(theta / (2 * k))) *
               Direction(inbound + side * (theta / 2));
    }
};

bool MakeGeometry(const CCurveRecord& r, Geometry& g) {
    g.k = r.m_degPerRad;
    g.side = r.m_left ? -1.0 : 1.0;
    g.inbound = r.m_inboundAz;
    g.delta = r.m_delta;
    g.radius = r.m_radius;
    if (!(g.k > 0) || !std::isfinite(g.inbound) || !std::isfinite(g.delta) || !(g.delta > 0) ||
        !std::isfinite(g.radius) || !(g.radius > 0)) {
        return false;
    }
    g.fullCircle = g.delta >= 360;
    const double drawn = std::min(g.delta, 360.0);
    g.pt = g.OnArc(g.delta);
    g.arcMid = g.OnArc(g.delta / 2);
    g.chordMid = Mid(g.pc, g.pt);
    g.centre = g.radius * g.Direction(g.inbound + g.side * 90);
    // The tangents meet ahead of the curve only below 180 degrees; the record's tangent
    // is then positive (it is negative from 180 to 360 and out of range near 180).
    g.finitePi = g.delta < 180 && std::isfinite(r.m_tangent) && r.m_tangent >= 0;
    if (g.finitePi) g.pi = r.m_tangent * g.Direction(g.inbound);
    // One point a degree, at least 16 pieces, at most a whole circle's 360.
    const int pieces = std::clamp(static_cast<int>(std::ceil(drawn)), 16, 360);
    for (int i = 0; i <= pieces; ++i) g.arc.push_back(g.OnArc(drawn * i / pieces));
    return Finite(g.pt) && Finite(g.arcMid) && Finite(g.centre);
}

// Unit normal of segment a-b (screen) on the side away from `away`.
Vec NormalAwayFrom(Vec a, Vec b, Vec away) {
    const Vec d = Unit(b - a, {1, 0});
    Vec n{-d.y, d.x};
    const Vec m = Mid(a, b);
    if ((away.x - m.x) * n.x + (away.y - m.y) * n.y > 0) n = -1.0 * n;
    return n;
}

// Spots for a segment's label: at `t` of the way from a to b on the side away from `away`,
// then nearer the middle and the ends, then the other side; none when the segment is too
// short to carry a label.
std::vector<LabelSpot> SegmentSpots(Vec a, Vec b, double t, Vec away) {
    std::vector<LabelSpot> spots;
    if (Norm(b - a) < kMinLabelled) return spots;
    const Vec n = NormalAwayFrom(a, b, away);
    for (Vec dir : {n, -1.0 * n}) {
        for (double along : {t, 0.5, 0.3, 0.7, 0.15, 0.85})
            spots.push_back({a + along * (b - a), dir});
    }
    return spots;
}

void DrawKey(SvgOut& svg, const CCurveRecord& r, const std::vector<std::string>& notes) {
    struct KeyRow {
        const char* tag;
        const char* caption;
        Field field;
        const char* colour;
    };
    static const KeyRow kRows[] = {
        {"R", "Radius", Field::Radius, kRadiusColour},
        {"L", "L arc", Field::LengthArc, kArcColour},
        {"C", "Chord", Field::Chord, kChordColour},
        {"T", "Tangent", Field::Tangent, kTangentColour},
        {"E", "External", Field::External, kExternalColour},
        {"M", "Mid-Ordinate", Field::MidOrdinate, kOrdinateColour},
        {"\u0394", "Delta angle", Field::Delta, nullptr},
        {"", "Inbound Az", Field::InboundAz, nullptr},
        {"", "Chord Az", Field::ChordAz, nullptr},
        {"", "Outbound Az", Field::OutboundAz, nullptr},
    };
    double y = kKeyTop;
    for (const KeyRow& row : kRows) {
        if (row.colour) svg.Line({kKeyLeft, y - 4}, {kKeyLeft + 18, y - 4}, row.colour, 3);
        svg.Text({kKeyLeft + 26, y}, row.tag, "start", 13, "#000000", true);
        svg.Text({kKeyLeft + 42, y}, row.caption, "start", 13);
        svg.Text({kKeyLeft + 140, y}, r.Text(row.field), "start", 13, "#000000", false, true);
        y += row.field == Field::Delta ? 30 : 22;
    }
    y += 12;
    for (const std::string& note : notes) {
        for (const std::string& line : Wrap(note, 38)) {
            svg.Text({kKeyLeft, y}, line, "start", 12, "#b03000");
            y += 16;
        }
        y += 6;
    }
}

}  // namespace

std::string BuildCurveSvg(const CCurveRecord& record) {
    SvgOut svg;
    std::vector<std::string> notes;
    Geometry g;
    const bool drawable = MakeGeometry(record, g);

    // Fit the arc and chord, then the PI and the centre while they do not shrink it too much.
    Box box;
    bool piShown = false;
    bool centreShown = false;
    if (drawable) {
        for (Vec p : g.arc) box.Add(p);
        box.Add(g.pt);
        const double base = box.Extent();
        auto fits = [&](Vec p) {
            Box grown = box;
            grown.Add(p);
            return base > 0 && grown.Extent() <= kFitGrowth * base;
        };
        if (g.finitePi && fits(g.pi)) {
            box.Add(g.pi);
            piShown = true;
        }
        if (fits(g.centre)) {
            box.Add(g.centre);
            centreShown = true;
        }
    }
    const View view = Fit(box);

    if (!drawable) {
        notes.push_back(
            "This curve cannot be drawn: its radius or central angle is not a "
            "positive finite number.");
    } else {
        const Vec pc = view.Screen(g.pc);
        const Vec pt = view.Screen(g.pt);
        const Vec arcMid = view.Screen(g.arcMid);
        const Vec chordMid = view.Screen(g.chordMid);
        const Vec inDir = View::ScreenDirection(g.Direction(g.inbound));
        const Vec outDir = View::ScreenDirection(g.Direction(g.inbound + g.side * g.delta));
        const Vec toCentreFromPc = View::ScreenDirection(g.Direction(g.inbound + g.side * 90));
        const Vec toCentreFromPt =
            View::ScreenDirection(g.Direction(g.inbound + g.side * (g.delta + 90)));
        const Vec centre = centreShown ? view.Screen(g.centre) : pc + kCentreStub * toCentreFromPc;

        // Radii first, so that the curve is drawn over them.
        if (centreShown) {
            svg.Line(centre, pc, kRadiusColour, 1.5, "6 4");
            svg.Line(centre, pt, kRadiusColour, 1.5, "6 4");
        } else {
            svg.Line(pc, pc + kCentreStub * toCentreFromPc, kRadiusColour, 1.5, "6 4");
            svg.Line(pt, pt + kCentreStub * toCentreFromPt, kRadiusColour, 1.5, "6 4");
            notes.push_back("Centre off the drawing: the radii point towards it.");
        }

        // Tangents.
        Vec pi;
        if (piShown) {
            pi = view.Screen(g.pi);
            svg.Line(pc, pi, kTangentColour, 1.5);
            svg.Line(pi, pt, kTangentColour, 1.5);
        } else if (g.finitePi) {
            svg.Line(pc, pc + kPiStub * inDir, kTangentColour, 1.5, "10 5");
            svg.Line(pt, pt - kPiStub * outDir, kTangentColour, 1.5, "10 5");
            notes.push_back("PI off the drawing: the tangents point towards it.");
        } else {
            svg.Line(pc - kTangentStub * inDir, pc, kTangentColour, 1.5, "4 4");
            svg.Line(pt, pt + kTangentStub * outDir, kTangentColour, 1.5, "4 4");
            notes.push_back(
                "No finite PI: with a Delta of 180\u00B0 or more the tangents do "
                "not meet ahead of the curve, so T and E have no point to draw.");
        }
        if (g.fullCircle) {
            notes.push_back(
                "A Delta of 360\u00B0 or more: the arc closes on itself and is "
                "drawn once round.");
        }

        // Chord, external, middle ordinate, then the arc on top.
        svg.Line(pc, pt, kChordColour, 1.5);
        if (piShown) svg.Line(pi, arcMid, kExternalColour, 1.5);
        svg.Line(arcMid, chordMid, kOrdinateColour, 1.5);
        std::vector<Vec> arc;
        for (Vec p : g.arc) arc.push_back(view.Screen(p));
        svg.Polyline(arc, kArcColour, 3);

        // The labels keep clear of every line drawn above, of the marked points, the north
        // arrow, the scale bar and the key; the names first, then the values.
        LabelLayout labels({kCanvasMargin, 48, kKeyLeft - 8, kDiagramHeight - 4});
        labels.Keep(kNorthArrowBox);
        labels.Keep(ScaleBarBox(view));
        labels.KeepPolyline(arc, /*hard=*/true);
        labels.KeepLine(pc, pt);
        labels.KeepLine(arcMid, chordMid);
        if (centreShown) {
            labels.KeepLine(centre, pc);
            labels.KeepLine(centre, pt);
        } else {
            labels.KeepLine(pc, pc + kCentreStub * toCentreFromPc);
            labels.KeepLine(pt, pt + kCentreStub * toCentreFromPt);
        }
        if (piShown) {
            labels.KeepLine(pc, pi);
            labels.KeepLine(pi, pt);
            labels.KeepLine(pi, arcMid);
        } else if (g.finitePi) {
            labels.KeepLine(pc, pc + kPiStub * inDir);
            labels.KeepLine(pt, pt - kPiStub * outDir);
        } else {
            labels.KeepLine(pc - kTangentStub * inDir, pc);
            labels.KeepLine(pt, pt + kTangentStub * outDir);
        }

        // Points and their names.
        const Vec side = Unit(pt - pc, {1, 0});
        const auto name = [](const char* text) {
            return std::vector<LabelLine>{{text, 14, "#000000", true}};
        };
        svg.Dot(pc, 4, "#000000");
        svg.Dot(pt, 4, "#000000");
        labels.KeepDot(pc, 4);
        labels.KeepDot(pt, 4);
        if (piShown) {
            svg.Dot(pi, 4, "#ffffff");
            labels.KeepDot(pi, 4);
        }
        if (centreShown) {
            svg.Dot(centre, 3, "#ffffff");
            labels.KeepDot(centre, 3);
        }
        labels.Place(svg, SpotsAround(pc, Unit(pc - chordMid, -1.0 * side)), name("PC"));
        labels.Place(svg, SpotsAround(pt, Unit(pt - chordMid, side)), name("PT"));
        if (piShown) labels.Place(svg, SpotsAround(pi, Unit(pi - arcMid, {0, -1})), name("PI"));
        if (centreShown) {
            // Below a half circle the open side of the centre faces away from the arc; from
            // 180 degrees the chord crosses that side and the wide angle is towards the arc.
            const Vec away =
                g.delta < 180 ? Unit(centre - arcMid, {0, 1}) : Unit(arcMid - centre, {0, -1});
            labels.Place(svg, SpotsAround(centre, away),
                         {{"Centre", 14, "#000000", true},
                          {"\u0394 " + record.Text(Field::Delta), 13, "#000000", false}});
        }

        // Values along the elements, where there is room.
        const auto value = [&record](const char* tag, Field field, const char* colour) {
            return std::vector<LabelLine>{{tag + record.Text(field), 13, colour, false}};
        };
        if (centreShown) {
            labels.Place(svg, SegmentSpots(centre, pt, 0.5, Mid(centre, pc)),
                         value("R ", Field::Radius, kRadiusColour));
        }
        labels.Place(svg, SegmentSpots(pc, pt, 0.3, arcMid),
                     value("C ", Field::Chord, kChordColour));
        if (piShown) {
            labels.Place(svg, SegmentSpots(pc, pi, 0.5, centre),
                         value("T ", Field::Tangent, kTangentColour));
            labels.Place(svg, SegmentSpots(arcMid, pi, 0.5, pc),
                         value("E ", Field::External, kExternalColour));
        }
        labels.Place(svg, SegmentSpots(chordMid, arcMid, 0.5, pt),
                     value("M ", Field::MidOrdinate, kOrdinateColour));
        if (Norm(pt - pc) >= kMinLabelled || g.delta >= 180) {
            std::vector<LabelSpot> spots;
            for (double inward : {1.0, -1.0}) {
                for (double share : {0.75, 0.6, 0.9, 0.45, 0.3, 0.15}) {
                    const Vec at = view.Screen(g.OnArc(std::min(g.delta, 360.0) * share));
                    spots.push_back({at, inward * Unit(at - centre, {0, -1})});
                }
            }
            labels.Place(svg, spots, value("L ", Field::LengthArc, kArcColour));
        }

        DrawScaleBar(svg, view);
    }

    DrawNorthArrow(svg);
    DrawKey(svg, record, notes);

    const std::string title = "Bendwise curve: radius " + record.Text(Field::Radius) + ", Delta " +
                              record.Text(Field::Delta);
    return Document(title, std::string("Curve to the ") + (record.m_left ? "left" : "right"),
                    svg.text);
}

}  // namespace bendwise

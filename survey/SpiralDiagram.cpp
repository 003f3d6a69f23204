#include "survey/SpiralDiagram.h"

#include <cmath>
#include <utility>
#include <vector>

#include "math/Trig.h"
#include "survey/CurveDiagram.h"
#include "survey/DiagramFrame.h"
#include "survey/SvgWriter.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

using namespace svg;

constexpr double kDegPerRad = 180 / 3.141592653589793;
constexpr int kSpiralPieces = 48;  // polyline pieces of each spiral

constexpr const char* kSpiralColour = "#b8860b";  // the rest are in survey/DiagramFrame.h

// Ground direction of an azimuth in degrees: x east, y north.
Vec Direction(double azimuth) {
    return {math::Sin(azimuth / kDegPerRad), math::Cos(azimuth / kDegPerRad)};
}

Vec Ground(const NorthEast& p) {
    return {p.easting, p.northing};
}

// The curve from the TS at the origin, in ground units.
struct Geometry {
    SpiralPoints points;
    SpiralAlignment alignment;
    std::vector<Vec> entry, arc, exit;
    Vec arcMid;
};

Geometry MakeGeometry(const CCurveRecord& record, const SpiralCurve& curve) {
    Geometry g;
    g.points = PlaceSpiral(curve, SpiralKnown::Ts, {0, 0}, record.m_inboundAz, record.m_left != 0);
    if (g.points.error) return g;
    g.alignment = AlignmentOf(curve, g.points);
    for (int i = 0; i <= kSpiralPieces; ++i) {
        const double l = curve.ls * i / kSpiralPieces;
        g.entry.push_back(Ground(SpiralPointAt(curve, g.points, SpiralPart::EntrySpiral, l)));
        g.exit.push_back(Ground(SpiralPointAt(curve, g.points, SpiralPart::ExitSpiral, l)));
    }
    // Each arc point one chord 2 Rc sin(t / 2) from the SC, at half the angle t turned.
    const double side = g.points.left ? -1.0 : 1.0;
    const Vec sc = Ground(g.points.sc);
    const auto onArc = [&](double t) {
        return sc + (2 * curve.rc * math::Sin(t / (2 * kDegPerRad))) *
                        Direction(g.alignment.scAz + side * (t / 2));
    };
    const int pieces = std::max(16, static_cast<int>(std::ceil(curve.deltaC)));
    for (int i = 0; i <= pieces; ++i) g.arc.push_back(onArc(curve.deltaC * i / pieces));
    g.arcMid = onArc(curve.deltaC / 2);
    return g;
}

// A length as the Spiral block prints it (to 0.001), or to six significant digits where
// that would not fit the key (a radius of 1e28 has 29 digits before the point).
std::string Length(double v) {
    std::string text = FixedString(v);
    return text.size() <= 14 ? text : ShortNumber(v);
}

void DrawKey(SvgOut& svg, const CCurveRecord& record, const SpiralCurve& c,
             const std::vector<std::string>& notes) {
    const struct {
        const char* tag;
        const char* caption;
        std::string text;
        const char* colour;
    } rows[] = {
        {"Ls", "Spiral", Length(c.ls), kSpiralColour},
        {"Rc", "Radius", Length(c.rc), kRadiusColour},
        {"\u0394", "Delta", record.Text(Field::Delta), nullptr},
        {"\u03B8s", "Theta s", DmsString(c.thetaSDeg), nullptr},
        {"p", "Shift", Length(c.p), nullptr},
        {"k", "Abscissa", Length(c.k), nullptr},
        {"Ts", "Tangent", Length(c.ts), kTangentColour},
        {"Es", "External", Length(c.es), kExternalColour},
        {"\u0394c", "Delta c", DmsString(c.deltaC), nullptr},
        {"Lc", "Arc", Length(c.arcLength), kArcColour},
    };
    double y = kKeyTop;
    for (const auto& row : rows) {
        if (row.colour) svg.Line({kKeyLeft, y - 4}, {kKeyLeft + 18, y - 4}, row.colour, 3);
        svg.Text({kKeyLeft + 26, y}, row.tag, "start", 13, "#000000", true);
        svg.Text({kKeyLeft + 50, y}, row.caption, "start", 13);
        svg.Text({kKeyLeft + 140, y}, row.text, "start", 13, "#000000", false, true);
        y += 22;
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

double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}

}  // namespace

std::string BuildSpiralSvg(const CCurveRecord& record, const SpiralCurve& curve) {
    SvgOut svg;
    std::vector<std::string> notes;
    const std::string turn = record.m_left ? "left" : "right";
    const std::string title = "Bendwise spiral curve: Rc " + FixedString(curve.rc) + ", Ls " +
                              FixedString(curve.ls) + ", Delta " + record.Text(Field::Delta);
    if (curve.refusal) {
        notes.push_back("No spirals: " + *curve.refusal + ".");
        DrawNorthArrow(svg);
        DrawKey(svg, record, curve, notes);
        return Document(title, "Spiral curve to the " + turn, svg.text);
    }
    const Geometry g = MakeGeometry(record, curve);
    if (g.points.error) {
        notes.push_back("This curve cannot be drawn: " + *g.points.error + ".");
        DrawNorthArrow(svg);
        DrawKey(svg, record, curve, notes);
        return Document(title, "Spiral curve to the " + turn, svg.text);
    }
    const SpiralPoints& p = g.points;

    Box box;
    for (const std::vector<Vec>* line : {&g.entry, &g.arc, &g.exit}) {
        for (Vec v : *line) box.Add(v);
    }
    box.Add(Ground(p.pi));
    const double base = box.Extent();
    Box grown = box;
    grown.Add(Ground(p.cc));
    const bool centreShown = base > 0 && grown.Extent() <= kFitGrowth * base;
    if (centreShown) box = grown;
    const View view = Fit(box);
    const auto screen = [&view](const std::vector<Vec>& ground) {
        std::vector<Vec> out;
        for (Vec v : ground) out.push_back(view.Screen(v));
        return out;
    };

    const Vec ts = view.Screen(Ground(p.ts)), sc = view.Screen(Ground(p.sc));
    const Vec cs = view.Screen(Ground(p.cs)), st = view.Screen(Ground(p.st));
    const Vec pi = view.Screen(Ground(p.pi)), arcMid = view.Screen(g.arcMid);
    const Vec inDir = View::ScreenDirection(Direction(p.inboundAz));
    const Vec outDir = View::ScreenDirection(Direction(g.alignment.outboundAz));
    const double side = p.left ? -1.0 : 1.0;
    const Vec centre =
        centreShown
            ? view.Screen(Ground(p.cc))
            : arcMid + kCentreStub * Unit(View::ScreenDirection(Direction(
                                              g.alignment.scAz + side * (curve.deltaC / 2 + 90))),
                                          {0, 1});

    // Radii and tangents first, so that the line is drawn over them.
    svg.Line(centre, sc, kRadiusColour, 1.5, "6 4");
    svg.Line(centre, cs, kRadiusColour, 1.5, "6 4");
    if (!centreShown) notes.push_back("Centre off the drawing: the radii point towards it.");
    svg.Line(ts - 40 * inDir, ts, kTangentColour, 1.5);
    svg.Line(ts, pi, kTangentColour, 1.5);
    svg.Line(pi, st, kTangentColour, 1.5);
    svg.Line(st, st + 40 * outDir, kTangentColour, 1.5);
    svg.Line(pi, arcMid, kExternalColour, 1.5);
    svg.Polyline(screen(g.entry), kSpiralColour, 3);
    svg.Polyline(screen(g.exit), kSpiralColour, 3);
    svg.Polyline(screen(g.arc), kArcColour, 3);

    // The labels keep clear of the lines above, the points, the north arrow and the scale
    // bar; the curve itself (spirals and arc) they never cross. Names first, then Rc along
    // a radius and Lc inside the arc where there is room; the key has the rest.
    LabelLayout labels({kCanvasMargin, 48, kKeyLeft - 8, kDiagramHeight - 4});
    labels.Keep(kNorthArrowBox);
    labels.Keep(ScaleBarBox(view));
    for (const std::vector<Vec>* line : {&g.entry, &g.arc, &g.exit}) {
        labels.KeepPolyline(screen(*line), /*hard=*/true);
    }
    for (const auto& [a, b] : {std::pair<Vec, Vec>{centre, sc},
                               {centre, cs},
                               {ts - 40 * inDir, ts},
                               {ts, pi},
                               {pi, st},
                               {st, st + 40 * outDir},
                               {pi, arcMid}}) {
        labels.KeepLine(a, b);
    }

    // The named points: TS and ST back and on along their tangents and outwards, SC and CS
    // straight out from the centre, the PI away from the arc, the centre away from it.
    const struct {
        const char* name;
        Vec at;
        Vec dir;
        const char* fill;
    } named[] = {
        {"TS", ts, Unit(Unit(ts - centre, {0, -1}) - inDir, {0, -1}), "#000000"},
        {"SC", sc, Unit(sc - centre, {0, -1}), "#000000"},
        {"CS", cs, Unit(cs - centre, {0, -1}), "#000000"},
        {"ST", st, Unit(Unit(st - centre, {0, -1}) + outDir, {0, -1}), "#000000"},
        {"PI", pi, Unit(pi - arcMid, {0, -1}), "#ffffff"},
    };
    for (const auto& point : named) {
        svg.Dot(point.at, 4, point.fill);
        labels.KeepDot(point.at, 4);
    }
    if (centreShown) {
        svg.Dot(centre, 3, "#ffffff");
        labels.KeepDot(centre, 3);
    }
    for (const auto& point : named) {
        labels.Place(svg, SpotsAround(point.at, point.dir), {{point.name, 14, "#000000", true}});
    }
    if (centreShown) {
        labels.Place(svg, SpotsAround(centre, Unit(centre - arcMid, {0, 1})),
                     {{"CC", 14, "#000000", true}});
    }
    if (centreShown && Norm(cs - centre) >= kMinLabelled) {
        std::vector<LabelSpot> spots;
        const Vec d = Unit(cs - centre, {1, 0});
        const Vec n =
            Dot(sc - Mid(centre, cs), Vec{-d.y, d.x}) > 0 ? Vec{d.y, -d.x} : Vec{-d.y, d.x};
        for (double along : {0.5, 0.3, 0.7}) spots.push_back({centre + along * (cs - centre), n});
        labels.Place(svg, spots, {{"Rc " + Length(curve.rc), 13, kRadiusColour, false}});
    }
    if (Norm(cs - sc) >= kMinLabelled) {
        std::vector<LabelSpot> spots;
        for (std::size_t i : {g.arc.size() / 2, g.arc.size() / 3, 2 * g.arc.size() / 3}) {
            const Vec at = view.Screen(g.arc[i]);
            spots.push_back({at, Unit(centre - at, {0, 1})});
        }
        labels.Place(svg, spots, {{"Lc " + Length(curve.arcLength), 13, kArcColour, false}});
    }
    DrawScaleBar(svg, view);
    DrawNorthArrow(svg);
    DrawKey(svg, record, curve, notes);
    return Document(title, "Spiral curve to the " + turn, svg.text);
}

}  // namespace bendwise

// The R12 ASCII DXF drawing of a placed curve: group code and value lines, each pair one
// item, the group code right-aligned in three characters as R12 writers do.

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

#include "math/Trig.h"
#include "survey/ExchangeFiles.h"

namespace bendwise {
namespace {

// Layers, with their ACI colours: blue arc, red tangents, grey chord, black points.
struct LayerInfo {
    const char* name;
    int colour;
};
constexpr LayerInfo kLayers[] = {
    {"0", 7}, {"CURVE", 5}, {"TANGENT", 1}, {"CHORD", 8}, {"POINTS", 7},
};
// Magenta spirals, listed after CURVE, only in a drawing that has them: a circular curve's
// file keeps its five layers.
constexpr LayerInfo kSpiralLayer = {"SPIRAL", 6};

// A chord h long across a line whose curvature is at most 1/Rc strays from it by at most
// h^2 / (8 Rc) (to the first order, the arc's middle ordinate); a vertex every
// h = sqrt(0.004 Rc) along the spiral keeps that to 0.0005, half the 0.001 a drawing of the
// spiral promises. Beyond kMaxSpiralVertices (a spiral thousands of times longer than the
// square root of its radius) the chords are spread evenly and a comment gives the bound.
constexpr double kSpiralSag = 0.0005;
constexpr long kMaxSpiralVertices = 20000;

// Text height as a share of the curve's span, so labels suit a curve of any size.
constexpr double kTextShare = 1.0 / 40;

class DxfOut {
  public:
    std::string text;

    void Item(int code, std::string_view value) {
        const std::string number = std::to_string(code);
        text.append(number.size() < 3 ? 3 - number.size() : 0, ' ').append(number);
        text.append("\r\n").append(value).append("\r\n");
    }
    void Item(int code, double value) { Item(code, ExactNumber(value)); }
    void Int(int code, int value) { Item(code, std::to_string(value)); }
    // x = easting, y = northing (codes 10/20/30, or 11/21/31 with `code` 11).
    void At(int code, const NorthEast& p) {
        Item(code, p.easting);
        Item(code + 10, p.northing);
        Item(code + 20, 0.0);
    }
    void Entity(const char* type, const char* layer) {
        Item(0, type);
        Item(8, layer);
    }
};

// Northing and easting bounds of what is drawn.
struct Bounds {
    NorthEast min{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    NorthEast max{-std::numeric_limits<double>::infinity(),
                  -std::numeric_limits<double>::infinity()};
    void Add(const NorthEast& p) {
        min = {std::min(min.northing, p.northing), std::min(min.easting, p.easting)};
        max = {std::max(max.northing, p.northing), std::max(max.easting, p.easting)};
    }
};

NorthEast Minus(const NorthEast& a, const NorthEast& b) {
    return {a.northing - b.northing, a.easting - b.easting};
}

// `v` scaled to length 1, or `fallback` when it has no usable length.
NorthEast Unit(const NorthEast& v, const NorthEast& fallback) {
    const double n = math::Hypot(v.northing, v.easting);
    return n > 0 && std::isfinite(n) ? NorthEast{v.northing / n, v.easting / n} : fallback;
}

// Which way from its point a label goes (a unit vector, northing and easting), so that it
// clears the lines through the point.
NorthEast LabelDirection(const CCurveRecord& record, const CurvePoints& p,
                         const SurveyPoint& point) {
    const double k = record.m_degPerRad;
    const NorthEast fromCentre = Unit(Minus(p.mpc, p.rp), {1, 0});
    if (point.station) return Unit(Minus(point.at, p.rp), fromCentre);
    const NorthEast back{-math::Cos(record.m_inboundAz / k), -math::Sin(record.m_inboundAz / k)};
    const NorthEast ahead{math::Cos(record.m_outboundAz / k), math::Sin(record.m_outboundAz / k)};
    const struct {
        const char* name;
        NorthEast direction;
    } kDirections[] = {
        {"PC", back},
        {"PT", ahead},
        {"PI", p.pi ? Unit(Minus(*p.pi, p.mpc), fromCentre) : fromCentre},
        {"MPC", {-fromCentre.northing, -fromCentre.easting}},
        {"RP", {-fromCentre.northing, -fromCentre.easting}},
    };
    for (const auto& entry : kDirections) {
        if (point.description == entry.name) return entry.direction;
    }
    return fromCentre;
}

// A TEXT of `height` set off from `at` in `direction`, justified so that it grows away from
// the point: left, centre or right (72 = 0, 1, 2) and bottom, middle or top (73 = 1, 2, 3).
void WriteLabel(DxfOut& dxf, const NorthEast& at, const NorthEast& direction, double height,
                const std::string& text) {
    const NorthEast anchor{at.northing + 0.6 * height * direction.northing,
                           at.easting + 0.6 * height * direction.easting};
    const int horizontal = direction.easting > 0.35 ? 0 : direction.easting < -0.35 ? 2 : 1;
    const int vertical = direction.northing > 0.35 ? 1 : direction.northing < -0.35 ? 3 : 2;
    dxf.Entity("TEXT", "POINTS");
    dxf.At(10, anchor);
    dxf.Item(40, height);
    dxf.Item(1, text);
    dxf.Int(72, horizontal);
    dxf.At(11, anchor);
    dxf.Int(73, vertical);
}

void WriteLine(DxfOut& dxf, Bounds& bounds, const char* layer, const NorthEast& a,
               const NorthEast& b) {
    // A line whose ends print alike has no length to draw.
    if (ExactNumber(a.northing) == ExactNumber(b.northing) &&
        ExactNumber(a.easting) == ExactNumber(b.easting)) {
        return;
    }
    dxf.Entity("LINE", layer);
    dxf.At(10, a);
    dxf.At(11, b);
    bounds.Add(a);
    bounds.Add(b);
}

// The arc on CURVE. Angles are counter-clockwise from east (90 - azimuth); the arc runs
// counter-clockwise from its start angle, so a curve to the right (clockwise on the
// ground) starts at the PT and a curve to the left at the PC.
// An arc about `centre` of `radius` from `from` to `to`, turning `delta` degrees (below
// 360) left or right; `toFrom` is the direction from the centre to `from`, counter-clockwise
// from east, `k` the degrees in a radian. When the ARC's angles would print alike (they
// would read as a whole circle) the arc is drawn as its chord, with `tooSmall` as the
// comment that says so.
void WriteArcAbout(DxfOut& dxf, Bounds& bounds, const NorthEast& centre, double radius,
                   double toFrom, double delta, bool left, const NorthEast& from,
                   const NorthEast& to, const char* tooSmall, double k) {
    const double start = ReduceDegrees(left ? toFrom : toFrom - delta);
    const double end = ReduceDegrees(left ? toFrom + delta : toFrom);
    if (ExactNumber(start) == ExactNumber(end)) {
        dxf.Item(999, tooSmall);
        WriteLine(dxf, bounds, "CURVE", from, to);
        return;
    }
    dxf.Entity("ARC", "CURVE");
    dxf.At(10, centre);
    dxf.Item(40, radius);
    dxf.Item(50, start);
    dxf.Item(51, end);
    bounds.Add(from);
    bounds.Add(to);
    // The arc's extreme points east, north, west and south, where it passes them.
    for (double a : {0.0, 90.0, 180.0, 270.0}) {
        if (ReduceDegrees(a - start) <= ReduceDegrees(end - start)) {
            bounds.Add({centre.northing + radius * math::Sin(a / k),
                        centre.easting + radius * math::Cos(a / k)});
        }
    }
}

void WriteArc(DxfOut& dxf, Bounds& bounds, const CCurveRecord& record, const CurvePoints& p) {
    const double r = record.m_radius;
    const double k = record.m_degPerRad;
    if (record.m_delta >= 360) {
        dxf.Item(999, "A Delta of 360 degrees or more: the arc closes on itself.");
        dxf.Entity("CIRCLE", "CURVE");
        dxf.At(10, p.rp);
        dxf.Item(40, r);
        for (double a : {0.0, 90.0, 180.0, 270.0}) {
            bounds.Add({p.rp.northing + r * math::Sin(a / k), p.rp.easting + r * math::Cos(a / k)});
        }
        return;
    }
    // Direction from the centre to the PC, counter-clockwise from east.
    const double toPc = 90 - (record.m_inboundAz + (record.m_left ? 90 : -90));
    WriteArcAbout(dxf, bounds, p.rp, r, toPc, record.m_delta, record.m_left != 0, p.pc, p.pt,
                  "Delta too small for ARC angles: the curve is drawn as its chord.", k);
}

// A POINT and its label at every numbered point, each label the way `direction` says.
template <typename Direction>
void WritePoints(DxfOut& dxf, Bounds& bounds, const CurveSurvey& survey, double height,
                 Direction direction) {
    for (const SurveyPoint& point : NumberedPoints(survey)) {
        dxf.Entity("POINT", "POINTS");
        dxf.At(10, point.at);
        bounds.Add(point.at);
        WriteLabel(dxf, point.at, direction(point), height, point.description);
    }
}

// The head of a symbol table of `entries` entries; ENDTAB closes it.
void BeginTable(DxfOut& dxf, const char* name, int entries) {
    dxf.Item(0, "TABLE");
    dxf.Item(2, name);
    dxf.Int(70, entries);
}

// The line type, layer and text style tables the entities refer to.
void WriteTables(DxfOut& dxf, double textHeight, bool spirals) {
    dxf.Item(0, "SECTION");
    dxf.Item(2, "TABLES");
    BeginTable(dxf, "LTYPE", 1);
    dxf.Item(0, "LTYPE");
    dxf.Item(2, "CONTINUOUS");
    dxf.Int(70, 0);
    dxf.Item(3, "Solid line");
    dxf.Int(72, 65);
    dxf.Int(73, 0);
    dxf.Item(40, 0.0);
    dxf.Item(0, "ENDTAB");

    BeginTable(dxf, "LAYER", static_cast<int>(std::size(kLayers)) + (spirals ? 1 : 0));
    const auto layerEntry = [&dxf](const LayerInfo& layer) {
        dxf.Item(0, "LAYER");
        dxf.Item(2, layer.name);
        dxf.Int(70, 0);
        dxf.Int(62, layer.colour);
        dxf.Item(6, "CONTINUOUS");
    };
    for (const LayerInfo& layer : kLayers) {
        layerEntry(layer);
        if (spirals && std::string_view(layer.name) == "CURVE") layerEntry(kSpiralLayer);
    }
    dxf.Item(0, "ENDTAB");

    BeginTable(dxf, "STYLE", 1);
    dxf.Item(0, "STYLE");
    dxf.Item(2, "STANDARD");
    dxf.Int(70, 0);
    dxf.Item(40, 0.0);
    dxf.Item(41, 1.0);
    dxf.Item(50, 0.0);
    dxf.Int(71, 0);
    dxf.Item(42, textHeight);
    dxf.Item(3, "txt");
    dxf.Item(4, "");
    dxf.Item(0, "ENDTAB");
    dxf.Item(0, "ENDSEC");
}

// The header, the tables and `entities` as one file, after a comment line.
std::string Assemble(const std::string& comment, const Bounds& bounds, double height, bool spirals,
                     const DxfOut& entities) {
    DxfOut dxf;
    dxf.Item(999, comment);
    dxf.Item(0, "SECTION");
    dxf.Item(2, "HEADER");
    dxf.Item(9, "$ACADVER");
    dxf.Item(1, "AC1009");
    dxf.Item(9, "$EXTMIN");
    dxf.At(10, bounds.min);
    dxf.Item(9, "$EXTMAX");
    dxf.At(10, bounds.max);
    // Points drawn as an X half the height of the labels.
    dxf.Item(9, "$PDMODE");
    dxf.Int(70, 3);
    dxf.Item(9, "$PDSIZE");
    dxf.Item(40, height / 2);
    dxf.Item(0, "ENDSEC");
    WriteTables(dxf, height, spirals);
    dxf.Item(0, "SECTION");
    dxf.Item(2, "ENTITIES");
    dxf.text.append(entities.text);
    dxf.Item(0, "ENDSEC");
    dxf.Item(0, "EOF");
    return dxf.text;
}

// "; lengths in US survey feet", "; lengths in metres" or nothing, for the comment line.
std::string UnitNote(const CurveSurvey& survey) {
    return IsUsSurveyFootUnit(survey.unit) ? "; lengths in US survey feet"
           : IsMetricUnit(survey.unit)     ? "; lengths in metres"
                                           : "";
}

// One spiral as a POLYLINE of n + 1 vertices evenly along it, from the TS to the SC or from
// the CS to the ST.
void WriteSpiralLine(DxfOut& dxf, Bounds& bounds, const SpiralCurve& curve,
                     const SpiralPoints& points, SpiralPart part, long n) {
    dxf.Entity("POLYLINE", kSpiralLayer.name);
    dxf.Int(66, 1);
    dxf.At(10, NorthEast{0, 0});
    dxf.Int(70, 0);
    for (long i = 0; i <= n; ++i) {
        // The entry spiral runs out from the TS; the exit spiral is measured back from the
        // ST, so it is walked from Ls down to 0.
        const double along = static_cast<double>(part == SpiralPart::EntrySpiral ? i : n - i);
        const NorthEast at = i == 0   ? (part == SpiralPart::EntrySpiral ? points.ts : points.cs)
                             : i == n ? (part == SpiralPart::EntrySpiral ? points.sc : points.st)
                                      : SpiralPointAt(curve, points, part,
                                                      curve.ls * (along / static_cast<double>(n)));
        dxf.Entity("VERTEX", kSpiralLayer.name);
        dxf.At(10, at);
        bounds.Add(at);
    }
    dxf.Entity("SEQEND", kSpiralLayer.name);
}

// Which way a spiral point's label goes: TS back along the back tangent, ST on along the
// ahead tangent, the PI away from the centre, the centre away from the PI, every other
// point away from the centre.
NorthEast SpiralLabelDirection(const SpiralPoints& p, const SpiralAlignment& a,
                               const SurveyPoint& point) {
    constexpr double kDegPerRad = 180 / 3.141592653589793;
    const NorthEast fromCentre = Unit(Minus(p.pi, p.cc), {1, 0});
    if (point.description == "TS") {
        return {-math::Cos(p.inboundAz / kDegPerRad), -math::Sin(p.inboundAz / kDegPerRad)};
    }
    if (point.description == "ST") {
        return {math::Cos(a.outboundAz / kDegPerRad), math::Sin(a.outboundAz / kDegPerRad)};
    }
    if (point.description == "PI") return fromCentre;
    if (point.description == "CC") return {-fromCentre.northing, -fromCentre.easting};
    return Unit(Minus(point.at, p.cc), fromCentre);
}

// Tangent, spiral, arc, spiral, tangent: the arc SC to CS on CURVE, the spirals on SPIRAL,
// the tangents TS-PI-ST on TANGENT, the arc's chord SC-CS on CHORD, the points on POINTS.
std::string SpiralDxf(const CurveSurvey& survey, const SpiralSurvey& spiral) {
    const SpiralCurve& c = spiral.curve;
    const SpiralPoints& p = *spiral.points;
    const SpiralAlignment a = AlignmentOf(c, p);
    double height =
        math::Hypot(p.st.northing - p.ts.northing, p.st.easting - p.ts.easting) * kTextShare;
    if (!(height > 0) || !std::isfinite(height)) height = 1;

    DxfOut entities;
    Bounds bounds;
    const double step = std::sqrt(8 * kSpiralSag * c.rc);
    const double wanted = std::ceil(c.ls / step);
    const long n = wanted >= static_cast<double>(kMaxSpiralVertices) ? kMaxSpiralVertices
                   : wanted < 1                                      ? 1
                                                                     : static_cast<long>(wanted);
    if (n == kMaxSpiralVertices) {
        const double h = c.ls / static_cast<double>(n);
        entities.Item(999, "The spirals' chords stray at most " + ExactNumber(h * h / (8 * c.rc)) +
                               " from the clothoid.");
    }
    WriteSpiralLine(entities, bounds, c, p, SpiralPart::EntrySpiral, n);

    // The arc, counter-clockwise from east like the circular curve's: from the centre to the
    // SC is the azimuth at the SC less a quarter turn towards the curve.
    const double s = p.left ? -1.0 : 1.0;
    constexpr double kDegPerRad = 180 / 3.141592653589793;
    WriteArcAbout(entities, bounds, p.cc, c.rc, 90 - (a.scAz - s * 90), c.deltaC, p.left, p.sc,
                  p.cs, "Delta c too small for ARC angles: the arc is drawn as its chord.",
                  kDegPerRad);
    WriteSpiralLine(entities, bounds, c, p, SpiralPart::ExitSpiral, n);
    WriteLine(entities, bounds, "TANGENT", p.ts, p.pi);
    WriteLine(entities, bounds, "TANGENT", p.pi, p.st);
    WriteLine(entities, bounds, "CHORD", p.sc, p.cs);
    WritePoints(entities, bounds, survey, height,
                [&](const SurveyPoint& point) { return SpiralLabelDirection(p, a, point); });
    const std::string comment = std::string("Bendwise spiral curve to the ") +
                                (p.left ? "left" : "right") + ", Rc " + ExactNumber(c.rc) +
                                ", Ls " + ExactNumber(c.ls) + ", Delta " + ExactNumber(c.delta) +
                                " degrees" + UnitNote(survey);
    return Assemble(comment, bounds, height, true, entities);
}

}  // namespace

std::string DxfFile(const CCurveRecord& record, const CurveSurvey& survey) {
    if (!IsPlaced(survey)) return {};
    if (const SpiralSurvey* spiral = PlacedSpiral(survey)) return SpiralDxf(survey, *spiral);
    const CurvePoints& p = *survey.points;
    const double span = record.m_delta >= 180 ? 2 * record.m_radius : record.m_chord;
    double height = span * kTextShare;
    if (!(height > 0) || !std::isfinite(height)) height = 1;

    DxfOut entities;
    Bounds bounds;
    WriteArc(entities, bounds, record, p);
    if (p.pi) {
        WriteLine(entities, bounds, "TANGENT", p.pc, *p.pi);
        WriteLine(entities, bounds, "TANGENT", *p.pi, p.pt);
    } else {
        entities.Item(
            999, std::string("No PI: ") + kNoPiNote + "; the tangents are drawn one radius long.");
        const TangentLines tangents = TangentsOf(record, p);
        WriteLine(entities, bounds, "TANGENT", tangents.backStart, p.pc);
        WriteLine(entities, bounds, "TANGENT", p.pt, tangents.aheadEnd);
    }
    WriteLine(entities, bounds, "CHORD", p.pc, p.pt);
    WritePoints(entities, bounds, survey, height,
                [&](const SurveyPoint& point) { return LabelDirection(record, p, point); });

    const std::string comment = std::string("Bendwise curve to the ") +
                                (record.m_left ? "left" : "right") + ", radius " +
                                ExactNumber(record.m_radius) + ", Delta " +
                                ExactNumber(record.m_delta) + " degrees" + UnitNote(survey);
    return Assemble(comment, bounds, height, false, entities);
}

}  // namespace bendwise

// The curve diagram: well-formed SVG for every shape of curve, drawn on the canvas and big
// enough to read, with the right notes where a point cannot be drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/CurveDiagram.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

struct Shape {
    const char* name;
    SolvedCurve curve;
    const char* mustShow[4];  // texts the drawing must carry (nullptr ends the list early)
};

// Every attribute value that is a canvas coordinate or a list of points.
std::vector<double> Coordinates(const std::string& svg) {
    std::vector<double> values;
    for (const char* name : {" x=\"", " y=\"", " x1=\"", " y1=\"", " x2=\"", " y2=\"", " cx=\"",
                             " cy=\"", " points=\""}) {
        const std::string key = name;
        for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
            const std::size_t start = at + key.size();
            std::string list = svg.substr(start, svg.find('"', start) - start);
            std::replace(list.begin(), list.end(), ',', ' ');
            const char* p = list.c_str();
            char* next = nullptr;
            for (double v = std::strtod(p, &next); next != p; v = std::strtod(p, &next)) {
                values.push_back(v);
                p = next;
            }
        }
    }
    return values;
}

// Width and height in pixels of the drawn arc (the thick polyline).
std::pair<double, double> ArcSize(const std::string& svg) {
    const std::size_t at = svg.find("<polyline");
    const std::size_t end = svg.find("/>", at);
    const std::vector<double> xy = Coordinates(svg.substr(at, end - at));
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
        minX = std::min(minX, xy[i]);
        maxX = std::max(maxX, xy[i]);
        minY = std::min(minY, xy[i + 1]);
        maxY = std::max(maxY, xy[i + 1]);
    }
    return {maxX - minX, maxY - minY};
}

using Shapes = std::vector<std::unique_ptr<Shape>>;

// Normal, huge, tiny, reflex and degenerate curves.
Shapes AllShapes() {
    Shapes shapes;
    auto add = [&](Shape* shape) { shapes.emplace_back(shape); };
    add(new Shape{
        "worked curve, right",
        SolvedCurve({{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}}),
        {"Curve to the right", "PI", "Centre", "T 267.949"}});
    add(new Shape{"200 degrees, left",
                  SolvedCurve({{Field::Radius, "200"}, {Field::Delta, "200"}}, true),
                  {"Curve to the left", "No finite PI", "Centre", nullptr}});
    add(new Shape{"Delta of half a second",
                  SolvedCurve({{Field::Radius, "1000"}, {Field::Delta, "0 0 0.5"}}),
                  {"0 00  0.5", "Centre off the drawing", "PI", nullptr}});
    add(new Shape{"almost straight, huge radius",
                  SolvedCurve({{Field::Radius, "10000000"}, {Field::LengthArc, "1"}}),
                  {"Centre off the drawing", "PI", nullptr, nullptr}});
    add(new Shape{"just short of a half circle",
                  SolvedCurve({{Field::Radius, "100"}, {Field::Delta, "179.999"}}),
                  {"PI off the drawing", "Centre", nullptr, nullptr}});
    add(new Shape{"exactly a half circle",
                  SolvedCurve({{Field::Radius, "100"}, {Field::Delta, "180"}}),
                  {"No finite PI", "Out of range", nullptr, nullptr}});
    add(new Shape{"a whole circle",
                  SolvedCurve({{Field::Radius, "100"}, {Field::Delta, "360"}}),
                  {"closes on itself", "No finite PI", nullptr, nullptr}});
    add(new Shape{"tangent beside the left edge",
                  SolvedCurve({{Field::Radius, "300"}, {Field::Delta, "60"}}),
                  {"T 173.205", "PI", nullptr, nullptr}});
    add(new Shape{"radius at the floor",
                  SolvedCurve({{Field::Delta, "90"}, {Field::Radius, "0.000001"}}, true),
                  {"PI", "Centre", nullptr, nullptr}});
    return shapes;
}

TEST(CurveDiagram, EveryShapeIsWellFormedSvg) {
    for (const auto& shape : AllShapes()) {
        const std::string svg = BuildCurveSvg(shape->curve.Record());
        EXPECT_EQ(test::CheckXml(svg), "") << shape->name;
        EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
        EXPECT_EQ(svg.back(), '\n');
    }
}

TEST(CurveDiagram, EveryShapeCarriesItsLabelsAndNotes) {
    for (const auto& shape : AllShapes()) {
        const std::string svg = BuildCurveSvg(shape->curve.Record());
        for (const char* text : shape->mustShow) {
            if (text != nullptr) {
                EXPECT_NE(svg.find(text), std::string::npos) << shape->name << ": " << text;
            }
        }
        // The key always gives every element with its display text.
        for (Field f : {Field::Radius, Field::LengthArc, Field::Chord, Field::Tangent,
                        Field::External, Field::MidOrdinate, Field::Delta}) {
            EXPECT_NE(svg.find(">" + shape->curve.Text(f) + "<"), std::string::npos)
                << shape->name << ": " << shape->curve.Text(f);
        }
        EXPECT_EQ(svg.find("nan"), std::string::npos) << shape->name;
        EXPECT_EQ(svg.find("inf"), std::string::npos) << shape->name;
    }
}

// Fitted, not clipped: every coordinate lies on the canvas and the arc fills a good part
// of the fit box whatever the curve's size or shape.
TEST(CurveDiagram, TheCurveIsFittedToTheCanvasAndReadable) {
    for (const auto& shape : AllShapes()) {
        const std::string svg = BuildCurveSvg(shape->curve.Record());
        const std::vector<double> coordinates = Coordinates(svg);
        EXPECT_GT(coordinates.size(), 100u) << shape->name;
        for (double v : coordinates) {
            EXPECT_GE(v, 0) << shape->name;
            EXPECT_LE(v, kDiagramWidth) << shape->name;
        }
        const auto [width, height] = ArcSize(svg);
        EXPECT_GE(std::max(width, height), 100) << shape->name;
    }
}

TEST(CurveDiagram, TurnsTheWayTheLeftBoxSays) {
    // Inbound due north: a right curve ends east of the PC, a left one west. The PC is the
    // first point of the arc's polyline, the PT the last.
    for (bool left : {false, true}) {
        const SolvedCurve curve({{Field::Radius, "1000"}, {Field::Delta, "60"}}, left);
        const std::string svg = BuildCurveSvg(curve.Record());
        const std::size_t at = svg.find("<polyline");
        const std::vector<double> xy = Coordinates(svg.substr(at, svg.find("/>", at) - at));
        ASSERT_GE(xy.size(), 4u);
        const double eastward = xy[xy.size() - 2] - xy[0];
        EXPECT_EQ(eastward > 0, !left) << eastward;
        EXPECT_LT(xy.back(), xy[1]);  // and further north (up the canvas)
    }
}

// Advance width of a character in DejaVu Sans, the drawing's font, as a fraction of its
// size (read from the font's metrics); 0.55 for any other.
double Advance(char32_t c) {
    static const std::pair<char32_t, double> kWidths[] = {
        {U' ', 0.318}, {U'.', 0.318}, {U',', 0.318}, {U'-', 0.361},     {U'+', 0.838},
        {U'T', 0.611}, {U'L', 0.557}, {U'C', 0.698}, {U'E', 0.632},     {U'M', 0.863},
        {U'R', 0.695}, {U'P', 0.603}, {U'I', 0.295}, {U'N', 0.748},     {U'e', 0.615},
        {U'n', 0.634}, {U't', 0.392}, {U'r', 0.411}, {U'\u0394', 0.684}};
    if (c >= U'0' && c <= U'9') return 0.636;
    for (const auto& [ch, width] : kWidths) {
        if (ch == c) return width;
    }
    return 0.55;
}

// No label grows to the canvas's left edge, measured with the font's own widths: each
// keeps 2 pixels clear of it. Regression: "T 173.205" of radius 300, Delta 60 began at the
// very edge (0.2 pixels in), where a wider font or a renderer's rounding cuts it.
TEST(CurveDiagram, NoLabelStartsLeftOfTheCanvas) {
    for (const auto& shape : AllShapes()) {
        const std::string svg = BuildCurveSvg(shape->curve.Record());
        for (std::size_t at = svg.find("<text x=\""); at != std::string::npos;
             at = svg.find("<text x=\"", at + 1)) {
            const std::size_t close = svg.find('>', at);
            const std::string tag = svg.substr(at, close - at);
            const std::string content =
                svg.substr(close + 1, svg.find("</text>", close) - close - 1);
            const double x = std::strtod(tag.c_str() + 9, nullptr);
            const double size = std::strtod(tag.c_str() + tag.find("font-size=\"") + 11, nullptr);
            double em = 0;
            for (std::size_t i = 0; i < content.size(); ++i) {
                const auto lead = static_cast<unsigned char>(content[i]);
                if (lead == 0xCE && i + 1 < content.size() &&
                    static_cast<unsigned char>(content[i + 1]) == 0x94) {
                    em += Advance(U'\u0394');  // Delta, two bytes in UTF-8
                    ++i;
                } else {
                    em += Advance(static_cast<char32_t>(lead));
                }
            }
            double width = em * size;
            if (tag.find("text-anchor=\"start\"") != std::string::npos) width = 0;
            if (tag.find("text-anchor=\"middle\"") != std::string::npos) width /= 2;
            EXPECT_GE(x - width, 2) << shape->name << ": " << content;
        }
    }
}

}  // namespace
}  // namespace bendwise

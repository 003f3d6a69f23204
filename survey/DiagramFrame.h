// The frame the survey's plan drawings share (the curve diagram, the spiral diagram): the
// canvas layout, fitting ground coordinates into it with one scale and north up, labels
// that grow away from what they name, the scale bar, the north arrow and the SVG document
// around the drawing.
#pragma once

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

#include "survey/SvgWriter.h"

namespace bendwise::svg {

// Layout of the canvas, in pixels. The curve is fitted into the fit box; labels may use
// the margin around it. The key sits to the right.
constexpr double kFitLeft = 80;
constexpr double kFitTop = 90;
constexpr double kFitWidth = 480;
constexpr double kFitHeight = 420;
constexpr double kKeyLeft = 640;
constexpr double kKeyTop = 90;

constexpr double kLabelGap = 14;     // label offset from the point or line it names
constexpr double kCanvasMargin = 4;  // no label starts closer to the canvas's left edge

// Bounds of ground points (x east, y north).
struct Box {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();
    void Add(Vec p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    double Width() const { return maxX - minX; }
    double Height() const { return maxY - minY; }
    double Extent() const { return std::max(Width(), Height()); }
};

// Ground to canvas: one scale, north up.
struct View {
    double scale = 1;
    Vec groundCentre;
    Vec Screen(Vec p) const {
        return {kFitLeft + kFitWidth / 2 + scale * (p.x - groundCentre.x),
                kFitTop + kFitHeight / 2 - scale * (p.y - groundCentre.y)};
    }
    // Screen direction of a ground direction (y flips).
    static Vec ScreenDirection(Vec d) { return {d.x, -d.y}; }
};

// The view that fits `box` into the fit box, centred, the shape kept.
View Fit(const Box& box);

// A label kLabelGap pixels from `at` in screen direction `dir`, anchored so that it grows
// away from the point, moved right where it would start left of kCanvasMargin.
void Label(SvgOut& svg, Vec at, Vec dir, std::string_view content, double size = 13,
           const char* colour = "#000000", bool bold = false);

// A round length (1, 2 or 5 times a power of ten) about 100 pixels long at `scale`.
double ScaleBarLength(double scale);

// `v` to six significant digits, the shortest way ("100", "2.5e+06").
std::string ShortNumber(double v);

// The scale bar under the fit box, with its length in units.
void DrawScaleBar(SvgOut& svg, const View& view);
// The north arrow at the top left.
void DrawNorthArrow(SvgOut& svg);

// The whole SVG document (UTF-8, ending in a line feed): the fixed canvas, `title` as its
// <title>, a white ground, `heading` at the top left, then `body`.
std::string Document(std::string_view title, std::string_view heading, const std::string& body);

}  // namespace bendwise::svg

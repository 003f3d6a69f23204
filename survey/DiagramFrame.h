// The frame the survey's plan drawings share (the curve diagram, the spiral diagram): the
// canvas layout, fitting ground coordinates into it with one scale and north up, labels
// that grow away from what they name, the scale bar, the north arrow and the SVG document
// around the drawing.
#pragma once

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

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

// Colours of the elements both drawings have, also used for the swatches of their keys.
constexpr const char* kArcColour = "#1f5fbf";
constexpr const char* kTangentColour = "#c0392b";
constexpr const char* kRadiusColour = "#7f7f7f";
constexpr const char* kExternalColour = "#2e8b57";

constexpr double kCentreStub = 130;  // radii pointing at a centre off the drawing
constexpr double kMinLabelled = 40;  // a line shorter than this carries no label on it
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

// A box on the canvas, in pixels, y down.
struct Rect {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool Overlaps(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool Inside(const Rect& o) const {
        return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom;
    }
};

// The box a text of `size` pixels covers from its anchor point `at` (baseline) and anchor
// word (start, middle, end): TextWidth wide (bold 1.2 times that, as DejaVu Sans Bold's
// capitals are) and 1.5 pixels to spare either side, from 0.76 of the size above the
// baseline to 0.24 below, DejaVu's ascent and descent.
Rect TextBox(Vec at, const char* anchor, std::string_view content, double size, bool bold = false);

// One line of a label: several stack 17 pixels apart, away from what they name.
struct LabelLine {
    std::string text;
    double size = 13;
    const char* colour = "#000000";
    bool bold = false;
};

// Where a label may go: a point and the screen direction from it (a unit vector) in
// which the text grows, `gap` pixels off.
struct LabelSpot {
    Vec at;
    Vec dir;
    double gap = kLabelGap;
};

// The labels of one drawing. Each is drawn at the first of its spots where every line is
// inside the area, covers no kept box and no label placed before it, and crosses no drawn
// line; failing that, at the first spot that crosses only thin lines (not the curve
// itself, a hard line); failing that, not at all (every value is also in the key). So no
// two labels overlap, none leaves the drawing, crosses the curve, or covers the north
// arrow, the scale bar or a marked point.
class LabelLayout {
  public:
    explicit LabelLayout(Rect area) : m_area(area) {}
    void Keep(const Rect& box) { m_taken.push_back(box); }
    void KeepLine(Vec a, Vec b, bool hard = false) { m_lines.push_back({a, b, hard}); }
    void KeepPolyline(const std::vector<Vec>& points, bool hard = false);
    // The marked points: a dot of `radius` pixels.
    void KeepDot(Vec at, double radius) {
        Keep({at.x - radius - 1, at.y - radius - 1, at.x + radius + 1, at.y + radius + 1});
    }
    bool Place(SvgOut& svg, const std::vector<LabelSpot>& spots,
               const std::vector<LabelLine>& lines);

  private:
    struct Segment {
        Vec a, b;
        bool hard;
    };
    bool Crosses(const Rect& box, bool hardOnly) const;

    Rect m_area;
    std::vector<Rect> m_taken;
    std::vector<Segment> m_lines;
};

// Spots round a point: `dir` first, then turned by 30, 60, ... 180 degrees either way,
// each at the label gap and then at twice it.
std::vector<LabelSpot> SpotsAround(Vec at, Vec dir);

// A round length (1, 2 or 5 times a power of ten) about 100 pixels long at `scale`.
double ScaleBarLength(double scale);

// `v` to six significant digits, the shortest way ("100", "2.5e+06").
std::string ShortNumber(double v);

// The scale bar under the fit box, with its length in units; its box, or an empty one
// when there is none (a scale that is not a positive number).
Rect ScaleBarBox(const View& view);
void DrawScaleBar(SvgOut& svg, const View& view);
// The north arrow's box, N included.
constexpr Rect kNorthArrowBox{20, 60, 40, 112};
// The north arrow at the top left.
void DrawNorthArrow(SvgOut& svg);

// The whole SVG document (UTF-8, ending in a line feed): the fixed canvas, `title` as its
// <title>, a white ground, `heading` at the top left, then `body`.
std::string Document(std::string_view title, std::string_view heading, const std::string& body);

}  // namespace bendwise::svg

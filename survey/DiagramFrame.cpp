#include "survey/DiagramFrame.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "survey/CurveDiagram.h"
#include "text/CharConv.h"

namespace bendwise::svg {

View Fit(const Box& box) {
    View v;
    v.groundCentre = {(box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2};
    const double sx = box.Width() > 0 ? kFitWidth / box.Width() : 0;
    const double sy = box.Height() > 0 ? kFitHeight / box.Height() : 0;
    double scale = sx > 0 && sy > 0 ? std::min(sx, sy) : std::max(sx, sy);
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    v.scale = scale;
    return v;
}

void Label(SvgOut& svg, Vec at, Vec dir, std::string_view content, double size, const char* colour,
           bool bold) {
    Vec p = at + kLabelGap * dir;
    const char* anchor = dir.x > 0.35 ? "start" : dir.x < -0.35 ? "end" : "middle";
    // A label growing leftwards from a point near the left edge would leave the canvas:
    // it is moved right until it fits.
    const double width = TextWidth(content, size);
    const double left = dir.x < -0.35 ? p.x - width : dir.x > 0.35 ? p.x : p.x - width / 2;
    if (left < kCanvasMargin) p.x += kCanvasMargin - left;
    // Baseline: text below a point hangs from it, text above sits on it.
    const double baseline = dir.y > 0.35 ? size * 0.8 : dir.y < -0.35 ? 0 : size * 0.35;
    svg.Text({p.x, p.y + baseline}, content, anchor, size, colour, bold);
}

Rect TextBox(Vec at, const char* anchor, std::string_view content, double size, bool bold) {
    const double width = TextWidth(content, size) * (bold ? 1.2 : 1.0);
    const std::string_view a(anchor);
    const double left = a == "start" ? at.x : a == "end" ? at.x - width : at.x - width / 2;
    // TextWidth is an estimate (a capital M is 0.86 of the size, not its 0.72): the box
    // keeps a pixel and a half to spare on either side.
    constexpr double kSpare = 1.5;
    return {left - kSpare, at.y - 0.76 * size, left + width + kSpare, at.y + 0.24 * size};
}

void LabelLayout::KeepPolyline(const std::vector<Vec>& points, bool hard) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i) KeepLine(points[i], points[i + 1], hard);
}

// Liang-Barsky: does segment a-b enter the box?
bool LabelLayout::Crosses(const Rect& box, bool hardOnly) const {
    for (const Segment& s : m_lines) {
        if (hardOnly && !s.hard) continue;
        const Vec d = s.b - s.a;
        double t0 = 0, t1 = 1;
        bool outside = false;
        const double p[4] = {-d.x, d.x, -d.y, d.y};
        const double q[4] = {s.a.x - box.left, box.right - s.a.x, s.a.y - box.top,
                             box.bottom - s.a.y};
        for (int i = 0; i < 4 && !outside; ++i) {
            if (p[i] == 0) {
                outside = q[i] < 0;
            } else {
                const double r = q[i] / p[i];
                if (p[i] < 0) {
                    t0 = std::max(t0, r);
                } else {
                    t1 = std::min(t1, r);
                }
                outside = t0 > t1;
            }
        }
        if (!outside) return true;
    }
    return false;
}

bool LabelLayout::Place(SvgOut& svg, const std::vector<LabelSpot>& spots,
                        const std::vector<LabelLine>& lines) {
    struct Laid {
        Vec at;
        const char* anchor;
        Rect box;
    };
    // The lines of a label at one spot, as Label lays out the first of them.
    const auto lay = [&lines](const LabelSpot& spot) {
        std::vector<Laid> laid;
        const double step = spot.dir.y < -0.35 ? -17 : 17;  // stacked away from the point
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const LabelLine& line = lines[i];
            const Vec p = spot.at + spot.gap * spot.dir + Vec{0, step * static_cast<double>(i)};
            const char* anchor = spot.dir.x > 0.35    ? "start"
                                 : spot.dir.x < -0.35 ? "end"
                                                      : "middle";
            const double baseline = spot.dir.y > 0.35    ? line.size * 0.8
                                    : spot.dir.y < -0.35 ? 0
                                                         : line.size * 0.35;
            const Vec at{p.x, p.y + baseline};
            laid.push_back({at, anchor, TextBox(at, anchor, line.text, line.size, line.bold)});
        }
        return laid;
    };
    const auto free = [this](const std::vector<Laid>& laid, bool hardOnly) {
        for (const Laid& l : laid) {
            if (!l.box.Inside(m_area)) return false;
            for (const Rect& taken : m_taken) {
                if (l.box.Overlaps(taken)) return false;
            }
            if (Crosses(l.box, hardOnly)) return false;
        }
        return true;
    };
    for (bool hardOnly : {false, true}) {
        for (const LabelSpot& spot : spots) {
            const std::vector<Laid> laid = lay(spot);
            if (!free(laid, hardOnly)) continue;
            for (std::size_t i = 0; i < laid.size(); ++i) {
                svg.Text(laid[i].at, lines[i].text, laid[i].anchor, lines[i].size, lines[i].colour,
                         lines[i].bold);
                m_taken.push_back(laid[i].box);
            }
            return true;
        }
    }
    return false;
}

std::vector<LabelSpot> SpotsAround(Vec at, Vec dir) {
    // cos and sin of 30, 60, ... 180 degrees.
    constexpr double kTurns[][2] = {{1, 0}, {0.8660254037844387, 0.5},  {0.5, 0.8660254037844387},
                                    {0, 1}, {-0.5, 0.8660254037844387}, {-0.8660254037844387, 0.5},
                                    {-1, 0}};
    std::vector<LabelSpot> spots;
    for (double gap : {kLabelGap, 2 * kLabelGap}) {
        for (const auto& turn : kTurns) {
            for (double side : {1.0, -1.0}) {
                const double s = side * turn[1];
                spots.push_back(
                    {at, {turn[0] * dir.x - s * dir.y, s * dir.x + turn[0] * dir.y}, gap});
                if (turn[1] == 0) break;  // 0 and 180 degrees have no other side
            }
        }
    }
    return spots;
}

double ScaleBarLength(double scale) {
    const double target = 100 / scale;
    // The largest power of ten not above the target, each power read from its decimal
    // text (correctly rounded everywhere) rather than pow(10, floor(log10(target))), which
    // C libraries round differently.
    auto powerOfTen = [](int k) {
        char text[8];
        const int n = std::snprintf(text, sizeof text, "1e%d", k);
        double value = 0;
        FromChars(text, text + n, value);
        return value;
    };
    // As pow and log10 have it: 0 for 0, infinity for infinity, else not a number.
    double power = target == 0 || target == std::numeric_limits<double>::infinity()
                       ? target
                       : std::numeric_limits<double>::quiet_NaN();
    if (target > 0 && std::isfinite(target)) {
        int k = 0;
        while (k < 308 && powerOfTen(k + 1) <= target) ++k;
        while (k > -323 && powerOfTen(k) > target) --k;
        power = powerOfTen(k);
    }
    double length = power;
    for (double step : {2.0, 5.0, 10.0}) {
        if (step * power <= target * 1.5) length = step * power;
    }
    return length;
}

std::string ShortNumber(double v) {
    char buf[64];
    const auto result = ToChars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, static_cast<std::size_t>(result.ptr - buf));
}

Rect ScaleBarBox(const View& view) {
    const double length = ScaleBarLength(view.scale);
    const double pixels = length * view.scale;
    if (!std::isfinite(pixels) || !(pixels > 0)) return {};
    const Vec left{kFitLeft, kFitTop + kFitHeight + 50};
    const Rect text =
        TextBox(left + Vec{pixels + 10, 5}, "start", ShortNumber(length) + " units", 12);
    return {left.x - 2, left.y - 7, text.right, std::max(left.y + 7, text.bottom)};
}

void DrawScaleBar(SvgOut& svg, const View& view) {
    const double length = ScaleBarLength(view.scale);
    const double pixels = length * view.scale;
    if (!std::isfinite(pixels) || !(pixels > 0)) return;
    const Vec left{kFitLeft, kFitTop + kFitHeight + 50};
    svg.Line(left, left + Vec{pixels, 0}, "#000000", 2);
    svg.Line(left + Vec{0, -5}, left + Vec{0, 5}, "#000000", 1.5);
    svg.Line(left + Vec{pixels, -5}, left + Vec{pixels, 5}, "#000000", 1.5);
    svg.Text(left + Vec{pixels + 10, 5}, ShortNumber(length) + " units", "start", 12);
}

void DrawNorthArrow(SvgOut& svg) {
    const Vec north{30, 80};
    svg.Line(north + Vec{0, 30}, north, "#000000", 1.5);
    svg.Line(north, north + Vec{-5, 10}, "#000000", 1.5);
    svg.Line(north, north + Vec{5, 10}, "#000000", 1.5);
    svg.Text(north + Vec{0, -6}, "N", "middle", 14, "#000000", true);
}

std::string Document(std::string_view title, std::string_view heading, const std::string& body) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"")
        .append(std::to_string(kDiagramWidth))
        .append("\" height=\"")
        .append(std::to_string(kDiagramHeight))
        .append("\" viewBox=\"0 0 ")
        .append(std::to_string(kDiagramWidth))
        .append(" ")
        .append(std::to_string(kDiagramHeight))
        .append("\">\n");
    out.append("<title>").append(Escape(title)).append("</title>\n");
    out.append("<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
    SvgOut head;
    head.Text({20, 36}, heading, "start", 20, "#000000", true);
    out.append(head.text).append(body).append("</svg>\n");
    return out;
}

}  // namespace bendwise::svg

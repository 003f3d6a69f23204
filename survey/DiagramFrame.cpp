#include "survey/DiagramFrame.h"

#include <cmath>
#include <cstdio>

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

// Writing SVG by hand for the survey drawings (the curve diagram, the length figure): points
// on the canvas, numbers with two decimals, escaped text, the few elements they use, and an
// estimate of how wide a text is, since an SVG writer has no font to measure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bendwise::svg {

// A point or direction on the canvas, in pixels, y down.
struct Vec {
    double x = 0;
    double y = 0;
};
inline Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec operator*(double s, Vec a) {
    return {s * a.x, s * a.y};
}
double Norm(Vec a);
inline Vec Mid(Vec a, Vec b) {
    return 0.5 * (a + b);
}
bool Finite(Vec a);
// Unit vector of `fallback` when `v` has no length.
Vec Unit(Vec v, Vec fallback);

// A canvas coordinate with two decimals ("12.50"); not a number or infinite gives "0.00".
std::string Number(double v);
// `text` with & < > " written as entities.
std::string Escape(std::string_view text);

// Appends SVG elements with presentation attributes only, which every renderer reads.
class SvgOut {
  public:
    std::string text;

    void Line(Vec a, Vec b, const char* colour, double width, const char* dash = nullptr) {
        text.append("<line x1=\"").append(Number(a.x)).append("\" y1=\"").append(Number(a.y));
        text.append("\" x2=\"").append(Number(b.x)).append("\" y2=\"").append(Number(b.y));
        text.push_back('"');
        Stroke(colour, width, dash);
        text.append("/>\n");
    }
    void Polyline(const std::vector<Vec>& points, const char* colour, double width) {
        text.append("<polyline fill=\"none\" stroke-linejoin=\"round\" points=\"");
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (i) text.push_back(' ');
            text.append(Number(points[i].x)).push_back(',');
            text.append(Number(points[i].y));
        }
        text.push_back('"');
        Stroke(colour, width, nullptr);
        text.append("/>\n");
    }
    void Dot(Vec at, double radius, const char* fill) {
        text.append("<circle cx=\"").append(Number(at.x)).append("\" cy=\"").append(Number(at.y));
        text.append("\" r=\"").append(Number(radius)).append("\" fill=\"").append(fill);
        text.append("\" stroke=\"#000000\" stroke-width=\"1.5\"/>\n");
    }
    // `anchor` is start, middle or end; `mono` keeps runs of blanks (display texts such as
    // "30 00  0.0" carry two).
    void Text(Vec at, std::string_view content, const char* anchor, double size,
              const char* colour = "#000000", bool bold = false, bool mono = false) {
        text.append("<text x=\"").append(Number(at.x)).append("\" y=\"").append(Number(at.y));
        text.append("\" font-family=\"")
            .append(mono ? "DejaVu Sans Mono, monospace" : "DejaVu Sans, sans-serif");
        text.append("\" font-size=\"").append(Number(size)).append("\" fill=\"").append(colour);
        text.append("\" text-anchor=\"").append(anchor).append("\"");
        if (bold) text.append(" font-weight=\"bold\"");
        text.append(" xml:space=\"preserve\">").append(Escape(content)).append("</text>\n");
    }

  private:
    void Stroke(const char* colour, double width, const char* dash) {
        text.append(" stroke=\"").append(colour).append("\" stroke-width=\"").append(Number(width));
        text.append("\" stroke-linecap=\"round\"");
        if (dash) text.append(" stroke-dasharray=\"").append(dash).append("\"");
    }
};

// About how wide `content` is in DejaVu Sans of `size` pixels, in pixels, from the font's
// advance widths (fractions of the size): digits 0.636, capitals about 0.72 (I 0.30 to
// M 0.86), blanks, points and commas 0.318, '-' 0.361, '+' 0.838, lower case and the rest
// about 0.62. Bytes after the first of a UTF-8 character count nothing.
double TextWidth(std::string_view content, double size);

// Breaks `note` into lines of at most `width` characters at blanks.
std::vector<std::string> Wrap(std::string_view note, std::size_t width);

}  // namespace bendwise::svg

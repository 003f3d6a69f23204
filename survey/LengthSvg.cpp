#include "survey/LengthSvg.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "survey/LengthFigure.h"
#include "survey/SvgWriter.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

using namespace svg;

constexpr double kWidth = kLengthSvgWidth;
constexpr double kHeight = kLengthSvgHeight;
constexpr double kMargin = 12;
constexpr double kFont = 13;            // pixels
constexpr double kSmallFont = 12;       // the explanations under the bars
constexpr double kLine = 17;            // one line of text
constexpr double kMinNameColumn = 150;  // left of the bars, for the names and values
constexpr double kRowLines = 3.8;       // lines of text a bar's row needs at least

// A rectangle on the canvas.
struct Area {
    double left, top, width, height;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// Unit vector from `from` towards `to` (downwards when they coincide).
Vec Towards(Vec from, Vec to) {
    return Unit(to - from, {0, 1});
}

// A one-line label centred on `at`.
void Centred(SvgOut& svg, Vec at, std::string_view content, const char* colour) {
    svg.Text({at.x, at.y + kFont * 0.35}, content, "middle", kFont, colour);
}

void DrawCurve(SvgOut& svg, const LengthFigure& f, const Area& area) {
    // Notes at the bottom of the area, the curve above them with room for its labels.
    const double notesHeight = kLine * (1.2 * static_cast<double>(f.notes.size()) + 1.5);
    const Area curve{area.left + 2 * kLine, area.top + 1.5 * kLine, area.width - 4 * kLine,
                     area.height - 1.5 * kLine - notesHeight};
    double y = curve.Bottom() + kLine * 1.4 + kFont;
    for (const std::string& note : f.notes) {
        svg.Text({area.left, y}, note, "start", kFont, kLengthNoteColour);
        y += 1.2 * kLine;
    }
    if (!f.drawable || curve.height < kLine) return;
    // Tangents towards a PI off the figure are cut at the figure's edges.
    svg.text.append("<clipPath id=\"figure\"><rect x=\"")
        .append(Number(area.left))
        .append("\" y=\"")
        .append(Number(area.top))
        .append("\" width=\"")
        .append(Number(area.width))
        .append("\" height=\"")
        .append(Number(area.height))
        .append("\"/></clipPath>\n<g clip-path=\"url(#figure)\">\n");

    // One scale for both axes, the fit extent centred; y points up in the figure.
    const double fitW = f.fitMax.x - f.fitMin.x;
    const double fitH = f.fitMax.y - f.fitMin.y;
    double scale = std::min(fitW > 0 ? curve.width / fitW : INFINITY,
                            fitH > 0 ? curve.height / fitH : INFINITY);
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    const Vec centre{curve.left + curve.width / 2, curve.top + curve.height / 2};
    const double midX = (f.fitMin.x + f.fitMax.x) / 2;
    const double midY = (f.fitMin.y + f.fitMax.y) / 2;
    auto at = [&](FigurePoint p) {
        return Vec{centre.x + scale * (p.x - midX), centre.y - scale * (p.y - midY)};
    };
    const char* arcColour = kLengthColours[kBarArc];
    const char* chordColour = kLengthColours[kBarChord];
    const char* railroadColour = kLengthColours[kBarRailroad];
    const char* tangentColour = kLengthColours[kBarTangents];

    if (f.finitePi) {
        svg.Line(at(f.pc), at(f.pi), tangentColour, 1.5);
        svg.Line(at(f.pi), at(f.pt), tangentColour, 1.5);
    }
    svg.Line(at(f.pc), at(f.pt), chordColour, 1.5);
    std::vector<Vec> arc;
    for (FigurePoint p : f.arc) arc.push_back(at(p));
    svg.Polyline(arc, arcColour, 3);

    // The railroad's 100-unit chords: drawn one by one while there are few, the part chord
    // to the PT dashed; with many, a mark at the end of every k-th one.
    if (!f.chordEnds.empty()) {
        if (f.chordsPerMark == 1) {
            for (std::size_t i = 1; i < f.chordEnds.size(); ++i) {
                svg.Line(at(f.chordEnds[i - 1]), at(f.chordEnds[i]), railroadColour, 2);
            }
            svg.Line(at(f.chordEnds.back()), at(f.pt), railroadColour, 2, "6,4");
        }
        for (FigurePoint p : f.chordEnds) svg.Dot(at(p), 3, "#ffffff");
        // What each chord counts for in Lrr, inside the arc where there is room.
        if (f.chordsPerMark == 1) {
            std::vector<std::pair<FigurePoint, FigurePoint>> pieces;
            for (std::size_t i = 1; i < f.chordEnds.size(); ++i) {
                pieces.emplace_back(f.chordEnds[i - 1], f.chordEnds[i]);
            }
            pieces.emplace_back(f.chordEnds.back(), f.pt);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const bool part = i + 1 == pieces.size();
                if (part && f.partChord <= 0) continue;
                const Vec a = at(pieces[i].first), b = at(pieces[i].second);
                if (Norm(b - a) < 3 * kLine) continue;
                const Vec inward = Towards(Mid(a, b), at(f.centre));
                Centred(svg, Mid(a, b) + (0.9 * kLine) * inward,
                        part ? FixedString(f.partChord) : "100", railroadColour);
            }
        }
    }

    // The letters of the elements; their values are on the bars below.
    const Vec arcTop = at(f.arc[f.arc.size() / 2]);
    const Vec outward = -1.0 * Towards(arcTop, at(f.centre));
    Centred(svg, arcTop + (0.9 * kLine) * outward, "L", arcColour);
    Centred(svg, Mid(at(f.pc), at(f.pt)) - (0.9 * kLine) * outward, "C", chordColour);
    // The PI, its name and the tangents' letters only where the fit kept the PI.
    const bool piFitted = f.finitePi && f.pi.x >= f.fitMin.x && f.pi.x <= f.fitMax.x &&
                          f.pi.y >= f.fitMin.y && f.pi.y <= f.fitMax.y;
    if (piFitted) {
        for (FigurePoint end : {f.pc, f.pt}) {
            const Vec mid = Mid(at(end), at(f.pi));
            Centred(svg, mid - (0.9 * kLine) * Towards(mid, at(f.centre)), "T", tangentColour);
        }
    }

    // Points and their names: PC below left, PT below right, PI above.
    const Vec pc = at(f.pc), pt = at(f.pt);
    svg.Dot(pc, 3, "#000000");
    svg.Text({pc.x - 4, pc.y + 4 + kFont}, "PC", "end", kFont);
    svg.Dot(pt, 3, "#000000");
    svg.Text({pt.x + 4, pt.y + 4 + kFont}, "PT", "start", kFont);
    if (piFitted) {
        const Vec pi = at(f.pi);
        svg.Dot(pi, 3, "#000000");
        svg.Text({pi.x, pi.y - 6}, "PI", "middle", kFont);
    }
    svg.text.append("</g>\n");
}

void DrawBars(SvgOut& svg, const LengthFigure& f, const Area& area) {
    double longest = 0;
    for (const LengthBar& bar : f.bars) {
        if (bar.defined) longest = std::max(longest, bar.length);
    }
    // Names and values in a column as wide as the widest value needs, up to 40 % of the
    // width; the bars to one scale beside it.
    double column = kMinNameColumn;
    for (const LengthBar& bar : f.bars) column = std::max(column, TextWidth(bar.value, kFont) + 12);
    column = std::min(column, 0.4 * area.width);
    const double barLeft = area.left + column;
    const double barWidth = std::max(10.0, area.Right() - barLeft - 2);
    const double scale = longest > 0 ? barWidth / longest : 0;
    const double row = area.height / kBarCount;
    // Characters of an explanation line: the width over an average advance of 0.55 em.
    const auto perLine =
        static_cast<std::size_t>(std::max(20.0, (area.Right() - barLeft) / (0.55 * kSmallFont)));

    for (int i = 0; i < kBarCount; ++i) {
        const LengthBar& bar = f.bars[i];
        const double top = area.top + i * row;
        const double barY = top + kLine * 0.9;
        svg.Text({area.left, top + kFont}, bar.name, "start", kFont, kLengthColours[i], true);
        svg.Text({area.left, top + kLine + kFont}, bar.value, "start", kFont);
        if (bar.defined && scale > 0) {
            const double end = barLeft + bar.length * scale;
            svg.Line({barLeft, barY}, {end, barY}, kLengthColours[i], 6);
            for (double x : {barLeft, end}) svg.Line({x, barY - 7}, {x, barY + 7}, "#000000", 1);
            for (double mark : bar.marks) {
                const double x = barLeft + mark * scale;
                if (x < end - 0.5) svg.Line({x, barY - 3}, {x, barY + 3}, "#ffffff", 1.5);
            }
        }
        double y = barY + 7 + kSmallFont + 2;
        for (const std::string& text : Wrap(bar.explanation, perLine)) {
            svg.Text({barLeft, y}, text, "start", kSmallFont,
                     bar.defined ? "#000000" : kLengthNoteColour);
            y += kSmallFont * 1.25;
        }
    }
}

}  // namespace

std::string BuildLengthSvg(const CCurveRecord& record) {
    const LengthFigure f = BuildLengthFigure(record);
    SvgOut svg;
    svg.Text({kMargin, kMargin + kFont}, kLengthFigureTitle, "start", kFont, "#000000", true);
    svg.Text({kMargin, kMargin + kLine + kFont}, f.heading, "start", kFont);

    // The bars take the lower part, at least what their text needs; the figure the rest.
    const double barsHeight = std::max(kBarCount * kRowLines * kLine, kHeight * 0.42);
    const double barsTop = kHeight - barsHeight - kMargin;
    const double figureTop = kMargin + 2.5 * kLine;
    DrawCurve(svg, f,
              {kMargin, figureTop, kWidth - 2 * kMargin, barsTop - 0.5 * kLine - figureTop});
    DrawBars(svg, f, {kMargin, barsTop, kWidth - 2 * kMargin, barsHeight});

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string w = std::to_string(kLengthSvgWidth);
    const std::string h = std::to_string(kLengthSvgHeight);
    out.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"")
        .append(w)
        .append("\" height=\"")
        .append(h)
        .append("\" viewBox=\"0 0 ")
        .append(w)
        .append(" ")
        .append(h)
        .append("\">\n");
    out.append("<title>").append(Escape(kLengthFigureTitle)).append(": ");
    out.append(Escape(f.heading)).append("</title>\n");
    out.append("<rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
    out.append(svg.text).append("</svg>\n");
    return out;
}

}  // namespace bendwise

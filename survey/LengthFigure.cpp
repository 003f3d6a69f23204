#include "survey/LengthFigure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "math/Trig.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Lrr is counted in chords as its field shows it, to the thousandth: 899.9996, shown as
// 900.000, is nine whole chords, not eight and a part chord of 100.000. Beyond this a
// thousandth is below a double's resolution and Lrr is taken as it is.
constexpr double kCountedToThousandths = 1e12;

// Below this ratio of height to width the arc and the chord look like one line.
constexpr double kFlatRatio = 0.01;

std::string Trimmed(std::string text) {
    TrimLeft(text);
    TrimRight(text);
    return text;
}

// A count of chords: its digits while they are exact, else the length form (1.0000000e+020).
std::string Count(double n) {
    if (n < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", n);
        return buffer;
    }
    std::string text;
    FormatLength(n, text);
    return text;
}

// 1, 2, 5, 10, 20, 50, ...: the smallest step that marks at most kMaxChordMarks of `count`.
double MarkStep(double count) {
    double step = 1;
    for (int i = 0; count / step > kMaxChordMarks && std::isfinite(step); ++i) {
        step *= (i % 3 == 1) ? 2.5 : 2;
    }
    return step;
}

// A length drawn in one piece.
LengthBar WholeBar(const char* name, const std::string& text, double length,
                   const char* explanation) {
    LengthBar bar;
    bar.name = name;
    bar.value = Trimmed(text);
    bar.defined = std::isfinite(length) && length >= 0;
    bar.length = bar.defined ? length : 0;
    bar.explanation = explanation;
    return bar;
}

}  // namespace

LengthFigure BuildLengthFigure(const CCurveRecord& r) {
    LengthFigure f;
    f.heading = "Radius " + Trimmed(r.Text(Field::Radius)) + ", Delta " +
                Trimmed(r.Text(Field::Delta)) + ", degree of curve (chord definition) Dc " +
                Trimmed(r.Text(Field::DegreeChord));
    const double k = r.m_degPerRad;
    const double radius = r.m_radius;
    const double delta = r.m_delta;

    // The point of the arc at central angle `theta` degrees from the PC. With the chord
    // level and its midpoint at the origin the centre lies at (0, -R cos(Delta / 2)), so
    //   x = R sin(theta - Delta / 2),
    //   y = R cos(theta - Delta / 2) - R cos(Delta / 2) = 2 R sin(theta / 2) sin((Delta - theta) /
    //   2),
    // the product form keeping its digits when R is huge and the angles tiny.
    auto onArc = [&](double theta) {
        return FigurePoint{
            radius * math::Sin((theta - delta / 2) / k),
            (2 * radius) * math::Sin(theta / (2 * k)) * math::Sin((delta - theta) / (2 * k))};
    };

    f.drawable = k > 0 && std::isfinite(radius) && radius > 0 && std::isfinite(delta) && delta > 0;
    if (f.drawable) {
        const double drawn = std::min(delta, 360.0);
        const int pieces = std::clamp(static_cast<int>(std::ceil(drawn)), 16, 360);
        for (int i = 0; i <= pieces; ++i) f.arc.push_back(onArc(drawn * i / pieces));
        f.pc = onArc(0);
        f.pt = onArc(delta);
        f.centre = {0, -radius * math::Cos(delta / (2 * k))};
        f.finitePi = delta < 180 && std::isfinite(r.m_tangent) && r.m_tangent >= 0;
        if (f.finitePi) f.pi = {0, r.m_tangent * math::Sin(delta / (2 * k))};

        f.fitMin = f.fitMax = f.pc;
        auto grow = [](FigurePoint& lo, FigurePoint& hi, FigurePoint p) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
        };
        for (FigurePoint p : f.arc) grow(f.fitMin, f.fitMax, p);
        grow(f.fitMin, f.fitMax, f.pt);
        const double width = f.fitMax.x - f.fitMin.x;
        const double height = f.fitMax.y - f.fitMin.y;
        const double base = std::max(width, height);
        if (f.finitePi) {
            FigurePoint lo = f.fitMin, hi = f.fitMax;
            grow(lo, hi, f.pi);
            if (base > 0 && std::max(hi.x - lo.x, hi.y - lo.y) <= kPiFitGrowth * base) {
                f.fitMin = lo;
                f.fitMax = hi;
            } else {
                f.notes.push_back("The PI is off the figure: the tangents run towards it.");
            }
        }
        if (height < kFlatRatio * width) {
            f.notes.push_back(
                "At this scale the arc and the chord almost coincide: the middle ordinate "
                "is only " +
                Trimmed(r.Text(Field::MidOrdinate)) + ".");
        }
        if (delta >= 360) {
            f.notes.push_back(
                "A Delta of 360\u00B0 or more: the curve goes round the circle more than once; "
                "the figure shows it once round.");
        }
    }

    f.bars[kBarArc] = WholeBar("L arc", r.Text(Field::LengthArc), r.m_lengthArc,
                               "along the curve itself, from PC to PT");
    f.bars[kBarChord] =
        WholeBar("Chord", r.Text(Field::Chord), r.m_chord, "straight from PC to PT");

    LengthBar& railroad = f.bars[kBarRailroad];
    railroad.name = "Lrr";
    railroad.value = Trimmed(r.Text(Field::LengthRR));
    const double dc = r.m_degreeChord;
    const double lrr = r.m_lengthRR;
    railroad.defined = f.drawable && std::isfinite(dc) && dc > 0 && std::isfinite(lrr) && lrr > 0;
    if (railroad.defined) {
        railroad.length = lrr;
        const double counted = lrr < kCountedToThousandths ? std::round(lrr * 1000) / 1000 : lrr;
        f.wholeChords = std::floor(counted / 100);
        const double part = std::max(0.0, counted - 100 * f.wholeChords);
        f.partChord = part;
        const std::string dcText = Trimmed(r.Text(Field::DegreeChord));
        if (f.wholeChords < 1) {
            railroad.explanation = FixedString(part) +
                                   " of one chord of 100; a whole chord of 100 would turn "
                                   "the curve through Dc " +
                                   dcText;
        } else {
            railroad.explanation = Count(f.wholeChords) +
                                   (f.wholeChords == 1 ? " chord of 100" : " chords of 100") +
                                   (part > 0 ? " + " + FixedString(part) : "") +
                                   "; each chord of 100 turns the curve through Dc " + dcText;
        }
        f.chordsPerMark = MarkStep(f.wholeChords);
        if (f.chordsPerMark > 1) {
            railroad.explanation += " (a mark every " + Count(f.chordsPerMark) + " chords)";
        }
        for (double j = f.chordsPerMark; j <= f.wholeChords; j += f.chordsPerMark) {
            railroad.marks.push_back(100 * j);
        }
        // Once round the circle at most: beyond it the chord ends repeat.
        for (double j = 0; j <= f.wholeChords && j * dc <= 360; j += f.chordsPerMark) {
            f.chordEnds.push_back(onArc(j * dc));
        }
    } else if (std::isfinite(radius) && radius < 50) {
        railroad.explanation = "undefined: a chord of 100 does not fit in a radius below 50";
    } else {
        railroad.explanation = "undefined for this curve";
    }

    LengthBar& tangents = f.bars[kBarTangents];
    tangents.name = "T + T";
    const std::string t = Trimmed(r.Text(Field::Tangent));
    tangents.value = t + " + " + t;
    tangents.defined = f.drawable && f.finitePi;
    if (tangents.defined) {
        tangents.length = 2 * r.m_tangent;
        tangents.marks.push_back(r.m_tangent);
        tangents.explanation = "from PC to the PI, then on to PT, along the tangents";
    } else {
        tangents.value = t;
        tangents.explanation =
            "no PI: with a Delta of 180\u00B0 or more the tangents do not meet ahead of the curve";
    }
    return f;
}

}  // namespace bendwise

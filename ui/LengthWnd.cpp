#include "ui/LengthWnd.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/Utf8.h"

namespace bendwise {
namespace {

const QColor kArcColour = QColor::fromString(kLengthColours[kBarArc]);
const QColor kChordColour = QColor::fromString(kLengthColours[kBarChord]);
const QColor kRailroadColour = QColor::fromString(kLengthColours[kBarRailroad]);
const QColor kTangentColour = QColor::fromString(kLengthColours[kBarTangents]);
const QColor kNoteColour = QColor::fromString(kLengthNoteColour);

QColor BarColour(int bar) {
    return QColor::fromString(kLengthColours[bar]);
}

constexpr double kMargin = 12;
constexpr double kMinNameColumn = 150;  // pixels left of the bars for the names and values
constexpr double kRowLines = 3.8;       // lines of text a bar's row needs at least
// Lines of height the curve itself keeps at least, so that a small window scales the
// figure down instead of dropping it; its labels take 1.5 lines above and below.
constexpr double kMinCurveLines = 4;
// Narrowest window: the explanations beside the bars keep about 300 pixels, three lines.
constexpr int kMinWidth = 480;
// Lowest window, whatever the curve's texts need.
constexpr int kMinHeight = 320;
constexpr int kWrap = Qt::AlignLeft | Qt::TextWordWrap;

// Height of `text` wrapped to `width` in `font` (pixels, whole lines).
double WrappedHeight(const QFont& font, double width, const QString& text) {
    return QFontMetricsF(font)
        .boundingRect(QRectF(0, 0, std::max(1.0, width), 1e6), kWrap, text)
        .height();
}

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

// The explanations' font, a little smaller than the window's.
QFont Small(QFont font) {
    font.setPointSizeF(font.pointSizeF() * 0.9);
    return font;
}

// Unit vector from `from` towards `to` (downwards when they coincide).
QPointF Towards(QPointF from, QPointF to) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return length > 1e-9 && std::isfinite(length) ? d / length : QPointF(0, 1);
}

// A box of one line centred on `at`, for a short label.
QRectF LabelBox(QPointF at, double line) {
    return QRectF(at.x() - 4 * line, at.y() - line / 2, 8 * line, line);
}

}  // namespace

// The boxes of one paint; every text box is as tall as its text wrapped to its width.
struct CLengthWnd::Layout {
    QRectF title, heading, figure;
    std::vector<QRectF> notes;
    struct Row {
        QRectF name, value, explanation;
        double barY = 0;
    };
    std::array<Row, kBarCount> rows;
    double barLeft = 0, barRight = 0;
    double needed = 0;  // the height all texts and the smallest figure take
};

CLengthWnd::CLengthWnd(QWidget* calculator)
    : CCurveWindow(calculator, QStringLiteral("Length illustration"),
                   QStringLiteral("lengthIllustrationWindow"), QSize(720, 600)) {
    setMinimumSize(kMinWidth, kMinHeight);
    // The figure is drawn in its own colours on white whatever the desktop's theme:
    // paintEvent fills the whole window.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLengthWnd::ShowCurve(const CCurveRecord& record) {
    m_figure = BuildLengthFigure(record);
    m_heading = FromUtf8(m_figure.heading);
    // For a screen reader: what the bars say.
    QStringList said{m_heading};
    for (const LengthBar& bar : m_figure.bars) {
        said << QStringLiteral("%1 %2: %3")
                    .arg(FromUtf8(bar.name), FromUtf8(bar.value), FromUtf8(bar.explanation));
    }
    setAccessibleDescription(said.join(QStringLiteral("; ")));
    // Tall enough at the narrowest for every text wrapped and the figure at its smallest.
    setMinimumHeight(
        std::max(kMinHeight, static_cast<int>(std::ceil(layOut(kMinWidth, 0).needed))));
    update();
}

CLengthWnd::Layout CLengthWnd::layOut(double w, double h) const {
    const LengthFigure& f = m_figure;
    const double line = fontMetrics().height();
    const double inner = w - 2 * kMargin;
    Layout out;
    double y = kMargin;
    out.title = QRectF(kMargin, y, inner,
                       WrappedHeight(Bold(font()), inner, QString::fromLatin1(kLengthFigureTitle)));
    y = out.title.bottom();
    out.heading = QRectF(kMargin, y, inner, WrappedHeight(font(), inner, m_heading));
    const double figureTop = out.heading.bottom() + 0.5 * line;

    // Names and values in a column as wide as the widest value needs, up to 40 % of the
    // width; the bars to one scale beside it, each explanation wrapped under its bar.
    double column = kMinNameColumn;
    for (const LengthBar& bar : f.bars) {
        column = std::max(column, fontMetrics().horizontalAdvance(FromUtf8(bar.value)) + 12.0);
    }
    column = std::min(column, 0.4 * inner);
    out.barLeft = kMargin + column;
    out.barRight = w - kMargin;
    std::array<double, kBarCount> rowHeight{};
    double rowsHeight = 0;
    for (int i = 0; i < kBarCount; ++i) {
        const LengthBar& bar = f.bars[i];
        Layout::Row& row = out.rows[i];
        row.name =
            QRectF(kMargin, 0, column, WrappedHeight(Bold(font()), column, FromUtf8(bar.name)));
        row.value =
            QRectF(kMargin, 0, column - 6, WrappedHeight(font(), column - 6, FromUtf8(bar.value)));
        const double explanationWidth = out.barRight - out.barLeft;
        row.explanation =
            QRectF(out.barLeft, 0, explanationWidth,
                   WrappedHeight(Small(font()), explanationWidth, FromUtf8(bar.explanation)));
        rowHeight[i] = std::max({kRowLines * line, row.name.height() + row.value.height(),
                                 line * 0.9 + 7 + row.explanation.height() + 0.3 * line});
        rowsHeight += rowHeight[i];
    }
    double notesHeight = 0;
    for (const std::string& note : f.notes) {
        out.notes.emplace_back(kMargin, 0, inner, WrappedHeight(font(), inner, FromUtf8(note)));
        notesHeight += out.notes.back().height() + 0.2 * line;
    }
    const double minFigure = (kMinCurveLines + 3) * line;
    out.needed = figureTop + minFigure + notesHeight + 0.5 * line + rowsHeight + kMargin;

    // The bars take the lower part, at least what their text needs and 42 % of the window
    // while the figure keeps its smallest; the figure the rest.
    const double spare = std::max(0.0, h - out.needed);
    const double barsHeight = rowsHeight + std::clamp(h * 0.42 - rowsHeight, 0.0, spare);
    const double extra = (barsHeight - rowsHeight) / kBarCount;
    double top = std::max(h, out.needed) - kMargin - barsHeight;
    const double notesTop = top - 0.5 * line - notesHeight;
    out.figure = QRectF(kMargin, figureTop, inner, notesTop - figureTop);
    double noteY = notesTop;
    for (QRectF& note : out.notes) {
        note.moveTop(noteY);
        noteY += note.height() + 0.2 * line;
    }
    for (int i = 0; i < kBarCount; ++i) {
        Layout::Row& row = out.rows[i];
        row.name.moveTop(top);
        row.value.moveTop(row.name.bottom());
        row.barY = top + line * 0.9;
        row.explanation.moveTop(row.barY + 7);
        top += rowHeight[i] + extra;
    }
    return out;
}

void CLengthWnd::drawText(QPainter& painter, const QRectF& box, int flags, const QString& text) {
    painter.drawText(box, flags, text);
    m_painted << text;
    m_boxes.push_back({text, box, flags, painter.font()});
}

void CLengthWnd::paintEvent(QPaintEvent*) {
    m_painted.clear();
    m_boxes.clear();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    // Not the palette's text colour, which is light under a dark theme.
    painter.setPen(Qt::black);
    const Layout layout = layOut(width(), height());

    painter.setFont(Bold(font()));
    drawText(painter, layout.title, kWrap, QString::fromLatin1(kLengthFigureTitle));
    painter.setFont(font());
    drawText(painter, layout.heading, kWrap, m_heading);
    painter.setPen(kNoteColour);
    for (std::size_t i = 0; i < layout.notes.size(); ++i) {
        drawText(painter, layout.notes[i], kWrap, FromUtf8(m_figure.notes[i]));
    }
    paintFigure(painter, layout.figure);
    paintBars(painter, layout);
}

void CLengthWnd::paintFigure(QPainter& painter, const QRectF& area) {
    const LengthFigure& f = m_figure;
    const double line = fontMetrics().height();
    // The curve with room around it for its labels.
    const QRectF curveArea = area.adjusted(2 * line, 1.5 * line, -2 * line, -1.5 * line);
    if (!f.drawable || curveArea.height() < 1 || curveArea.width() < 1) return;

    // One scale for both axes, the fit extent centred; y points up in the figure.
    const double fitW = f.fitMax.x - f.fitMin.x;
    const double fitH = f.fitMax.y - f.fitMin.y;
    double scale = std::min(fitW > 0 ? curveArea.width() / fitW : INFINITY,
                            fitH > 0 ? curveArea.height() / fitH : INFINITY);
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    const QPointF centre = curveArea.center();
    const double midX = (f.fitMin.x + f.fitMax.x) / 2;
    const double midY = (f.fitMin.y + f.fitMax.y) / 2;
    auto at = [&](FigurePoint p) {
        return QPointF(centre.x() + scale * (p.x - midX), centre.y() - scale * (p.y - midY));
    };

    // A label is drawn whole or not at all: one whose place is off the figure (a tangent
    // running off towards a far PI) would be cut by the figure's edge.
    auto label = [&](const QRectF& box, int flags, const QString& text) {
        if (area.contains(QFontMetricsF(painter.font()).boundingRect(box, flags, text))) {
            drawText(painter, box, flags, text);
        }
    };
    painter.save();
    painter.setClipRect(area);
    if (f.finitePi) {
        painter.setPen(QPen(kTangentColour, 1.5));
        painter.drawLine(at(f.pc), at(f.pi));
        painter.drawLine(at(f.pi), at(f.pt));
    }
    painter.setPen(QPen(kChordColour, 1.5));
    painter.drawLine(at(f.pc), at(f.pt));
    QPainterPath arc;
    for (std::size_t i = 0; i < f.arc.size(); ++i) {
        if (i == 0) {
            arc.moveTo(at(f.arc[i]));
        } else {
            arc.lineTo(at(f.arc[i]));
        }
    }
    painter.setPen(QPen(kArcColour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arc);

    // The railroad's 100-unit chords: drawn one by one while there are few, the part chord
    // to the PT dashed; with many, a mark at the end of every k-th one.
    if (!f.chordEnds.empty()) {
        painter.setPen(QPen(kRailroadColour, 2));
        if (f.chordsPerMark == 1) {
            for (std::size_t i = 1; i < f.chordEnds.size(); ++i) {
                painter.drawLine(at(f.chordEnds[i - 1]), at(f.chordEnds[i]));
            }
            painter.setPen(QPen(kRailroadColour, 2, Qt::DashLine));
            painter.drawLine(at(f.chordEnds.back()), at(f.pt));
        }
        painter.setPen(QPen(kRailroadColour, 1.5));
        painter.setBrush(Qt::white);
        for (FigurePoint p : f.chordEnds) painter.drawEllipse(at(p), 3, 3);
        // What each chord counts for in Lrr, inside the arc where there is room.
        if (f.chordsPerMark == 1) {
            std::vector<std::pair<FigurePoint, FigurePoint>> pieces;
            for (std::size_t i = 1; i < f.chordEnds.size(); ++i) {
                pieces.emplace_back(f.chordEnds[i - 1], f.chordEnds[i]);
            }
            pieces.emplace_back(f.chordEnds.back(), f.pt);
            painter.setPen(kRailroadColour);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const bool part = i + 1 == pieces.size();
                if (part && f.partChord <= 0) continue;
                const QPointF a = at(pieces[i].first), b = at(pieces[i].second);
                if (QLineF(a, b).length() < 3 * line) continue;
                const QString text =
                    part ? QString::number(f.partChord, 'f', 3) : QStringLiteral("100");
                const QPointF inward = Towards((a + b) / 2, at(f.centre));
                label(LabelBox((a + b) / 2 + 0.9 * line * inward, line), Qt::AlignCenter, text);
            }
        }
    }

    // The letters of the elements; their values are on the bars below.
    const QPointF arcTop = at(f.arc[f.arc.size() / 2]);
    const QPointF outward = -Towards(arcTop, at(f.centre));
    painter.setPen(kArcColour);
    label(LabelBox(arcTop + 0.9 * line * outward, line), Qt::AlignCenter, QStringLiteral("L"));
    painter.setPen(kChordColour);
    const QPointF chordMid = (at(f.pc) + at(f.pt)) / 2;
    label(LabelBox(chordMid + 0.9 * line * outward * -1, line), Qt::AlignCenter,
          QStringLiteral("C"));
    if (f.finitePi) {
        painter.setPen(kTangentColour);
        for (FigurePoint end : {f.pc, f.pt}) {
            const QPointF mid = (at(end) + at(f.pi)) / 2;
            label(LabelBox(mid - 0.9 * line * Towards(mid, at(f.centre)), line), Qt::AlignCenter,
                  QStringLiteral("T"));
        }
    }

    // Points and their names.
    painter.setBrush(Qt::black);
    painter.setPen(Qt::black);
    struct Named {
        FigurePoint p;
        const char* name;
        int flags;
        bool shown;
    } const points[] = {
        {f.pc, "PC", Qt::AlignRight | Qt::AlignTop, true},
        {f.pt, "PT", Qt::AlignLeft | Qt::AlignTop, true},
        {f.pi, "PI", Qt::AlignHCenter | Qt::AlignBottom, f.finitePi},
    };
    for (const Named& named : points) {
        if (!named.shown) continue;
        const QPointF p = at(named.p);
        painter.drawEllipse(p, 3, 3);
        const QRectF box(p.x() - 60, p.y() - line - 4, 120, line);
        QRectF placed = box;
        if (named.flags & Qt::AlignRight) placed = QRectF(p.x() - 124, p.y() + 4, 120, line);
        if (named.flags & Qt::AlignLeft) placed = QRectF(p.x() + 4, p.y() + 4, 120, line);
        label(placed, named.flags, QString::fromLatin1(named.name));
    }
    painter.restore();
}

void CLengthWnd::paintBars(QPainter& painter, const Layout& layout) {
    const LengthFigure& f = m_figure;
    double longest = 0;
    for (const LengthBar& bar : f.bars) {
        if (bar.defined) longest = std::max(longest, bar.length);
    }
    const double barLeft = layout.barLeft;
    const double barWidth = std::max(10.0, layout.barRight - barLeft - 2);
    const double scale = longest > 0 ? barWidth / longest : 0;

    for (int i = 0; i < kBarCount; ++i) {
        const LengthBar& bar = f.bars[i];
        const Layout::Row& row = layout.rows[i];
        const double barY = row.barY;
        painter.setPen(BarColour(i));
        painter.setFont(Bold(font()));
        drawText(painter, row.name, kWrap, FromUtf8(bar.name));
        painter.setPen(Qt::black);
        painter.setFont(font());
        drawText(painter, row.value, kWrap, FromUtf8(bar.value));
        if (bar.defined && scale > 0) {
            const double end = barLeft + bar.length * scale;
            painter.setPen(QPen(BarColour(i), 6, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(barLeft, barY), QPointF(end, barY));
            painter.setPen(QPen(Qt::black, 1));
            for (double x : {barLeft, end})
                painter.drawLine(QPointF(x, barY - 7), QPointF(x, barY + 7));
            painter.setPen(QPen(Qt::white, 1.5));
            for (double mark : bar.marks) {
                const double x = barLeft + mark * scale;
                if (x < end - 0.5) painter.drawLine(QPointF(x, barY - 3), QPointF(x, barY + 3));
            }
        }
        painter.setPen(bar.defined ? Qt::black : kNoteColour);
        painter.setFont(Small(font()));
        drawText(painter, row.explanation, kWrap, FromUtf8(bar.explanation));
        painter.setFont(font());
    }
}

}  // namespace bendwise

// "Length illustration": what the lengths of the current curve mean, drawn to scale for a
// student meeting the railroad definition for the first time. The curve with its long
// chord level, the railroad's run of 100-unit chords along the arc, and below it the four
// lengths laid straight to one scale: the arc L, the long chord C, Lrr divided into its
// 100-unit chords, and T + T, each with its display text. The geometry is
// BuildLengthFigure (survey/LengthFigure.h); this window only scales and paints it, every
// text wrapped to its width and the window kept tall enough for all of them.
#pragma once

#include <QFont>
#include <QRectF>
#include <QStringList>
#include <vector>

#include "survey/LengthFigure.h"
#include "ui/CurveWindow.h"

namespace bendwise {

class CLengthWnd : public CCurveWindow {
    Q_OBJECT
  public:
    explicit CLengthWnd(QWidget* calculator);

    void ShowCurve(const CCurveRecord& record) override;

    const LengthFigure& Figure() const { return m_figure; }
    // Every text of the last paint, in the order painted.
    const QStringList& PaintedTexts() const { return m_painted; }
    // The same texts with the box each was given, its flags and its font, for measuring
    // that every line is whole inside the window.
    struct PaintedText {
        QString text;
        QRectF box;
        int flags = 0;
        QFont font;
    };
    const std::vector<PaintedText>& PaintedBoxes() const { return m_boxes; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Layout;
    // Where every text and the figure go in a window `width` x `height`; texts wrapped to
    // their width, the figure given what the texts leave.
    Layout layOut(double width, double height) const;
    void drawText(QPainter& painter, const QRectF& box, int flags, const QString& text);
    void paintFigure(QPainter& painter, const QRectF& area);
    void paintBars(QPainter& painter, const Layout& layout);

    LengthFigure m_figure;
    QString m_heading;
    QStringList m_painted;
    std::vector<PaintedText> m_boxes;
};

}  // namespace bendwise

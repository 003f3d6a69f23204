// "Length illustration": what the lengths of the current curve mean, drawn to scale for a
// student meeting the railroad definition for the first time. The curve with its long
// chord level, the railroad's run of 100-unit chords along the arc, and below it the four
// lengths laid straight to one scale: the arc L, the long chord C, Lrr divided into its
// 100-unit chords, and T + T, each with its display text. The geometry is
// BuildLengthFigure (survey/LengthFigure.h); this window only scales and paints it.
#pragma once

#include <QStringList>

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

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void drawText(QPainter& painter, const QRectF& box, int flags, const QString& text);
    void paintFigure(QPainter& painter, const QRectF& area);
    void paintBars(QPainter& painter, const QRectF& area);

    LengthFigure m_figure;
    QString m_heading;
    QStringList m_painted;
};

}  // namespace bendwise

// The windows that open beside the calculator and follow its curve: the curve diagram,
// the length illustration, and stations and stakeout.
//
// Each is a top-level window owned by the calculator (a child of the calculator with
// Qt::Window), so the calculator's modal run does not block it and it closes with the
// calculator. The calculator creates a window the first time it is asked for, hands it the
// record with ShowCurve when it opens and after every recalculation while it is visible;
// the window computes what it shows from the record once, in ShowCurve, and paints or
// fills its widgets from that.
#pragma once

#include <QWidget>

#include "solver/Curve.h"

namespace bendwise {

// The room a window may take on the screen of `widget`: the screen's available area less
// an allowance for the window manager's frame and title bar.
QSize ScreenRoom(const QWidget& widget);

class CCurveWindow : public QWidget {
    Q_OBJECT
  public:
    // `calculator` owns the window; `preferred` is its size on first opening (logical
    // pixels), made smaller where the screen is smaller.
    CCurveWindow(QWidget* calculator, const QString& title, const QString& objectName,
                 QSize preferred);

    // Shows the curve of `record`: what the window shows is rebuilt from it.
    virtual void ShowCurve(const CCurveRecord& record) = 0;

    // Shows the curve and the window: the first time beside the calculator where the
    // screen has room clear of it and of the other curve windows (made smaller down to its
    // minimum size to find one), else against a screen edge, always inside the screen's
    // available area; later where the user left it, raised. With `activate` false the
    // calculator keeps the keyboard. Escape and Ctrl+W close it.
    void Open(const CCurveRecord& record, bool activate);

  private:
    void placeBesideCalculator();

    QSize m_preferred;
    bool m_placed = false;
};

}  // namespace bendwise

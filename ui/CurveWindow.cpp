#include "ui/CurveWindow.h"

#include <QScreen>
#include <algorithm>

namespace bendwise {

// Room left on the screen for the window manager's frame around a window.
constexpr int kFrameAllowance = 48;
// Gap between the calculator and a window placed beside it.
constexpr int kGap = 8;
// A window is made narrower to fit beside the calculator down to this width.
constexpr int kMinBeside = 380;
// Each window opened later is placed this much lower than the one before.
constexpr int kTitleStep = 28;

QSize ScreenRoom(const QWidget& widget) {
    return widget.screen()->availableGeometry().size() -
           QSize(kFrameAllowance / 4, kFrameAllowance);
}

CCurveWindow::CCurveWindow(QWidget* calculator, const QString& title, const QString& objectName,
                           QSize preferred)
    : QWidget(calculator, Qt::Window), m_preferred(preferred) {
    setObjectName(objectName);
    setWindowTitle(title);
}

void CCurveWindow::Open(const CCurveRecord& record, bool activate) {
    ShowCurve(record);
    if (!m_placed) {
        placeBesideCalculator();
        m_placed = true;
    }
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    if (isMinimized()) showNormal();
    show();
    raise();
    if (activate) activateWindow();
}

void CCurveWindow::placeBesideCalculator() {
    QWidget* calculator = parentWidget();
    QSize size = m_preferred.boundedTo(ScreenRoom(calculator ? *calculator : *this));
    if (!calculator) {
        resize(size);
        return;
    }
    // Beside the calculator, on the side with more room, made narrower to fit there when
    // the room is at least kMinBeside wide; otherwise against that side's screen edge,
    // over the calculator. Top-aligned with it, each window opened one title bar lower
    // than the last so that their titles stay in sight.
    const QRect free = calculator->screen()->availableGeometry();
    const QRect beside = calculator->frameGeometry();
    const int frame = kFrameAllowance / 8;  // each side of a window's frame
    const int right = free.right() - beside.right() - kGap - 2 * frame;
    const int left = beside.left() - free.left() - kGap - 2 * frame;
    const bool onRight = right >= size.width() || right >= left;
    const int room = std::max(onRight ? right : left, 0);
    if (room < size.width() && room >= kMinBeside) size.setWidth(room);
    resize(size);
    int x = onRight ? beside.right() + kGap : beside.left() - kGap - 2 * frame - size.width();
    if (room < size.width()) x = onRight ? free.right() - size.width() - 2 * frame : free.left();
    int opened = 0;
    for (const CCurveWindow* other : calculator->findChildren<CCurveWindow*>()) {
        if (other != this && other->m_placed) ++opened;
    }
    const int y = std::clamp(beside.top() + opened * kTitleStep, free.top(),
                             std::max(free.top(), free.bottom() - size.height() - kFrameAllowance));
    move(std::max(x, free.left()), y);
}

}  // namespace bendwise

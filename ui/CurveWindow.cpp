#include "ui/CurveWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <vector>

namespace bendwise {

// Room left on the screen for the window manager's frame around a window.
constexpr int kFrameAllowance = 48;
// Gap between the calculator and a window placed beside it, and between two windows.
constexpr int kGap = 8;
// Each window that finds no free place is placed this much lower than the one before.
constexpr int kTitleStep = 28;
// Sizes tried between the preferred and the smallest, largest first.
constexpr int kSizeSteps = 12;

namespace {

// The frame a window is given around its widgets, judged by the calculator's: none on a
// platform without a window manager; before the calculator is shown, the allowance.
QMargins FrameOf(const QWidget& calculator) {
    const QRect frame = calculator.frameGeometry();
    const QRect inner = calculator.geometry();
    if (!calculator.isVisible()) {
        return QMargins(kFrameAllowance / 8, kFrameAllowance - kFrameAllowance / 8,
                        kFrameAllowance / 8, kFrameAllowance / 8);
    }
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                    frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

// Where a frame of `outer` size lies nearest the calculator in `free` without covering
// any of `taken`: on the top-left corner positions that put it against a screen edge or
// `kGap` beside a taken rectangle. Nearest: the smallest gap to the calculator, then the
// top closest to its top, then right of it rather than left.
std::optional<QPoint> FreePlace(QSize outer, const QRect& free, const QRect& calculator,
                                const std::vector<QRect>& taken) {
    std::vector<int> xs{free.left(), free.right() + 1 - outer.width()};
    std::vector<int> ys{free.top(), free.bottom() + 1 - outer.height()};
    for (const QRect& t : taken) {
        xs.insert(xs.end(), {t.right() + 1 + kGap, t.left() - kGap - outer.width(), t.left()});
        ys.insert(ys.end(), {t.top(), t.bottom() + 1 + kGap, t.top() - kGap - outer.height()});
    }
    std::optional<QPoint> best;
    std::tuple<int, int, int> bestScore;
    for (int x : xs) {
        for (int y : ys) {
            const QRect place(QPoint(x, y), outer);
            if (!free.contains(place)) continue;
            const QRect spaced = place.adjusted(-kGap + 1, -kGap + 1, kGap - 1, kGap - 1);
            if (std::any_of(taken.begin(), taken.end(),
                            [&spaced](const QRect& t) { return t.intersects(spaced); })) {
                continue;
            }
            const int dx =
                std::max({0, place.left() - calculator.right(), calculator.left() - place.right()});
            const int dy =
                std::max({0, place.top() - calculator.bottom(), calculator.top() - place.bottom()});
            const std::tuple<int, int, int> score{dx + dy, std::abs(place.top() - calculator.top()),
                                                  place.left() >= calculator.left() ? 0 : 1};
            if (!best || score < bestScore) {
                best = place.topLeft();
                bestScore = score;
            }
        }
    }
    return best;
}

}  // namespace

QSize ScreenRoom(const QWidget& widget) {
    return widget.screen()->availableGeometry().size() -
           QSize(kFrameAllowance / 4, kFrameAllowance);
}

CCurveWindow::CCurveWindow(QWidget* calculator, const QString& title, const QString& objectName,
                           QSize preferred)
    : QWidget(calculator, Qt::Window), m_preferred(preferred) {
    setObjectName(objectName);
    setWindowTitle(title);
    // Escape and Ctrl+W (with the desktop's own Close keys) close this window only: the
    // calculator, where Escape ends the program, does not see them.
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!keys.contains(key)) keys << key;
    }
    auto* closing = new QAction(this);
    closing->setObjectName(QStringLiteral("closeWindow"));
    closing->setShortcuts(keys);
    closing->setShortcutContext(Qt::WindowShortcut);
    connect(closing, &QAction::triggered, this, &QWidget::close);
    addAction(closing);
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
    const QSize room = ScreenRoom(calculator ? *calculator : *this);
    const QSize preferred = m_preferred.boundedTo(room);
    if (!calculator) {
        resize(preferred);
        return;
    }
    // The largest size, from the preferred down to the smallest the window is any use at,
    // that finds a place on the calculator's screen clear of the calculator and of the
    // other curve windows on show, as near the calculator as there is room.
    const QRect free = calculator->screen()->availableGeometry();
    const QMargins frame = FrameOf(*calculator);
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QRect calculatorFrame = calculator->frameGeometry();
    std::vector<QRect> taken{calculatorFrame};
    int opened = 0;
    for (const CCurveWindow* other : calculator->findChildren<CCurveWindow*>()) {
        if (other == this || !other->m_placed) continue;
        ++opened;
        if (other->isVisible()) taken.push_back(other->frameGeometry());
    }
    const QSize smallest = minimumSizeHint().expandedTo(minimumSize()).boundedTo(preferred);
    for (int step = 0; step <= kSizeSteps; ++step) {
        const QSize size = preferred - (preferred - smallest) * step / kSizeSteps;
        if (const std::optional<QPoint> at =
                FreePlace(size + frameSize, free, calculatorFrame, taken)) {
            resize(size);
            move(*at);
            return;
        }
    }
    // No free place: at the preferred size against the screen edge on the calculator's
    // side with more room, each window one title bar lower and further in than the last
    // so that their titles stay in sight, and all of it on the screen.
    resize(preferred);
    const QSize outer = preferred + frameSize;
    const bool onRight =
        free.right() - calculatorFrame.right() >= calculatorFrame.left() - free.left();
    const int step = opened * kTitleStep;
    const int x = onRight ? free.right() + 1 - outer.width() - step : free.left() + step;
    const int y = std::clamp(calculatorFrame.top() + step, free.top(),
                             std::max(free.top(), free.bottom() + 1 - outer.height()));
    move(std::clamp(x, free.left(), std::max(free.left(), free.right() + 1 - outer.width())), y);
}

}  // namespace bendwise

#include "ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace bendwise {

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (letters / 26 + 1) / 2);
    m_baseY = metrics.height();
    if (m_baseY < 1) m_baseY = 1;
}

// Rounded to the nearest pixel, as the dialog manager scales.
int CDialogUnits::X(int units) const {
    return static_cast<int>(std::lround(units * m_baseX / 4.0));
}
int CDialogUnits::Y(int units) const {
    return static_cast<int>(std::lround(units * m_baseY / 8.0));
}

void CDialogUnits::FitText(const QFont& font, const QString& text, int widthUnits, int extra) {
    if (widthUnits <= 0 || extra < 0 || text.isEmpty()) return;
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    // One pixel more than the advance: anti-aliased glyphs spill over the last one.
    const double needed = 4.0 * (widest + extra + 1) / widthUnits;
    m_baseX = std::max(m_baseX, needed);
}

QRect CDialogUnits::Map(int x, int y, int width, int height) const {
    // Map both corners, not the size, so that neighbouring controls meet exactly as their
    // unit rectangles do.
    const int left = X(x);
    const int top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

QSize CDialogUnits::Map(int width, int height) const {
    return QSize(X(width), Y(height));
}

}  // namespace bendwise

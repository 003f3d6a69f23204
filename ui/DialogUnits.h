// Dialog units: positions written the way dialog templates write them, turned into pixels
// from the dialog font's metrics, so the window keeps its proportions with any font.
//
//   base x = average width of the 52 letters A..Z a..z, rounded: (width / 26 + 1) / 2
//   base y = the font's line height (ascent + descent)
//   x px = x * base x / 4,  y px = y * base y / 8   (rounded to the nearest pixel)
//
// With an 8-point sans serif at 96 dpi the bases are about 6 x 13, which makes the
// 260 x 342 unit calculator 390 x 556 pixels.
//
// Fonts whose words run wider than their letter average (DejaVu Sans, the usual Linux
// default) would clip captions drawn in rectangles made for a narrower face. FitText widens
// the horizontal base just enough for a caption to fit its rectangle; applied to every
// caption of a dialog, it keeps the proportions of the template and cuts no text.
#pragma once

#include <QRect>
#include <QSize>

class QFont;
class QString;

namespace bendwise {

class CDialogUnits {
  public:
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(double baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    // Widens the horizontal base so that `text` (lines separated by '\n') plus `extra`
    // pixels of decoration fits in `widthUnits` horizontal units. A negative `extra`
    // means the caption is not fitted.
    void FitText(const QFont& font, const QString& text, int widthUnits, int extra);

    double BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int X(int units) const;
    int Y(int units) const;
    QRect Map(int x, int y, int width, int height) const;
    QSize Map(int width, int height) const;

  private:
    double m_baseX;
    int m_baseY;
};

}  // namespace bendwise

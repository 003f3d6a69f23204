// "Curve Diagram": the drawing of the current curve, the same SVG document that
// bendwise-cli --svg writes (survey/CurveDiagram.h), rendered with QtSvg and fitted to the
// window with its shape kept, redrawn whenever the curve changes while the window is open.
// "Save..." writes the drawing as SVG (the document's own bytes) or as a PNG image.
#pragma once

#include <QByteArray>
#include <memory>
#include <optional>

#include "survey/Spiral.h"
#include "ui/CurveWindow.h"

class QLabel;
class QSvgRenderer;

namespace bendwise {

class CPlatform;
class CSaveFolder;

// PNG images are drawn at this multiple of the drawing's own size (900 x 600).
constexpr int kPngScale = 2;
// The drawing is opened at no less than 3/4 of its own size, so that its smallest text
// (12 px) shows at least 9 px high.
constexpr double kReadableScale = 0.75;

class CDiagramWnd : public CCurveWindow {
    Q_OBJECT
  public:
    // `platform` and `folder` (where its save dialog starts) must outlive the window.
    CDiagramWnd(CPlatform& platform, CSaveFolder& folder, QWidget* calculator);
    ~CDiagramWnd() override;

    void ShowCurve(const CCurveRecord& record) override;
    // Draws the curve with these spirals (survey/SpiralDiagram.h), or without any.
    void ShowSpirals(const std::optional<SpiralCurve>& spirals);

    // The SVG document on show.
    const QByteArray& Svg() const { return m_svg; }
    // The drawing as a PNG file's bytes, kPngScale times its own size, white behind it.
    QByteArray Png() const;
    // Where the drawing lies in the drawing area: the largest rectangle of the drawing's
    // shape, centred.
    QRect DrawingRect() const;
    // The smallest size the window opens at: the drawing at kReadableScale of its own size
    // with the button row below it, within the room the screen has.
    QSize minimumSizeHint() const override;

  private slots:
    void onSave();

  private:
    class CCanvas;

    CPlatform& m_platform;
    CSaveFolder& m_folder;
    void redraw();

    std::optional<CCurveRecord> m_record;
    std::optional<SpiralCurve> m_spirals;
    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer;
    CCanvas* m_canvas = nullptr;
    QLabel* m_message = nullptr;
};

}  // namespace bendwise

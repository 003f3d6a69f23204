#include "ui/DiagramWnd.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <cmath>

#include "survey/CurveDiagram.h"
#include "survey/SpiralDiagram.h"
#include "ui/FileWrite.h"
#include "ui/Platform.h"

namespace bendwise {

// The drawing area: white, the drawing fitted into it.
class CDiagramWnd::CCanvas : public QWidget {
  public:
    explicit CCanvas(CDiagramWnd& window) : QWidget(&window), m_window(window) {
        setObjectName(QStringLiteral("diagramCanvas"));
        setMinimumSize(kDiagramWidth / 3, kDiagramHeight / 3);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QRect Fitted() const {
        const QSize shape =
            QSize(kDiagramWidth, kDiagramHeight).scaled(size(), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - shape.width()) / 2, (height() - shape.height()) / 2), shape);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_window.m_renderer) m_window.m_renderer->render(&painter, Fitted());
    }

  private:
    CDiagramWnd& m_window;
};

CDiagramWnd::CDiagramWnd(CPlatform& platform, CSaveFolder& folder, QWidget* calculator)
    : CCurveWindow(calculator, QStringLiteral("Curve Diagram"),
                   QStringLiteral("curveDiagramWindow"),
                   // 4/5 of the drawing's size, 48 px for the button row below it.
                   QSize(kDiagramWidth * 4 / 5, kDiagramHeight * 4 / 5 + 48)),
      m_platform(platform),
      m_folder(folder),
      m_renderer(std::make_unique<QSvgRenderer>()) {
    m_canvas = new CCanvas(*this);
    m_canvas->setAccessibleName(QStringLiteral("Curve diagram"));

    auto* save = new QPushButton(QStringLiteral("Save..."), this);
    save->setObjectName(QStringLiteral("saveDiagram"));
    save->setToolTip(QStringLiteral("Save the drawing as an SVG drawing or a PNG image"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("diagramMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(m_message, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(m_canvas, 1);
    buttons->setContentsMargins(6, 0, 6, 0);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &CDiagramWnd::onSave);
}

CDiagramWnd::~CDiagramWnd() = default;

void CDiagramWnd::ShowCurve(const CCurveRecord& record) {
    m_record = record;
    redraw();
}

void CDiagramWnd::ShowSpirals(const std::optional<SpiralCurve>& spirals) {
    m_spirals = spirals;
    if (m_record) redraw();
}

void CDiagramWnd::redraw() {
    const std::string svg =
        m_spirals ? BuildSpiralSvg(*m_record, *m_spirals) : BuildCurveSvg(*m_record);
    // A check box that changes nothing drawn (acres, packed) costs no new drawing.
    if (m_svg.size() == static_cast<qsizetype>(svg.size()) &&
        std::equal(svg.begin(), svg.end(), m_svg.constBegin())) {
        return;
    }
    m_svg = QByteArray(svg.data(), static_cast<qsizetype>(svg.size()));
    m_renderer->load(m_svg);
    m_canvas->update();
}

QRect CDiagramWnd::DrawingRect() const {
    return m_canvas->Fitted();
}

QSize CDiagramWnd::minimumSizeHint() const {
    const QSize least = QWidget::minimumSizeHint();
    if (!layout()) return least;
    // What the layout adds to the canvas: the button row, the spacing, the margins.
    const QSize around = layout()->minimumSize() - m_canvas->minimumSize();
    const QSize readable(static_cast<int>(std::ceil(kDiagramWidth * kReadableScale)),
                         static_cast<int>(std::ceil(kDiagramHeight * kReadableScale)));
    return (readable + around.expandedTo(QSize(0, 0)))
        .expandedTo(least)
        .boundedTo(ScreenRoom(*this));
}

QByteArray CDiagramWnd::Png() const {
    QImage image(kDiagramWidth * kPngScale, kDiagramHeight * kPngScale, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        m_renderer->render(&painter, QRectF(image.rect()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void CDiagramWnd::onSave() {
    const std::optional<QString> path = m_platform.AskSaveFileOfTypeIn(
        this, QStringLiteral("Save Curve Diagram"), QStringLiteral("CurveDiagram"),
        {{QStringLiteral("SVG drawing"), QStringLiteral("svg")},
         {QStringLiteral("PNG image"), QStringLiteral("png")}},
        m_folder.Path());
    if (!path) return;
    m_folder.Remember(*path);
    const bool png =
        QFileInfo(*path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    const QByteArray bytes = png ? Png() : m_svg;
    // A failure is told in a message box; the line under the drawing then says nothing.
    m_message->clear();
    if (WriteWholeFile(
            m_platform, this, *path,
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        m_message->setText(QStringLiteral("Written to %1").arg(*path));
    }
}

}  // namespace bendwise

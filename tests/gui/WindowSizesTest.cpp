// The curve windows at the sizes they open at and at their smallest, on a laptop's
// 1366 x 768 screen: every text the length illustration paints whole inside the window,
// its figure kept; the curve diagram opened large enough to read.
#include <QApplication>
#include <QFontMetricsF>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "ScriptedPlatform.h"
#include "frontend/CurveControls.h"
#include "solver/Fields.h"
#include "survey/CurveDiagram.h"
#include "ui/CurveDlg.h"
#include "ui/DiagramWnd.h"
#include "ui/LengthWnd.h"
#include "ui/Shortcuts.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;

namespace {

// Why `painted` is not whole inside `window`, or empty: its box cut it (the heading read
// "...chord definitic"), a word wider than its box was broken, or it lies off the window.
QString NotWhole(const CLengthWnd::PaintedText& painted, const QRectF& window) {
    const QFontMetricsF metrics(painted.font);
    const QRectF measured = metrics.boundingRect(painted.box, painted.flags, painted.text);
    // Half a pixel for the rounding of fractional boxes.
    const QRectF box = painted.box.adjusted(-0.5, -0.5, 0.5, 0.5);
    if (!box.contains(measured)) return "cut by its box: " + painted.text;
    if (!window.contains(measured)) return "off the window: " + painted.text;
    for (const QString& word : painted.text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (metrics.horizontalAdvance(word) > box.width()) return "broken word: " + word;
    }
    return {};
}

}  // namespace

class TestWindowSizes : public QObject {
    Q_OBJECT

  private:
    CCurveMemory m_memory;
    CScriptedPlatform m_platform;
    std::unique_ptr<CCurveDlg> m_dlg;

    void Open() {
        m_dlg = std::make_unique<CCurveDlg>(&m_memory, m_platform);
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    void Enter(Field f, const QString& text) {
        m_dlg->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
        CFieldEdit* field = m_dlg->FieldEdit(f);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    // Opens a curve window with its shortcut, pressed in the calculator.
    CCurveWindow* Shortcut(QKeyCombination key, int id) {
        m_dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(m_dlg.get())) return nullptr;
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        CCurveWindow* window = m_dlg->Window(id);
        if (window && !QTest::qWaitForWindowExposed(window)) return nullptr;
        return window;
    }

  private slots:
    void init() {
        m_memory = CCurveMemory();
        m_platform = CScriptedPlatform();
    }
    void cleanup() { m_dlg.reset(); }

    // Angles are entered as packed DMS, the calculator's default: whole degrees here.
    // The illustration's texts were cut at their box's edge and the figure dropped in a
    // small window: at its smallest, at its opening size and between, for curves with
    // long values, notes and undefined lengths, each text is whole and the figure drawn.
    void lengthTextsAreWholeAtEverySize() {
        const struct {
            const char* radius;
            const char* delta;
        } curves[] = {
            {"300", "60"},           // whole chords and a part chord, the PI in the figure
            {"40", "60"},            // no railroad chords: Lrr undefined, told why
            {"1000", "200"},         // past a half circle: no PI
            {"123456789.123", "2"},  // long values, the PI far off
            {"5000", "179"},         // tangents running off towards a far PI
        };
        Open();
        auto* lengths =
            qobject_cast<CLengthWnd*>(Shortcut(kLengthIllustrationKey, IDC_LENGTH_ILLUSTRATION));
        QVERIFY(lengths);
        const QSize opening = lengths->size();
        for (const auto& curve : curves) {
            Enter(Field::Radius, QString::fromLatin1(curve.radius));
            Enter(Field::Delta, QString::fromLatin1(curve.delta));
            // The row's curve is the one on show (an entry refused would repeat the last).
            lengths->grab();
            QVERIFY2(lengths->PaintedTexts().value(1).contains(
                         QStringLiteral("Delta %1 00 ").arg(curve.delta)),
                     curve.delta);
            const QSize smallest = lengths->minimumSize();
            QVERIFY(smallest.width() <= opening.width());
            for (const QSize size : {smallest, (smallest + opening) / 2, opening}) {
                lengths->resize(size.expandedTo(smallest));
                QTest::qWait(0);
                lengths->grab();  // paints
                const QString where = QStringLiteral("R %1 Delta %2 at %3 x %4: ")
                                          .arg(curve.radius, curve.delta)
                                          .arg(lengths->width())
                                          .arg(lengths->height());
                const auto& painted = lengths->PaintedBoxes();
                QVERIFY2(painted.size() >= 14, qPrintable(where + "too few texts"));
                for (const CLengthWnd::PaintedText& text : painted) {
                    const QString fault = NotWhole(text, QRectF(lengths->rect()));
                    QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
                }
                // The figure kept: its points named.
                for (const QString& point : {QStringLiteral("PC"), QStringLiteral("PT")}) {
                    QVERIFY2(lengths->PaintedTexts().contains(point),
                             qPrintable(where + point + " not drawn"));
                }
            }
        }
    }

    // The diagram opened at 3/4 of the drawing's size less its button row, so its 12 px
    // texts showed under 9 px: opened first, and after the other windows took room, the
    // drawing shows at a scale of 3/4 at least, its 3 : 2 shape kept, on the screen.
    void diagramOpensReadable() {
        const struct {
            QKeyCombination key;
            int id;
        } before[] = {
            {kLengthIllustrationKey, IDC_LENGTH_ILLUSTRATION},
            {kStationsStakeoutKey, IDC_STATIONS_STAKEOUT},
        };
        for (std::size_t opened = 0; opened <= std::size(before); ++opened) {
            Open();
            Enter(Field::Radius, QStringLiteral("1000"));
            Enter(Field::Delta, QStringLiteral("30"));
            for (std::size_t i = 0; i < opened; ++i) QVERIFY(Shortcut(before[i].key, before[i].id));
            auto* diagram =
                qobject_cast<CDiagramWnd*>(Shortcut(kCurveDiagramKey, IDC_CURVE_DIAGRAM));
            QVERIFY(diagram);
            const QRect drawing = diagram->DrawingRect();
            const double smallestText = drawing.width() / double(kDiagramWidth) * 12;
            QVERIFY2(smallestText >= 9,
                     qPrintable(QStringLiteral("%1 windows before: %2 px at %3 x %4")
                                    .arg(opened)
                                    .arg(smallestText)
                                    .arg(drawing.width())
                                    .arg(drawing.height())));
            QVERIFY(std::abs(drawing.width() * kDiagramHeight - drawing.height() * kDiagramWidth) <=
                    2 * kDiagramWidth);
            QVERIFY(diagram->screen()->availableGeometry().contains(diagram->frameGeometry()));
            m_dlg.reset();
        }
    }
};

QTEST_MAIN(TestWindowSizes)
#include "WindowSizesTest.moc"

// The calculator on a screen too small for it (a large scale factor, a low resolution),
// run by CTest with an offscreen screen of that size: the window fits the screen and
// every control can still be reached.
#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "ui/CurveControls.h"
#include "ui/CurveDlg.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;

class TestSmallScreen : public QObject {
    Q_OBJECT

  private slots:
    // Fault pinned: the fixed-size window ran off the bottom of the screen, and the
    // buttons of its bottom row could not be reached.
    void everyControlFitsOrScrollsIntoView() {
        CCurveMemory memory;
        CScriptedPlatform platform;
        CCurveDlg dlg(&memory, platform);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));

        // The page keeps the size of the template in dialog units; the window is smaller
        // and fits the screen with room for a title bar.
        const QRect free = dlg.screen()->availableGeometry();
        QCOMPARE(dlg.Page()->size(), dlg.Units().Map(kCurveDlgWidth, kCurveDlgHeight));
        QVERIFY2(dlg.Page()->height() > free.height() - 40, "the screen is not too small");
        QVERIFY(dlg.width() <= free.width());
        QVERIFY(dlg.height() <= free.height() - 40);

        // Tab visits every working control once round, each scrolled wholly into view.
        QWidget* viewport = dlg.ScrollArea()->viewport();
        QWidget* first = QApplication::focusWidget();
        QStringList visited;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            const QRect shown(focus->mapTo(viewport, QPoint(0, 0)), focus->size());
            QVERIFY2(viewport->rect().contains(shown), qPrintable(focus->objectName()));
            visited << focus->objectName();
        } while (QApplication::focusWidget() != first && visited.size() < 100);
        for (const char* name : {"writeNewFile", "appendToFile", "curveDiagram", "stationsStakeout",
                                 "acres", "close"}) {
            QVERIFY2(visited.contains(QLatin1String(name)), name);
        }
        // The status line, reached by a click, scrolls into view as well.
        QWidget* status = dlg.Control(IDC_STATUS_LINE);
        status->setFocus(Qt::MouseFocusReason);
        QVERIFY(viewport->rect().contains(
            QRect(status->mapTo(viewport, QPoint(0, 0)), status->size())));
    }
};

QTEST_MAIN(TestSmallScreen)
#include "SmallScreenTest.moc"

// Start-up: the acceptance box, then the calculator until it closes.
#include <QDialog>
#include <QPushButton>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "app/CurveApp.h"
#include "ui/CurveDlg.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;
using bendwise::test::ModalPoller;

class TestCurveApp : public QObject {
    Q_OBJECT

  private slots:
    void cancellingTheAcceptanceBoxEndsWithStatusZero() {
        CScriptedPlatform platform;
        CCurveApp app(platform);
        ModalPoller poller([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QVERIFY(!app.InitInstance());
        QCOMPARE(platform.exits, std::vector<int>{0});
        // The calculator never opened.
        QCOMPARE(poller.Answered(), QStringList{QStringLiteral("bendwise::CAboutDlg")});
    }

    void acceptThenCalculatorUntilClosed() {
        CScriptedPlatform platform;
        CCurveApp app(platform);
        QStringList seenInCalculator;
        CCurveRecord solved;
        ModalPoller poller([&seenInCalculator, &solved](QWidget* modal) {
            if (auto* accept = modal->findChild<QPushButton*>(QStringLiteral("accept"))) {
                accept->click();
                return;
            }
            auto* calculator = qobject_cast<CCurveDlg*>(modal);
            QVERIFY(calculator);
            seenInCalculator << calculator->FieldEdit(Field::Radius)->text()
                             << calculator->FieldEdit(Field::LengthArc)->text();
            // Always on top must not end the modal run.
            calculator->findChild<QAbstractButton*>(QStringLiteral("alwaysOnTop"))->click();
            if (calculator->isVisible()) seenInCalculator << QStringLiteral("still open");
            // A new curve, which the memory must hold after the calculator has closed.
            calculator->Model().OnKillfocus(Field::Delta, "30");
            solved = calculator->Model().Record();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QVERIFY(!app.InitInstance());
        QVERIFY(platform.exits.empty());
        QCOMPARE(poller.Answered(), (QStringList{QStringLiteral("bendwise::CAboutDlg"),
                                                 QStringLiteral("bendwise::CCurveDlg")}));
        QCOMPARE(seenInCalculator, (QStringList{"5729.578", "100.000", "still open"}));
        // The memory holds the curve the calculator last solved, and its pair.
        QCOMPARE(solved.m_delta, 30.0);
        QCOMPARE(app.Memory().m_delta, solved.m_delta);
        QCOMPARE(app.Memory().m_radius, solved.m_radius);
        QCOMPARE(app.Memory().m_lengthArc, solved.m_lengthArc);
        QVERIFY(app.Memory().m_lengthArc != 100.0);
        QCOMPARE(app.Memory().m_lastGroup, GROUP_DELTA);
    }
};

QTEST_MAIN(TestCurveApp)
#include "CurveAppTest.moc"

// The program on every desktop: a dark theme, a small screen, the keyboard from any window,
// a screen reader, and the save dialogs' folder. Run on the screen the test's environment
// fakes (tests/gui/screen-*.json); the checks that need room say so and hold on every
// screen that has it.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "ScriptedPlatform.h"
#include "frontend/CurveControls.h"
#include "report/Report.h"
#include "solver/Fields.h"
#include "ui/CurveDlg.h"
#include "ui/CurveWindow.h"
#include "ui/DiagramWnd.h"
#include "ui/LengthWnd.h"
#include "ui/PointsWnd.h"
#include "ui/Shortcuts.h"
#include "ui/StakeoutWnd.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;

namespace {

// WCAG 2 relative luminance of an sRGB colour, and the contrast ratio of two colours
// (1 : 1 to 21 : 1); text needs 4.5 : 1.
double Luminance(const QColor& colour) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark desktop theme: near-black bases, light text, as a dark GTK or KDE theme gives.
QPalette DarkPalette() {
    const QColor window(50, 50, 50), base(30, 30, 30), text(240, 240, 240);
    QPalette dark(text, window, window.lighter(150), window.darker(150), window.darker(130), text,
                  Qt::white, base, window);
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 40));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(240, 240, 240, 128));
    dark.setColor(QPalette::Highlight, QColor(48, 140, 198));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    return dark;
}

// The windows the calculator's buttons and shortcuts open, with their keys.
struct WindowKey {
    int id;
    QKeyCombination key;
    const char* title;
};
const WindowKey kWindowKeys[] = {
    {IDC_CURVE_DIAGRAM, kCurveDiagramKey, "Curve Diagram"},
    {IDC_LENGTH_ILLUSTRATION, kLengthIllustrationKey, "Length illustration"},
    {IDC_STATIONS_STAKEOUT, kStationsStakeoutKey, "Stations and Stakeout"},
    {CCurveDlg::kCurveFromPoints, kCurveFromPointsKey, "Curve from Points"},
};

// The frame of a window as it lies on the screen.
QRect Frame(const QWidget* window) {
    return window->frameGeometry();
}

// Whether `edit` shows all of its text: with the cursor moved to the end, the first
// character is still at the left edge (a longer text scrolls its start out of sight).
bool ShowsWhole(QLineEdit* edit) {
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
    const QRect inside = edit->contentsRect();
    const bool startShown =
        edit->cursorPositionAt(QPoint(inside.left() + 3, inside.center().y())) == 0;
    edit->setCursorPosition(0);
    return startShown;
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT

  private:
    CCurveMemory m_memory;
    CScriptedPlatform m_platform;
    CSaveFolder m_folder;
    std::unique_ptr<CCurveDlg> m_dlg;
    QPalette m_desktop;

    void Open() {
        m_dlg = std::make_unique<CCurveDlg>(&m_memory, m_platform, &m_folder);
        m_dlg->show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    // Presses `key` in `window`, made the active window first.
    static void Press(QWidget* window, QKeyCombination key) {
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    }
    // Opens every curve window by its shortcut in the calculator, in the table's order.
    std::vector<CCurveWindow*> OpenAll() {
        std::vector<CCurveWindow*> windows;
        for (const WindowKey& row : kWindowKeys) {
            Press(m_dlg.get(), row.key);
            CCurveWindow* window = m_dlg->Window(row.id);
            if (!window || !QTest::qWaitForWindowExposed(window)) return {};
            windows.push_back(window);
        }
        return windows;
    }
    CStakeoutWnd* Stations() const {
        return qobject_cast<CStakeoutWnd*>(m_dlg->Window(IDC_STATIONS_STAKEOUT));
    }

  private slots:
    void initTestCase() { m_desktop = QApplication::palette(); }
    void init() {
        m_memory = CCurveMemory();
        m_platform = CScriptedPlatform();
        m_folder = CSaveFolder();
    }
    void cleanup() {
        m_dlg.reset();
        QApplication::setPalette(m_desktop);
    }

    // Fault pinned: under a dark theme the entry fields were black on near-black and every
    // indicator looked set. The calculator keeps its light look; the curve windows follow
    // the theme, their drawings on white.
    void darkThemeKeepsTheCalculatorReadable() {
        QApplication::setPalette(DarkPalette());
        Open();
        QCOMPARE(m_dlg->palette().color(QPalette::Window), QColor(230, 230, 222));
        std::vector<QWidget*> texts{m_dlg->Control(IDC_STATUS_LINE)};
        for (int i = 0; i < kFieldCount; ++i) texts.push_back(m_dlg->FieldEdit(Field(i)));
        for (QWidget* field : texts) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                const QPalette& look = field->palette();
                QVERIFY2(Contrast(look.color(group, QPalette::Text),
                                  look.color(group, QPalette::Base)) >= 4.5,
                         qPrintable(field->objectName()));
            }
        }
        for (const ControlRow& row : CurveControls()) {
            if (row.kind != ControlKind::Label && row.kind != ControlKind::CheckBox) continue;
            QWidget* label = m_dlg->findChild<QWidget*>(QString::fromLatin1(row.name));
            QVERIFY(Contrast(label->palette().color(QPalette::WindowText),
                             label->palette().color(QPalette::Window)) >= 4.5);
        }
        // An indicator set and one not: the middle of the round box is dark for the one
        // and the base for the other, far apart.
        auto* indicator = qobject_cast<QRadioButton*>(m_dlg->Control(IndicatorId(kAllGroups[0])));
        QStyleOptionButton option;
        option.initFrom(indicator);
        const QPoint middle =
            indicator->style()
                ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, indicator)
                .center();
        const bool was = indicator->isChecked();
        QColor centre[2];
        for (bool set : {false, true}) {
            indicator->setChecked(set);
            centre[set] = indicator->grab().toImage().pixelColor(middle);
        }
        indicator->setChecked(was);
        QVERIFY2(Contrast(centre[0], centre[1]) >= 3.0,
                 qPrintable(centre[0].name() + " / " + centre[1].name()));
        QVERIFY(Luminance(centre[1]) < Luminance(centre[0]));

        // The curve windows take the desktop's palette; the drawings stay on white.
        for (CCurveWindow* window : OpenAll()) {
            for (QPalette::ColorRole role :
                 {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text}) {
                QCOMPARE(window->palette().color(role), DarkPalette().color(role));
            }
        }
        const QImage lengths = m_dlg->Window(IDC_LENGTH_ILLUSTRATION)->grab().toImage();
        QCOMPARE(lengths.pixelColor(2, lengths.height() - 2), QColor(Qt::white));
        auto* canvas = m_dlg->Window(IDC_CURVE_DIAGRAM)->findChild<QWidget*>("diagramCanvas");
        QCOMPARE(canvas->grab().toImage().pixelColor(1, 1), QColor(Qt::white));
    }

    // The window shortcuts and the report block's work from every window of the program;
    // Escape and Ctrl+W close a curve window and leave the calculator open.
    void keysWorkFromEveryWindow() {
        Open();
        const std::vector<CCurveWindow*> windows = OpenAll();
        QCOMPARE(windows.size(), std::size(kWindowKeys));
        std::vector<QWidget*> everywhere{m_dlg.get()};
        everywhere.insert(everywhere.end(), windows.begin(), windows.end());
        for (QWidget* from : everywhere) {
            for (const WindowKey& row : kWindowKeys) {
                m_dlg->Window(row.id)->close();
                Press(from == m_dlg->Window(row.id) ? m_dlg.get() : from, row.key);
                QVERIFY2(m_dlg->Window(row.id)->isVisible(),
                         qPrintable(from->windowTitle() + " " + row.title));
            }
            QApplication::clipboard()->clear();
            Press(from, kCopyResultsKey);
            QCOMPARE(QApplication::clipboard()->text(),
                     QString::fromStdString(BuildReportBlock(m_dlg->Model().Record())));
        }
        for (QKeyCombination close : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
            for (const WindowKey& row : kWindowKeys) {
                Press(m_dlg.get(), row.key);
                CCurveWindow* window = m_dlg->Window(row.id);
                QVERIFY(QTest::qWaitForWindowExposed(window));
                Press(window, close);
                QVERIFY2(!window->isVisible(), row.title);
                QVERIFY(m_dlg->isVisible());
            }
        }
        // Each button for a shortcut names its key.
        for (const WindowKey& row : kWindowKeys) {
            if (QWidget* button = m_dlg->Control(row.id)) {
                QVERIFY(button->toolTip().contains(KeyText(row.key)));
            }
        }
        Press(m_dlg.get(), kStationsStakeoutKey);
        QVERIFY(Stations()
                    ->findChild<QPushButton*>("curveFromPoints")
                    ->toolTip()
                    .contains(KeyText(kCurveFromPointsKey)));
    }

    // A result field's context menu copies its value, with or without a selection.
    void resultFieldMenuCopiesTheValue() {
        Open();
        CFieldEdit* result = m_dlg->FieldEdit(static_cast<Field>(kFieldCount - 1));
        QVERIFY(result->isReadOnly());
        QApplication::clipboard()->clear();
        QContextMenuEvent event(QContextMenuEvent::Mouse, result->rect().center(),
                                result->mapToGlobal(result->rect().center()));
        QApplication::sendEvent(result, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction* copy = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().remove('&').startsWith("Copy")) copy = action;
        }
        QVERIFY(copy && copy->isEnabled());
        copy->trigger();
        menu->close();
        QCOMPARE(QApplication::clipboard()->text(), result->text());
        QVERIFY(!result->text().isEmpty());
    }

    // Fault pinned: Stations and Stakeout was 905 pixels tall at least and ran off a
    // 1366 x 768 screen. It opens whole on the screen, scrolls to its last button, and
    // shows a ten-digit coordinate whole in its fields and columns.
    void stationsWindowFitsTheScreen() {
        Open();
        Press(m_dlg.get(), kStationsStakeoutKey);
        CStakeoutWnd* stations = Stations();
        QVERIFY(QTest::qWaitForWindowExposed(stations));
        const QRect free = stations->screen()->availableGeometry();
        // A taskbar or panel may take 48 pixels more than the available area says.
        const QSize room = free.size() - QSize(0, 48);
        QVERIFY(stations->minimumSize().width() <= room.width());
        QVERIFY(stations->minimumSize().height() <= room.height());
        QVERIFY(stations->size().width() <= room.width());
        QVERIFY(stations->size().height() <= room.height());
        QVERIFY2(free.contains(Frame(stations)), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(Frame(stations).x())
                                                                .arg(Frame(stations).y())
                                                                .arg(Frame(stations).width())
                                                                .arg(Frame(stations).height())));
        auto* scroll = stations->findChild<QScrollArea*>("stationsScroll");
        auto* exportButton = stations->findChild<QPushButton*>("exportPoints");
        scroll->ensureWidgetVisible(exportButton);
        QVERIFY(scroll->viewport()->rect().contains(
            QRect(exportButton->mapTo(scroll->viewport(), QPoint(0, 0)), exportButton->size())));

        // Placed by a state-plane PC; at the width it opened with, at its narrowest too.
        stations->PlaceAt(KnownPoint::Pc, NorthEast{7123456.789, 712345.678});
        for (int width : {stations->width(), stations->minimumWidth()}) {
            stations->resize(width, stations->height());
            QTest::qWait(0);
            for (const char* name : {"northing", "easting"}) {
                auto* edit = stations->findChild<QLineEdit*>(name);
                QVERIFY2(ShowsWhole(edit),
                         qPrintable(edit->text() + " at " + QString::number(width)));
            }
            auto* points = stations->findChild<QTableWidget*>("pointTable");
            auto* table = stations->findChild<QTableView*>("stakeoutTable");
            QVERIFY(points->rowCount() == 5);
            for (QTableView* view : {static_cast<QTableView*>(points), table}) {
                const QAbstractItemModel* cells = view->model();
                for (int column = 0; column < cells->columnCount(); ++column) {
                    int widest = 0;
                    for (int row = 0; row < std::min(cells->rowCount(), 50); ++row) {
                        widest = std::max(widest, view->fontMetrics().horizontalAdvance(
                                                      cells->index(row, column).data().toString()));
                    }
                    const QString heading = cells->headerData(column, Qt::Horizontal).toString();
                    if (heading != "Northing" && heading != "Easting") continue;
                    QVERIFY2(view->columnWidth(column) >= widest,
                             qPrintable(view->objectName() + " " + heading));
                    QVERIFY(widest > view->fontMetrics().horizontalAdvance("712345.678"));
                }
            }
        }
    }

    // The curve windows open clear of the calculator and of each other where the screen
    // has room, and always inside its available area.
    void windowsOpenBesideEachOther() {
        Open();
        const std::vector<CCurveWindow*> windows = OpenAll();
        QCOMPARE(windows.size(), std::size(kWindowKeys));
        const QRect free = m_dlg->screen()->availableGeometry();
        std::vector<QRect> frames{Frame(m_dlg.get())};
        for (CCurveWindow* window : windows) {
            QVERIFY2(free.contains(Frame(window)), qPrintable(window->windowTitle()));
            frames.push_back(Frame(window));
        }
        // A 1920 x 1080 screen has room for the calculator and the three windows of its
        // buttons side by side; Curve from Points may have to go over one of them.
        if (free.width() < 1900 || free.height() < 1000) return;
        for (std::size_t i = 0; i < 4; ++i) {
            for (std::size_t j = i + 1; j < 4; ++j) {
                QVERIFY2(!frames[i].intersects(frames[j]),
                         qPrintable(QString::number(i) + " over " + QString::number(j)));
            }
        }
    }

    // What a screen reader says: every control that takes the keyboard has a name, the
    // stations carry their values, the tables are named, and only results are read-only.
    void screenReaderNamesEveryControl() {
        Open();
        const std::vector<CCurveWindow*> windows = OpenAll();
        CStakeoutWnd* stations = Stations();
        stations->PlaceAt(KnownPoint::Pc, NorthEast{5000, 2000});
        std::vector<QWidget*> all{m_dlg.get()};
        all.insert(all.end(), windows.begin(), windows.end());
        for (QWidget* window : all) {
            // Down the accessible tree; a table's cells are its own business.
            std::vector<QAccessibleInterface*> todo{QAccessible::queryAccessibleInterface(window)};
            int named = 0;
            while (!todo.empty()) {
                QAccessibleInterface* node = todo.back();
                todo.pop_back();
                if (!node) continue;
                auto* widget = qobject_cast<QWidget*>(node->object());
                if (widget && widget->isVisible() && widget->isEnabled() &&
                    (widget->focusPolicy() & Qt::TabFocus) && widget != window) {
                    QVERIFY2(
                        !node->text(QAccessible::Name).trimmed().isEmpty(),
                        qPrintable(window->windowTitle() + ": " +
                                   widget->metaObject()->className() + " " + widget->objectName()));
                    ++named;
                }
                if (node->role() == QAccessible::Table) continue;
                for (int i = 0; i < node->childCount(); ++i) todo.push_back(node->child(i));
            }
            // The length illustration is a drawing only.
            QVERIFY2(named > 0 || window == m_dlg->Window(IDC_LENGTH_ILLUSTRATION),
                     qPrintable(window->windowTitle()));
        }
        for (const char* name : {"piValue", "pcValue", "ptValue"}) {
            auto* value = stations->findChild<QLabel*>(name);
            QVERIFY(!value->text().isEmpty());
            QVERIFY2(QAccessible::queryAccessibleInterface(value)
                         ->text(QAccessible::Name)
                         .contains(value->text()),
                     name);
        }
        for (const char* name : {"stakeoutTable", "pointTable"}) {
            auto* table = stations->findChild<QAbstractItemView*>(name);
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(table)->text(QAccessible::Name).isEmpty(),
                name);
        }
        for (QLineEdit* edit : m_dlg->findChildren<QLineEdit*>()) {
            const bool result = edit == m_dlg->Control(IDC_STATUS_LINE) ||
                                std::any_of(CurveControls().begin(), CurveControls().end(),
                                            [edit](const ControlRow& row) {
                                                return row.kind == ControlKind::ResultField &&
                                                       edit->objectName() == row.name;
                                            });
            QVERIFY2(edit->isReadOnly() == result, qPrintable(edit->objectName()));
        }
    }

    // Every save dialog of the run starts in the folder of the file saved last, whichever
    // window saved it.
    void saveDialogsStartInTheLastFolder() {
        QTemporaryDir first, second;
        Open();
        Press(m_dlg.get(), kStationsStakeoutKey);
        CStakeoutWnd* stations = Stations();
        stations->PlaceAt(KnownPoint::Pc, NorthEast{5000, 2000});
        auto click = [stations, this](const char* name) {
            QWidget* in = stations->findChild<QPushButton*>(name);
            if (!in) in = m_dlg->Window(IDC_CURVE_DIAGRAM)->findChild<QPushButton*>(name);
            qobject_cast<QPushButton*>(in)->click();
        };
        Press(m_dlg.get(), kCurveDiagramKey);
        m_platform.files << first.filePath("table.csv") << ""  // a cancel changes nothing
                         << second.filePath("curve.dxf") << second.filePath("plan.svg");
        click("saveCsv");
        click("exportPoints");
        click("exportPoints");
        click("saveDiagram");
        QTest::mouseClick(m_dlg->Control(IDC_WRITE_NEW_FILE), Qt::LeftButton);
        QCOMPARE(m_platform.folders,
                 (QStringList{"", first.path(), first.path(), second.path(), second.path()}));
        QCOMPARE(m_folder.Path(), second.path());
    }
};

QTEST_MAIN(TestDesktop)
#include "DesktopTest.moc"

// The curve windows beside the calculator, opened by their shortcuts and buttons on Qt's
// offscreen platform: each shows what the survey library computes for the curve on screen,
// and follows it.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ScriptedPlatform.h"
#include "frontend/CurveControls.h"
#include "survey/CurveDiagram.h"
#include "survey/ExchangeFiles.h"
#include "survey/LegalDescription.h"
#include "survey/StakeoutTable.h"
#include "ui/CurveDlg.h"
#include "ui/DiagramWnd.h"
#include "ui/DialogLook.h"
#include "ui/LengthWnd.h"
#include "ui/StakeoutWnd.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Pixels of `image` inside `area` that are not white: something was drawn there.
int Drawn(const QImage& image, const QRect& area) {
    int drawn = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2) {
            drawn += image.pixelColor(x, y) != QColor(Qt::white);
        }
    }
    return drawn;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

class TestCurveWindows : public QObject {
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
    // Types into a calculator field and leaves it with Tab.
    void Enter(Field f, const QString& text) {
        // Back to the calculator (qWaitForWindowActive would see a window of its own as
        // active already).
        m_dlg->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
        CFieldEdit* field = m_dlg->FieldEdit(f);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    // Opens a curve window with its shortcut, pressed in the calculator.
    template <typename Window>
    Window* Shortcut(Qt::Key key, int buttonId) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        auto* window = qobject_cast<Window*>(m_dlg->Window(buttonId));
        if (window && !QTest::qWaitForWindowExposed(window)) return nullptr;
        return window;
    }
    const CCurveRecord& Record() const { return m_dlg->Model().Record(); }

  private slots:
    void initTestCase() { SetDialogColours(); }
    void init() {
        m_memory = CCurveMemory();
        m_platform = CScriptedPlatform();
    }
    void cleanup() { m_dlg.reset(); }

    // The diagram is the --svg drawing of the curve on screen, redrawn by every entry,
    // fitted with its shape kept, and saved as SVG or PNG.
    void diagramIsTheDrawingOfTheCurveOnScreen() {
        Open();
        Enter(Field::Radius, QStringLiteral("1000"));
        auto* diagram = Shortcut<CDiagramWnd>(Qt::Key_D, IDC_CURVE_DIAGRAM);
        QVERIFY(diagram);
        QCOMPARE(diagram->windowTitle(), QStringLiteral("Curve Diagram"));
        QCOMPARE(diagram->Svg(), Bytes(BuildCurveSvg(Record())));
        // Shown beside the calculator.
        QVERIFY(!diagram->geometry().intersects(m_dlg->geometry()));

        // A new Delta, then a left turn through 200 degrees: redrawn each time.
        for (const QString& delta : {QStringLiteral("30"), QStringLiteral("200")}) {
            const QByteArray before = diagram->Svg();
            Enter(Field::Delta, delta);
            QVERIFY(diagram->Svg() != before);
            QCOMPARE(diagram->Svg(), Bytes(BuildCurveSvg(Record())));
        }
        QTest::mouseClick(m_dlg->Control(IDC_LEFT), Qt::LeftButton);
        QCOMPARE(diagram->Svg(), Bytes(BuildCurveSvg(Record())));
        QVERIFY(diagram->Svg().contains("Curve to the left"));

        // Fitted: the drawing's 3 : 2 shape, touching two opposite sides, centred.
        for (const QSize size : {QSize(900, 400), QSize(400, 700)}) {
            diagram->resize(size);
            QTest::qWait(0);
            auto* canvas = diagram->findChild<QWidget*>(QStringLiteral("diagramCanvas"));
            const QRect fitted = diagram->DrawingRect();
            QVERIFY(std::abs(fitted.width() * 2 - fitted.height() * 3) <= 3);
            QVERIFY(fitted.left() == 0 || fitted.top() == 0);
            QVERIFY(std::abs(fitted.center().x() - canvas->width() / 2) <= 1);
            QVERIFY(std::abs(fitted.center().y() - canvas->height() / 2) <= 1);
            const QImage shown = canvas->grab(fitted).toImage();
            QVERIFY(Drawn(shown, shown.rect()) > 500);
        }

        // Save: SVG the document's bytes, PNG an image of twice its size.
        QTemporaryDir dir;
        const QString svg = dir.filePath(QStringLiteral("plan.svg"));
        const QString png = dir.filePath(QStringLiteral("plan.png"));
        m_platform.files << svg << png;
        auto* save = diagram->findChild<QPushButton*>(QStringLiteral("saveDiagram"));
        save->click();
        QCOMPARE(ReadAll(svg), diagram->Svg());
        save->click();
        QImage image;
        QVERIFY(image.loadFromData(ReadAll(png), "PNG"));
        QCOMPARE(image.size(), QSize(kDiagramWidth * kPngScale, kDiagramHeight * kPngScale));
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        QVERIFY(Drawn(image, image.rect()) > 2000);
        QCOMPARE(m_platform.offered, (QStringList{"SVG drawing *.svg", "PNG image *.png",
                                                  "SVG drawing *.svg", "PNG image *.png"}));
        QCOMPARE(diagram->findChild<QLabel*>(QStringLiteral("diagramMessage"))->text(),
                 "Written to " + png);
        QVERIFY(m_platform.messages.isEmpty());
    }

    // What the illustration paints: the four lengths with the texts of their fields.
    void lengthIllustrationShowsTheDisplayTexts() {
        Open();
        Enter(Field::Radius, QStringLiteral("300"));
        Enter(Field::Delta, QStringLiteral("60"));
        auto* lengths = Shortcut<CLengthWnd>(Qt::Key_L, IDC_LENGTH_ILLUSTRATION);
        QVERIFY(lengths);
        QCOMPARE(lengths->windowTitle(), QStringLiteral("Length illustration"));
        auto shown = [&] {
            lengths->grab();  // paints
            return lengths->PaintedTexts();
        };
        auto text = [this](Field f) { return Q(m_dlg->Model().Text(f)).trimmed(); };
        QStringList painted = shown();
        for (const QString& expected :
             {QStringLiteral("L arc"), text(Field::LengthArc), QStringLiteral("Chord"),
              text(Field::Chord), QStringLiteral("Lrr"), text(Field::LengthRR),
              QStringLiteral("T + T"), text(Field::Tangent) + " + " + text(Field::Tangent),
              QStringLiteral("3 chords of 100 + 12.693; each chord of 100 turns the curve "
                             "through Dc 19 11 17.3"),
              QStringLiteral("100")}) {
            QVERIFY2(painted.contains(expected), qPrintable(expected));
        }
        QCOMPARE(text(Field::LengthArc), QStringLiteral("314.159"));

        // Updated with the curve; a radius below 50 has no railroad chords.
        Enter(Field::Radius, QStringLiteral("40"));
        painted = shown();
        QVERIFY(painted.contains(text(Field::LengthArc)));
        QVERIFY(painted.contains(
            QStringLiteral("undefined: a chord of 100 does not fit in a radius below 50")));
        QVERIFY(lengths->accessibleDescription().contains(QStringLiteral("L arc 41.888")));
    }

    // The stations window: PI, PC, PT and the table of the survey of the curve on screen,
    // copied and saved as the survey renders it; bad input said in the window only.
    void stationsAndStakeoutShowTheSurvey() {
        Open();
        m_dlg->Model().OnPackedDms(false);
        Enter(Field::DegreeChord, QStringLiteral("2"));
        Enter(Field::Delta, QStringLiteral("18"));
        auto* stations = Shortcut<CStakeoutWnd>(Qt::Key_T, IDC_STATIONS_STAKEOUT);
        QVERIFY(stations);
        QCOMPARE(stations->windowTitle(), QStringLiteral("Stations and Stakeout"));
        auto* pi = stations->findChild<QLineEdit*>(QStringLiteral("piStation"));
        auto* interval = stations->findChild<QLineEdit*>(QStringLiteral("interval"));
        const QAbstractItemModel* table =
            stations->findChild<QTableView*>(QStringLiteral("stakeoutTable"))->model();
        auto label = [stations](const char* name) {
            return stations->findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        QVERIFY(QTest::qWaitForWindowActive(stations));  // it takes the keyboard
        pi->selectAll();
        QTest::keyClicks(pi, QStringLiteral("25+50"));
        stations->findChild<QRadioButton*>(QStringLiteral("chordStationing"))->click();

        // The railroad example: PC at 20+96.24, PT 900 of pseudo-length on.
        QCOMPARE(label("pcValue"), QStringLiteral("20+96.24"));
        QCOMPARE(label("ptValue"), QStringLiteral("29+96.24"));
        QCOMPARE(label("piValue"), QStringLiteral("25+50.00"));
        SurveyRequest request;
        request.describe = true;
        request.piStation = 2550;
        request.stationing = Stationing::Chord;
        request.stakeoutInterval = 100;
        auto cellsMatch = [&] {
            const CurveSurvey survey = SurveyCurve(Record(), request);
            if (!survey.stakeout || survey.stakeout->error) return false;
            const std::vector<StakeoutRow>& rows = survey.stakeout->rows;
            if (table->rowCount() != static_cast<int>(rows.size())) return false;
            for (int row = 0; row < table->rowCount(); ++row) {
                const StakeoutCells cells =
                    StakeoutRowCells(*survey.stakeout, static_cast<std::size_t>(row));
                for (int column = 0; column < table->columnCount(); ++column) {
                    if (table->index(row, column).data().toString() != Q(cells[column])) {
                        return false;
                    }
                }
            }
            return true;
        };
        QCOMPARE(table->rowCount(), 11);  // PC, nine full stations (21+00 .. 29+00), PT
        QVERIFY(cellsMatch());
        QCOMPARE(
            stations->findChild<QPlainTextEdit*>(QStringLiteral("legalDescription"))->toPlainText(),
            Q(DescribeCurve(Record(), "feet")));

        // Copy and Save CSV: the table as the survey library writes it.
        stations->findChild<QPushButton*>(QStringLiteral("copyTable"))->click();
        QCOMPARE(QApplication::clipboard()->text(),
                 Q(StakeoutDelimited(*SurveyCurve(Record(), request).stakeout, '\t')));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("stakeout.csv"));
        m_platform.files << csv;
        stations->findChild<QPushButton*>(QStringLiteral("saveCsv"))->click();
        QCOMPARE(ReadAll(csv),
                 Bytes(StakeoutDelimited(*SurveyCurve(Record(), request).stakeout, ',')));
        QCOMPARE(m_platform.offered, QStringList{"CSV table *.csv"});

        // Follows the curve: a new Delta in the calculator.
        Enter(Field::Delta, QStringLiteral("12.5"));
        QVERIFY(cellsMatch());
        QCOMPARE(label("ptValue"), Q(FormatStation(SurveyCurve(Record(), request).stations->pt)));

        // Text that cannot be read: said in the window, results cleared, no message box.
        const struct {
            QLineEdit* field;
            QString text;
            QString message;
        } bad[] = {
            {pi, "25+5", "PI station \"25+5\" cannot be read: type it as 25+50, 25+50.00 or 2550."},
            {pi, "", "Type the PI station (25+50) to see the stations."},
            {interval, "0",
             "Interval \"0\" cannot be read: type a length greater than 0, such as 100 or 50."},
            {interval, "0.0001",
             "No table: a stakeout interval this short gives more than 100000 points."},
        };
        for (const auto& b : bad) {
            const QString good = b.field->text();
            b.field->setText(b.text);
            QCOMPARE(stations->Message(), b.message);
            if (b.field == pi) QCOMPARE(label("pcValue"), QString());
            QCOMPARE(table->rowCount(), 0);
            b.field->setText(good);
            QCOMPARE(stations->Message(), QString());
            QVERIFY(cellsMatch());
        }
        QVERIFY(m_platform.messages.isEmpty());
    }

    // Placed by its PC (or PI), the stations window lists the named points, adds northing
    // and easting to the table, and exports the survey library's files.
    void stationsWindowPlacesTheCurve() {
        Open();
        m_dlg->Model().OnPackedDms(false);
        Enter(Field::Radius, QStringLiteral("1000"));
        Enter(Field::Delta, QStringLiteral("30"));
        Enter(Field::InboundAz, QStringLiteral("45"));
        auto* stations = Shortcut<CStakeoutWnd>(Qt::Key_T, IDC_STATIONS_STAKEOUT);
        QVERIFY(stations);
        auto* exportButton = stations->findChild<QPushButton*>(QStringLiteral("exportPoints"));
        auto* points = stations->findChild<QTableWidget*>(QStringLiteral("pointTable"));
        QVERIFY(!exportButton->isEnabled());  // not placed yet
        stations->findChild<QLineEdit*>(QStringLiteral("northing"))->setText("5000");
        stations->findChild<QLineEdit*>(QStringLiteral("easting"))->setText("2000");

        // The worked check: PC N 5000 E 2000.
        const QStringList expected[] = {{"PC", "5000.0000", "2000.0000"},
                                        {"PI", "5189.4687", "2189.4687"},
                                        {"PT", "5258.8190", "2448.2877"},
                                        {"RP", "4292.8932", "2707.1068"},
                                        {"MPC", "5158.9186", "2207.1068"}};
        QCOMPARE(points->rowCount(), 5);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                QCOMPARE(points->item(row, column)->text(), expected[row][column]);
            }
        }
        const QAbstractItemModel* table =
            stations->findChild<QTableView*>(QStringLiteral("stakeoutTable"))->model();
        QCOMPARE(table->columnCount(), 7);
        QCOMPARE(table->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Easting"));
        QCOMPARE(table->index(0, 5).data().toString(), QStringLiteral("5000.0000"));

        // Export: the file named by the dialog, the bytes the survey library makes.
        SurveyRequest request;
        request.describe = true;
        request.piStation = 1000;
        request.stakeoutInterval = 100;
        request.known = KnownPosition{KnownPoint::Pc, {5000, 2000}};
        const CurveSurvey survey = SurveyCurve(Record(), request);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("curve.csv"));
        const QString dxf = dir.filePath(QStringLiteral("curve.dxf"));
        m_platform.files << csv << dxf;
        QVERIFY(exportButton->isEnabled());
        exportButton->click();
        exportButton->click();
        QCOMPARE(ReadAll(csv), Bytes(PointsFile(survey)));
        QCOMPARE(ReadAll(dxf), Bytes(DxfFile(Record(), survey)));
        QCOMPARE(stations->Message(), QStringLiteral("Written to %1").arg(dxf));

        // From the PI: the same points. A curve of 200 degrees has no PI to place it from.
        stations->findChild<QComboBox*>(QStringLiteral("knownPoint"))->setCurrentIndex(1);
        stations->findChild<QLineEdit*>(QStringLiteral("northing"))->setText("5189.468690981506");
        stations->findChild<QLineEdit*>(QStringLiteral("easting"))->setText("2189.468690981506");
        QCOMPARE(points->item(2, 1)->text(), QStringLiteral("5258.8190"));
        Enter(Field::Delta, QStringLiteral("200"));
        QCOMPARE(points->rowCount(), 0);
        QCOMPARE(stations->Message(),
                 QStringLiteral("No table: the curve has no PC and PT stations to stake out from. "
                                "No coordinates: a Delta of 180 degrees or more has no PI to "
                                "place the curve from."));
        QVERIFY(!exportButton->isEnabled());
        stations->findChild<QLineEdit*>(QStringLiteral("easting"))->setText("2189,47");
        QCOMPARE(stations->Message(),
                 QStringLiteral("Easting \"2189,47\" cannot be read: type a number such as 5000 or "
                                "5000.25. No table: the curve has no PC and PT stations to stake "
                                "out from."));
        QVERIFY(m_platform.messages.isEmpty());
    }

    // The windows belong to the calculator: the modal calculator does not block them, and
    // they close with it.
    void windowsCloseWithTheCalculator() {
        Open();
        for (int id : {IDC_CURVE_DIAGRAM, IDC_LENGTH_ILLUSTRATION, IDC_STATIONS_STAKEOUT}) {
            QTest::mouseClick(m_dlg->Control(id), Qt::LeftButton);
            QVERIFY(m_dlg->Window(id)->isVisible());
            QCOMPARE(m_dlg->Window(id)->parent(), m_dlg.get());
        }
        QTest::mouseClick(m_dlg->Control(IDC_CLOSE), Qt::LeftButton);
        for (int id : {IDC_CURVE_DIAGRAM, IDC_LENGTH_ILLUSTRATION, IDC_STATIONS_STAKEOUT}) {
            QVERIFY(!m_dlg->Window(id)->isVisible());
        }
    }
};

QTEST_MAIN(TestCurveWindows)
#include "CurveWindowsTest.moc"

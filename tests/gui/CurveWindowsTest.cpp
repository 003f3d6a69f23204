// The curve windows beside the calculator, opened by their shortcuts and buttons on Qt's
// offscreen platform: each shows what the survey library computes for the curve on screen,
// and follows it.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "ScriptedPlatform.h"
#include "frontend/CurveControls.h"
#include "frontend/SurveyOptions.h"
#include "solver/Fields.h"
#include "survey/CurveDiagram.h"
#include "survey/ExchangeFiles.h"
#include "survey/FieldWork.h"
#include "survey/LegalDescription.h"
#include "survey/StakeoutTable.h"
#include "text/NumberText.h"
#include "ui/CurveDlg.h"
#include "ui/DiagramWnd.h"
#include "ui/DialogLook.h"
#include "ui/LengthWnd.h"
#include "ui/PointsWnd.h"
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

// What bendwise-cli prints for `arguments` (standard output; the run must succeed).
QString Cli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(BENDWISE_CLI_PROGRAM), arguments);
    if (!cli.waitForFinished(30000) || cli.exitStatus() != QProcess::NormalExit ||
        cli.exitCode() != 0) {
        return "(bendwise-cli failed: " + QString::fromUtf8(cli.readAllStandardError()) + ")";
    }
    return QString::fromUtf8(cli.readAllStandardOutput());
}

// A coordinate as a person would paste it: enough digits to give back the double.
QString Typed(double value) {
    return QString::number(value, 'g', 17);
}

// Replaces the text of an edit field by typing.
void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit, text);
    }
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
    // Makes the calculator's curve by typing, angles in decimal degrees.
    void TypeCurve(const QString& radius, const QString& delta, const QString& inboundAz,
                   bool left) {
        auto* packed = qobject_cast<QAbstractButton*>(m_dlg->Control(IDC_PACKED_DMS));
        if (packed->isChecked()) QTest::mouseClick(packed, Qt::LeftButton);
        Enter(Field::Radius, radius);
        Enter(Field::Delta, delta);
        Enter(Field::InboundAz, inboundAz);
        auto* leftBox = qobject_cast<QAbstractButton*>(m_dlg->Control(IDC_LEFT));
        if (leftBox->isChecked() != left) QTest::mouseClick(leftBox, Qt::LeftButton);
    }

  private slots:
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

        // Text that cannot be read: said in the window, no message box; what needs it is
        // cleared, the rest stays (the description needs neither input, the stations no
        // interval).
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
        auto* description =
            stations->findChild<QPlainTextEdit*>(QStringLiteral("legalDescription"));
        const QString pc = label("pcValue");
        const QString pt = label("ptValue");
        for (const auto& b : bad) {
            const QString good = b.field->text();
            b.field->setText(b.text);
            QCOMPARE(stations->Message(), b.message);
            QCOMPARE(label("pcValue"), b.field == pi ? QString() : pc);
            QCOMPARE(label("ptValue"), b.field == pi ? QString() : pt);
            QCOMPARE(description->toPlainText(), Q(DescribeCurve(Record(), "feet")));
            QCOMPARE(table->rowCount(), 0);
            b.field->setText(good);
            QCOMPARE(stations->Message(), QString());
            QVERIFY(cellsMatch());
        }
        QVERIFY(m_platform.messages.isEmpty());

        // Fault pinned: a message of two lines pushed Copy and Save CSV over the table. It
        // wraps in room of its own: up to two lines the table keeps its place, and a longer
        // one moves the sections down whole, the buttons below the table.
        auto* view = stations->findChild<QTableView*>(QStringLiteral("stakeoutTable"));
        auto* page = stations->findChild<QWidget*>(QStringLiteral("stationsPage"));
        auto* message = stations->findChild<QLabel*>(QStringLiteral("stakeoutMessage"));
        auto placed = [page](QWidget* w) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); };
        // The layouts answer a change by posted requests, the page's, then the scroll area's.
        auto settle = [] {
            for (int i = 0; i < 3; ++i)
                QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        };
        stations->resize(stations->minimumWidth(), stations->height());
        settle();
        const QRect tableBefore = placed(view);
        const struct {
            QString station;
            QString interval;
        } messages[] = {{"", "100"}, {"25+5", "100"}, {"25+5", "0"}, {"25+5", "0.0000001x"}};
        int longest = 0;
        for (const auto& m : messages) {
            pi->setText(m.station);
            interval->setText(m.interval);
            settle();
            const int lines =
                message->heightForWidth(message->width()) / message->fontMetrics().lineSpacing();
            longest = std::max(longest, lines);
            QVERIFY(message->height() >= message->heightForWidth(message->width()));
            if (lines <= 2) QCOMPARE(placed(view), tableBefore);
            QVERIFY(!placed(message).intersects(placed(view)));
            for (const char* button : {"copyTable", "saveCsv"}) {
                const QRect at =
                    placed(stations->findChild<QPushButton*>(QString::fromLatin1(button)));
                QVERIFY2(at.top() > placed(view).bottom(), button);
            }
        }
        QVERIFY(longest >= 3);
        pi->setText(QStringLiteral("25+50"));
        interval->setText(QStringLiteral("100"));
        settle();
        QCOMPARE(placed(view), tableBefore);
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

    // Spirals typed in Stations and Stakeout: the section prints what bendwise-cli --spiral
    // prints, the open diagram becomes the spiral drawing, Export writes the spiral line,
    // and spirals too long for the curve or a length that cannot be read are said.
    void stationsWindowShowsTheSpirals() {
        Open();
        m_dlg->Model().OnPackedDms(false);
        Enter(Field::Radius, QStringLiteral("1000"));
        Enter(Field::Delta, QStringLiteral("30"));
        Enter(Field::InboundAz, QStringLiteral("45"));
        auto* diagram = Shortcut<CDiagramWnd>(Qt::Key_D, IDC_CURVE_DIAGRAM);
        QVERIFY(diagram);
        m_dlg->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_dlg.get());
        auto* stations = Shortcut<CStakeoutWnd>(Qt::Key_T, IDC_STATIONS_STAKEOUT);
        QVERIFY(stations);
        stations->findChild<QLineEdit*>(QStringLiteral("piStation"))->setText("25+00");
        stations->findChild<QLineEdit*>(QStringLiteral("interval"))->setText("50");
        stations->findChild<QComboBox*>(QStringLiteral("knownPoint"))->setCurrentIndex(1);
        stations->findChild<QLineEdit*>(QStringLiteral("northing"))->setText("5000");
        stations->findChild<QLineEdit*>(QStringLiteral("easting"))->setText("2000");
        auto* length = stations->findChild<QLineEdit*>(QStringLiteral("spiralLength"));
        auto* text = stations->findChild<QPlainTextEdit*>(QStringLiteral("spiralText"));
        QVERIFY(length && text);
        QVERIFY(!stations->Spirals());
        Retype(length, QStringLiteral("100"));

        QTemporaryDir dir;
        const QString svg = dir.filePath(QStringLiteral("s.svg"));
        const QString dxf = dir.filePath(QStringLiteral("s.dxf"));
        const QStringList words = {"packed=off",   "radius=1000", "delta=30",   "inbound-az=45",
                                   "--spiral",     "100",         "--pi",       "5000,2000",
                                   "--pi-station", "25+00",       "--stakeout", "50"};
        const QString printed = Cli(words + QStringList{"--svg", svg, "--dxf", dxf});
        // The Spiral lines come after the report block, before the circular stations.
        const qsizetype from = printed.indexOf(QStringLiteral("\nSpiral ")) + 1;
        const qsizetype to = printed.indexOf(QStringLiteral("\nStationing "));
        QVERIFY(from > 0 && to > from);
        QCOMPARE(text->toPlainText(), printed.mid(from, to + 1 - from));
        QCOMPARE(diagram->Svg(), ReadAll(svg));
        const QString exported = dir.filePath(QStringLiteral("exported.dxf"));
        m_platform.files << exported;
        stations->findChild<QPushButton*>(QStringLiteral("exportPoints"))->click();
        QCOMPARE(ReadAll(exported), ReadAll(dxf));

        // Spirals that turn more than Delta, then a length that is not a number: no
        // spirals, the circular drawing again, and why.
        auto* message = stations->findChild<QLabel*>(QStringLiteral("spiralMessage"));
        Retype(length, QStringLiteral("600"));
        QVERIFY(!stations->Spirals());
        QVERIFY(message->text().startsWith(QStringLiteral("No spirals: the two spirals turn")));
        QCOMPARE(diagram->Svg(), Bytes(BuildCurveSvg(Record())));
        Retype(length, QStringLiteral("1OO"));
        QCOMPARE(message->text(), QStringLiteral("The spiral length \"1OO\" cannot be read: type a "
                                                 "positive length such as 100 or 95.5, or leave "
                                                 "it empty for no spirals."));
        QVERIFY(text->isHidden());
        QVERIFY(m_platform.messages.isEmpty());
    }

    // Curve from Points, each kind of points taken from a curve placed by the survey
    // library: the inverse as bendwise-cli prints it, and "Use this curve" makes the
    // calculator show the fields bendwise-cli prints for the same points, placed at its PC.
    void curveFromPointsBecomesTheCalculatorsCurve() {
        Open();
        const struct {
            const char* radio;
            const char* option;
            const char* second;  // the placed curve's point typed second
            bool major;
            const char *radius, *delta, *inboundAz;
            bool left;
            NorthEast pc;
        } cases[] = {
            {"threePointsFit",
             "--three-points",
             "MPC",
             false,
             "1000",
             "30",
             "45",
             false,
             {5000, 2000}},
            {"threePointsFit",
             "--three-points",
             "MPC",
             false,
             "300",
             "200",
             "350",
             false,
             {4321.123456789012, 1234.987654321098}},
            {"radiusPointFit", "--inverse", "RP", false, "1000", "30", "45", false, {5000, 2000}},
            {"radiusPointFit", "--inverse", "RP", true, "500", "250", "300", true, {5000, 2000}},
            {"tangentPointsFit",
             "--pc-pi-pt",
             "PI",
             false,
             "800",
             "60",
             "120",
             true,
             {2222.2222222222222, 9876.54321}},
        };
        CPointsWnd* window = nullptr;
        for (const auto& c : cases) {
            const QString name =
                QStringLiteral("%1 R %2 Delta %3").arg(c.option, c.radius, c.delta);
            // The points of the curve placed at the case's PC.
            TypeCurve(c.radius, c.delta, c.inboundAz, c.left);
            SurveyRequest placed;
            placed.known = KnownPosition{KnownPoint::Pc, c.pc};
            const CurveSurvey source = SurveyCurve(Record(), placed);
            QVERIFY(source.points && !source.points->error);
            std::optional<NorthEast> second;
            for (const NamedPoint& point : NamedPoints(*source.points)) {
                if (QString::fromLatin1(point.name) == QString::fromLatin1(c.second)) {
                    second = point.at;
                }
            }
            QVERIFY2(second, qPrintable(name));
            const NorthEast points[] = {source.points->pc, *second, source.points->pt};

            if (!window) {
                window = Shortcut<CPointsWnd>(Qt::Key_P, CCurveDlg::kCurveFromPoints);
                QVERIFY(window);
                QCOMPARE(window->windowTitle(), QStringLiteral("Curve from Points"));
            }
            window->findChild<QRadioButton*>(QString::fromLatin1(c.radio))->click();
            auto* major = window->findChild<QCheckBox*>(QStringLiteral("majorArc"));
            if (major->isChecked() != c.major) major->click();
            QStringList arguments{QString::fromLatin1(c.option)};
            PointsRequest request;
            request.fit = c.option == std::string("--three-points") ? PointsFit::ThreePoints
                          : c.option == std::string("--inverse")    ? PointsFit::RadiusPoint
                                                                    : PointsFit::TangentPoints;
            request.major = c.major;
            NorthEast* typed[] = {&request.first, &request.second, &request.third};
            const char* edits[] = {"pc", "second", "pt"};
            for (int i = 0; i < 3; ++i) {
                const QString northing = Typed(points[i].northing);
                const QString easting = Typed(points[i].easting);
                Retype(window->findChild<QLineEdit*>(QString::fromLatin1(edits[i]) + "Northing"),
                       northing);
                Retype(window->findChild<QLineEdit*>(QString::fromLatin1(edits[i]) + "Easting"),
                       easting);
                arguments << northing + "," + easting;
                QVERIFY(ParseCoordinate(northing.toStdString(), typed[i]->northing));
                QVERIFY(ParseCoordinate(easting.toStdString(), typed[i]->easting));
            }
            if (c.major) arguments << QStringLiteral("--major");
            arguments << QStringLiteral("--fields");

            // The inverse, live: the core's lines for the same doubles, and the curve placed.
            const PointsInverse inverse = SolvePoints(request);
            QVERIFY2(!inverse.refusal, qPrintable(name));
            QVERIFY(window->Inverse());
            std::string lines;
            AppendInverseText(lines, inverse);
            const QString shown =
                window->findChild<QPlainTextEdit*>(QStringLiteral("inverseText"))->toPlainText();
            QCOMPARE(shown, Q(lines));
            QCOMPARE(window->Message(), QString());
            QVERIFY2(std::abs(inverse.curve.radius - Record().m_radius) < 1e-9 * Record().m_radius,
                     qPrintable(name));
            QCOMPARE(inverse.curve.left, c.left);
            const QString cli = Cli(arguments);
            QVERIFY2(cli.contains(shown), qPrintable(name + ": " + cli));

            // Before taking it the calculator has another curve.
            TypeCurve("123", "10", "0", false);
            auto* use = window->findChild<QPushButton*>(QStringLiteral("useCurve"));
            QVERIFY(use->isEnabled());
            use->click();
            for (const FieldInfo& info : Fields()) {
                const QString line = QString::fromLatin1(info.name) + "=" +
                                     m_dlg->FieldEdit(info.field)->text() + "\n";
                QVERIFY2(cli.contains(line), qPrintable(name + ": " + line + " not in\n" + cli));
            }
            QCOMPARE(m_dlg->StatusText(),
                     QStringLiteral("Curve from points taken; placed at its PC."));

            // Placed at its PC in Stations and Stakeout: the same doubles, read back.
            auto* stations = qobject_cast<CStakeoutWnd*>(m_dlg->Window(IDC_STATIONS_STAKEOUT));
            QVERIFY(stations && stations->isVisible());
            QCOMPARE(stations->findChild<QComboBox*>(QStringLiteral("knownPoint"))->currentText(),
                     QStringLiteral("PC"));
            double northing = 0, easting = 0;
            QVERIFY(ParseCoordinate(
                stations->findChild<QLineEdit*>(QStringLiteral("northing"))->text().toStdString(),
                northing));
            QVERIFY(ParseCoordinate(
                stations->findChild<QLineEdit*>(QStringLiteral("easting"))->text().toStdString(),
                easting));
            // The very doubles: QCOMPARE would allow a fuzz.
            QVERIFY(northing == inverse.curve.pc.northing);
            QVERIFY(easting == inverse.curve.pc.easting);
            QVERIFY(stations->Survey() && stations->Survey()->points);
            const CurvePoints& at = *stations->Survey()->points;
            QVERIFY(!at.error);
            QVERIFY2(std::abs(at.pt.northing - points[2].northing) < 1e-6 &&
                         std::abs(at.pt.easting - points[2].easting) < 1e-6,
                     qPrintable(name));
        }
        QVERIFY(m_platform.messages.isEmpty());
    }

    // Points that make no curve, or that cannot be read: why, in words, and nothing to use.
    void curveFromPointsSaysWhyNot() {
        Open();
        auto* window = Shortcut<CPointsWnd>(Qt::Key_P, CCurveDlg::kCurveFromPoints);
        QVERIFY(window);
        auto* use = window->findChild<QPushButton*>(QStringLiteral("useCurve"));
        const struct {
            const char* radio;
            QString points[3];
            QString tolerance;
            QString message;  // empty: the core's refusal of the same points
        } cases[] = {
            {"threePointsFit", {"5000,2000", "5050,2050", "5100,2100"}, "0.02", ""},
            {"radiusPointFit", {"5000,2000", "4000,2000", "4000,3000.5"}, "0.02", ""},
            {"radiusPointFit", {"5000,2000", "4000,2000", "4000,3000.5"}, "1", "accepted"},
            {"radiusPointFit",
             {"5000,2000", "4000,2000", "4000,3000.5"},
             "0",
             "Tolerance \"0\" "
             "cannot be read: type a length greater than 0, such as 0.02."},
            {"tangentPointsFit", {"5000,2000", "5100,2000", "5200,2000"}, "0.02", ""},
            {"tangentPointsFit", {"5000,2000", "5100,2000", "5100,2100.1"}, "0.02", ""},
            {"threePointsFit",
             {"5000,2000", "5050,2050", "5100,2100,5"},
             "0.02",
             "Easting of the PT \"2100,5\" cannot be read: type a number such as 5000 or "
             "5000.25."},
            {"tangentPointsFit",
             {"5000,2000", ",2050", "5100,2100"},
             "0.02",
             "Type the northing and easting of the PC, the PI and the PT."},
        };
        const char* edits[] = {"pc", "second", "pt"};
        for (const auto& c : cases) {
            window->findChild<QRadioButton*>(QString::fromLatin1(c.radio))->click();
            Retype(window->findChild<QLineEdit*>(QStringLiteral("tolerance")), c.tolerance);
            PointsRequest request;
            request.fit = c.radio == std::string("threePointsFit")   ? PointsFit::ThreePoints
                          : c.radio == std::string("radiusPointFit") ? PointsFit::RadiusPoint
                                                                     : PointsFit::TangentPoints;
            ParseInterval(c.tolerance.toStdString(), request.tolerance);
            NorthEast* typed[] = {&request.first, &request.second, &request.third};
            for (int i = 0; i < 3; ++i) {
                const QStringList parts = c.points[i].split(',');
                Retype(window->findChild<QLineEdit*>(QString::fromLatin1(edits[i]) + "Northing"),
                       parts[0]);
                Retype(window->findChild<QLineEdit*>(QString::fromLatin1(edits[i]) + "Easting"),
                       parts.mid(1).join(','));
                ParseCoordinate(parts[0].toStdString(), typed[i]->northing);
                ParseCoordinate(parts.mid(1).join(',').toStdString(), typed[i]->easting);
            }
            if (c.message == "accepted") {
                QCOMPARE(window->Message(), QString());
                QVERIFY(use->isEnabled());
                continue;
            }
            QVERIFY(!use->isEnabled());
            if (c.message.isEmpty()) {
                const PointsInverse refused = SolvePoints(request);
                QVERIFY2(refused.refusal, qPrintable(c.points[2]));
                QCOMPARE(window->Message(),
                         "No curve from these points: " + Q(*refused.refusal) + ".");
                std::string lines;
                AppendInverseText(lines, refused);
                QCOMPARE(window->findChild<QPlainTextEdit*>(QStringLiteral("inverseText"))
                             ->toPlainText(),
                         Q(lines));
            } else {
                QCOMPARE(window->Message(), c.message);
                QVERIFY(!window->Inverse());
            }
        }
        // Nothing was taken: the calculator keeps its curve, and no box popped up.
        QVERIFY(!m_dlg->Window(IDC_STATIONS_STAKEOUT));
        QVERIFY(m_platform.messages.isEmpty());
    }

    // Field work in Stations and Stakeout: stations from the PC, offset stakes, a setup
    // and a point's station and offset, the lines bendwise-cli prints for the same
    // request; an input that cannot be read is said, the rest still computed.
    void stationsWindowDoesTheFieldWork() {
        Open();
        TypeCurve("1000", "30", "45", false);
        auto* stations = Shortcut<CStakeoutWnd>(Qt::Key_T, IDC_STATIONS_STAKEOUT);
        QVERIFY(stations);
        auto edit = [stations](const char* name) {
            return stations->findChild<QLineEdit*>(QString::fromLatin1(name));
        };
        stations->findChild<QComboBox*>(QStringLiteral("stationOf"))->setCurrentIndex(1);
        const struct {
            const char* field;
            const char* text;
        } typing[] = {{"piStation", "10+00"},
                      {"northing", "5000"},
                      {"easting", "2000"},
                      {"offsets", "-5, 5"},
                      {"stationPointNorthing", "5100"},
                      {"stationPointEasting", "2150"},
                      {"instrumentNorthing", "5000"},
                      {"instrumentEasting", "2000"},
                      {"backsightNorthing", "6000"},
                      {"backsightEasting", "2000"}};
        for (const auto& t : typing) Retype(edit(t.field), QString::fromLatin1(t.text));
        QCOMPARE(stations->FieldWorkMessage(), QString());
        QCOMPARE(stations->findChild<QLabel*>(QStringLiteral("pcValue"))->text(),
                 QStringLiteral("10+00.00"));

        SurveyRequest request;
        request.describe = true;
        request.pcStation = 1000;
        request.stakeoutInterval = 100;
        request.known = KnownPosition{KnownPoint::Pc, {5000, 2000}};
        request.fieldWork.offsets = {-5, 5};
        request.fieldWork.stationOffsets = {{5100, 2150}};
        request.fieldWork.instrument = NorthEast{5000, 2000};
        request.fieldWork.backsight = NorthEast{6000, 2000};
        auto work = [&] { return SurveyCurve(Record(), request).fieldWork; };
        std::string text;
        AppendFieldWorkText(text, work());

        // Copied: the core's lines, which bendwise-cli prints for the same request.
        auto* copy = stations->findChild<QPushButton*>(QStringLiteral("copyFieldWork"));
        copy->click();
        QCOMPARE(QApplication::clipboard()->text(), Q(text));
        const QString cli = Cli({"packed=off", "radius=1000", "delta=30", "inbound-az=45", "--pc",
                                 "5000,2000", "--pc-station", "10+00", "--stakeout", "100",
                                 "--offsets", "-5,5", "--station-offset", "5100,2150", "--setup",
                                 "5000,2000", "--backsight", "6000,2000"});
        QVERIFY2(cli.endsWith(Q(text)), qPrintable(cli));

        // The setup table, the station and offset, the offset lines: from the same values.
        auto* setup = stations->findChild<QTableWidget*>(QStringLiteral("setupTable"));
        auto setupMatches = [&](const FieldWork& expected) {
            if (!expected.setup) return setup->rowCount() == 0;
            const SetupTable& table = *expected.setup;
            if (setup->rowCount() != static_cast<int>(table.shots.shots.size())) return false;
            for (int row = 0; row < setup->rowCount(); ++row) {
                const SetupShot& shot = table.shots.shots[static_cast<std::size_t>(row)];
                const std::string cells[] = {table.names[static_cast<std::size_t>(row)],
                                             DmsString(shot.azimuth), DmsString(shot.angleRight),
                                             FixedString(shot.distance)};
                for (int column = 0; column < 4; ++column) {
                    if (setup->item(row, column)->text() != Q(cells[column])) return false;
                }
            }
            return true;
        };
        // PC, PI, PT, RP, MPC, seven stakes and seven on each offset.
        QCOMPARE(setup->rowCount(), 5 + 7 + 2 * 7);
        QVERIFY(setupMatches(work()));
        auto* stationOffset = stations->findChild<QLabel*>(QStringLiteral("stationOffsetValue"));
        const StationOffset found = work().stationOffsets.at(0).found;
        QCOMPARE(stationOffset->text(),
                 QStringLiteral("Station %1, offset %2 (right), on the curve")
                     .arg(Q(FormatStation(found.station)), Q(CoordinateText(found.offset))));
        const QString offsetLines =
            stations->findChild<QPlainTextEdit*>(QStringLiteral("offsetStakes"))->toPlainText();
        QVERIFY(offsetLines.startsWith(QStringLiteral("Offset       -5.000 (radius 1005.000)\n")));
        QVERIFY(Q(text).contains(offsetLines));

        // Bad or missing input beside the field work: said, the rest computed without it.
        const std::string sameRefusal = *SetupShots({5000, 2000}, {5000, 2000}, {}).refusal;
        const struct {
            const char* field;
            QString text;
            QString message;
            bool offsets, setup, station;  // still asked for
        } bad[] = {
            {"offsets", "5,x",
             "Offsets \"5,x\" cannot be read: type lengths a comma apart, such as -5,5 (negative "
             "is left).",
             false, true, true},
            {"instrumentEasting", "", "Type both the northing and the easting of the instrument.",
             true, false, true},
            {"backsightNorthing", "5000", "No setup: " + Q(sameRefusal) + ".", true, true, true},
            {"stationPointNorthing", "51OO",
             "Northing of the point \"51OO\" cannot be read: type a number such as 5000 or "
             "5000.25.",
             true, true, false},
        };
        for (const auto& b : bad) {
            QLineEdit* field = edit(b.field);
            const QString good = field->text();
            Retype(field, b.text);
            QCOMPARE(stations->FieldWorkMessage(), b.message);
            SurveyRequest partial = request;
            if (!b.offsets) partial.fieldWork.offsets.clear();
            if (!b.setup) partial.fieldWork.instrument.reset();
            if (!b.setup) partial.fieldWork.backsight.reset();
            if (QString::fromLatin1(b.field) == "backsightNorthing") {
                partial.fieldWork.backsight = NorthEast{5000, 2000};
            }
            if (!b.station) partial.fieldWork.stationOffsets.clear();
            QVERIFY2(setupMatches(SurveyCurve(Record(), partial).fieldWork), b.field);
            QCOMPARE(stationOffset->text().isEmpty(), !b.station);
            QCOMPARE(stations->Message(), QString());  // the stations and table are not affected
            Retype(field, good);
            QCOMPARE(stations->FieldWorkMessage(), QString());
            QVERIFY(setupMatches(work()));
        }

        // From the PC a curve of 200 degrees has stations and a table, and no PI.
        Enter(Field::Delta, QStringLiteral("200"));
        request.fieldWork = FieldWorkRequest();
        const CurveSurvey wide = SurveyCurve(Record(), request);
        QVERIFY(wide.stakeout && !wide.stakeout->error);
        const QAbstractItemModel* table =
            stations->findChild<QTableView*>(QStringLiteral("stakeoutTable"))->model();
        QCOMPARE(table->rowCount(), static_cast<int>(wide.stakeout->rows.size()));
        QVERIFY(table->rowCount() > 30);
        QCOMPARE(stations->findChild<QLabel*>(QStringLiteral("piValue"))->text(),
                 QStringLiteral("none"));
        QCOMPARE(stations->findChild<QLabel*>(QStringLiteral("ptValue"))->text(),
                 Q(FormatStation(wide.stations->pt)));
        copy->click();
        std::string wideText;
        AppendFieldWorkText(wideText,
                            SurveyCurve(Record(),
                                        [&] {
                                            SurveyRequest all = request;
                                            all.fieldWork = SurveyRequest().fieldWork;
                                            all.fieldWork.offsets = {-5, 5};
                                            all.fieldWork.stationOffsets = {{5100, 2150}};
                                            all.fieldWork.instrument = NorthEast{5000, 2000};
                                            all.fieldWork.backsight = NorthEast{6000, 2000};
                                            return all;
                                        }())
                                .fieldWork);
        QCOMPARE(QApplication::clipboard()->text(), Q(wideText));

        // The window scrolls rather than grow past the screen; its button opens Curve from
        // Points.
        QVERIFY(stations->height() <= ScreenRoom(*stations).height());
        stations->findChild<QPushButton*>(QStringLiteral("curveFromPoints"))->click();
        QVERIFY(m_dlg->Window(CCurveDlg::kCurveFromPoints));
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg->Window(CCurveDlg::kCurveFromPoints)));
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

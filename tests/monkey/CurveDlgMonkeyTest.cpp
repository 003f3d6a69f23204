// The monkey: thousands of seeded random actions on the real calculator window, on Qt's
// offscreen platform. Random and adversarial texts typed into random fields, Tab and
// Shift+Tab, Enter, Escape, clicks on fields, check boxes and the two report buttons, the
// curve windows opened by button or shortcut and closed again;
// message boxes are the real ones, answered as soon as they open (OK clicked, Return or
// Escape pressed, at once or a few milliseconds later), the file question is answered by
// the platform layer with a file, /dev/full, a directory, a missing folder or a cancel.
//
// After every action: the invariants of fuzz/CurveInvariants.h on the window's own
// indicators, every field without the focus shows the engine's text, every open curve
// window shows the engine's curve, no modal window is
// left open, no message box ever opened inside another, every message is one the program
// has, and every report file holds only whole blocks. A watchdog ends the run with the
// last actions if one action takes more than 10 seconds (a nested modal loop that hangs).
//
// BENDWISE_MONKEY_SEED and BENDWISE_MONKEY_ACTIONS replay one seed with any length;
// BENDWISE_MONKEY_TRACE=1 prints every action and where the focus went.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "frontend/CurveControls.h"
#include "fuzz/CurveInvariants.h"
#include "survey/CurveDiagram.h"
#include "survey/LegalDescription.h"
#include "ui/CurveDlg.h"
#include "ui/DiagramWnd.h"
#include "ui/LengthWnd.h"
#include "ui/Platform.h"
#include "ui/StakeoutWnd.h"

using namespace bendwise;

namespace {

// Every text a message box of the program may show.
const std::set<QString>& KnownMessages() {
    static const std::set<QString> known = {
        "Invalid input",
        "Could not interpret input",
        "Not in DDD.MMSS format",
        "Larc cannot be less than Chord.",
        "Larc and Chord not implemented past semicircle.",
        "Arc near chord, sensitive to rounding.",
        "Can't deal with extreme value.",
        "Lrr & Chord inaccurate, possibly not unique.",
        "Lrr & Tangent numerically inaccurate.",
        "Beware of rounding when T near L/2.",
        "Beware of rounding when T near Chord/2.",
        "File does not exist or is Read-Only.",
        QString::fromUtf8(kNoSolutionMessage),
        QString::fromUtf8(kReportIncompleteMessage),
    };
    return known;
}

// Texts a surveyor, a paste or a cat on the keyboard might leave in a field.
const QStringList& AdversarialTexts() {
    static const QStringList texts = {
        "",
        " ",
        "0",
        "-0",
        "1e400",
        "-1e400",
        "1e-400",
        "1e13",
        "2e13",
        "9999999999999999",
        "inf",
        "nan",
        "-inf",
        "NaN",
        "0x10",
        "1e",
        "e5",
        ".",
        "-",
        "--",
        "---",
        "---12",
        "12.3456",
        "12.345",
        ".3456",
        "-12.3456",
        "359.5959",
        "12 30 15",
        "12-30-15",
        "N 45 30 15 E",
        "S 45 30 00 W",
        "N45E",
        "n 45 30 0e",
        "N 45 30 E",
        "12;30;15",
        QString::fromUtf8("45\u00b030'15\""),
        QString::fromUtf8("45\u00b0 30' 15"),
        "1,234.5",
        "180",
        "360",
        "179.9999",
        "0.0000001",
        "1e-30",
        "99",
        "100",
        "100.4",
        "158",
        "5e12",
        "6e12",
        "50",
        "49.999",
        "100.000",
        "5729.578",
        "S",
        "W",
        "E 1 2 3",
        "1 1e400",
        "1e308 1e308",
        "1 2 3 4 5 6 7 8",
        ";;;;",
        ",,,,",
        "''''",
        "\"\"",
    };
    return texts;
}

// Random characters from the ones that matter to the parsers, plus a few others.
QString RandomText(std::mt19937& rng) {
    static const QString alphabet = QString::fromUtf8("0123456789.-+eENSWnsw ;,'\"\u00b0xX#\\a");
    const int length = std::uniform_int_distribution<int>(0, 20)(rng);
    QString text;
    for (int i = 0; i < length; ++i) {
        text += alphabet[std::uniform_int_distribution<int>(0, alphabet.size() - 1)(rng)];
    }
    return text;
}

// The real message box of the platform, answered as soon as it is open; sounds and the
// file question are answered here.
class CMonkeyPlatform : public CQtPlatform {
  public:
    explicit CMonkeyPlatform(std::mt19937& rng) : m_rng(rng) {}

    void ShowMessage(QWidget* parent, const QString& text) override {
        messages.push_back(text);
        ++boxesShown;
        ++m_depth;
        mostAtOnce = std::max(mostAtOnce, m_depth);
        const int how = std::uniform_int_distribution<int>(0, 3)(m_rng);
        const int delay = std::uniform_int_distribution<int>(0, 1)(m_rng) * 3;
        Answer(how, delay, 0);
        CQtPlatform::ShowMessage(parent, text);
        --m_depth;
    }
    void PlaySound(Sound sound) override { sounds.push_back(sound); }
    std::optional<QString> AskSaveFile(QWidget*, const QString& title) override {
        titles.push_back(title);
        if (answers.empty()) return std::nullopt;
        const QString answer =
            answers[std::uniform_int_distribution<std::size_t>(0, answers.size() - 1)(m_rng)];
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
    void ExitProcess(int status) override { exits.push_back(status); }

    int Depth() const { return m_depth; }

    std::vector<QString> messages;
    std::vector<Sound> sounds;
    std::vector<QString> titles;
    std::vector<int> exits;
    std::vector<QString> answers;  // "" is a cancel
    int mostAtOnce = 0;
    int boxesShown = 0;

  private:
    // Answers the message box once it is the active modal window: 0 clicks OK, 1 presses
    // Return, 2 presses Escape, 3 presses Space (on the focused OK button).
    void Answer(int how, int delay, int attempt) {
        QTimer::singleShot(delay, qApp, [this, how, attempt] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) {
                if (attempt < 1000) Answer(how, 1, attempt + 1);
                return;
            }
            switch (how) {
                case 0:
                    box->button(QMessageBox::Ok)->click();
                    break;
                case 1:
                    QTest::keyClick(box, Qt::Key_Return);
                    break;
                case 2:
                    QTest::keyClick(box, Qt::Key_Escape);
                    break;
                default:
                    QTest::keyClick(box->button(QMessageBox::Ok), Qt::Key_Space);
                    break;
            }
            // A key the box did not take (focus elsewhere) must not leave it open.
            if (box->isVisible()) Answer(0, 1, attempt + 1);
        });
    }

    std::mt19937& m_rng;
    int m_depth = 0;
};

// Ends the process with the last actions when one action runs longer than the limit.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit) : m_limit(limit), m_thread([this] { Run(); }) {}
    ~Watchdog() {
        m_stop = true;
        m_thread.join();
    }
    void Begin(const std::string& action) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_recent.push_back(action);
        if (m_recent.size() > 20) m_recent.pop_front();
        m_started = Clock::now();
        m_busy = true;
    }
    void End() { m_busy = false; }

  private:
    using Clock = std::chrono::steady_clock;
    void Run() {
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_busy && Clock::now() - m_started > m_limit) {
                std::fprintf(
                    stderr,
                    "monkey: an action did not finish (nested modal loop?); last actions:\n");
                for (const auto& a : m_recent) std::fprintf(stderr, "  %s\n", a.c_str());
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }
    std::chrono::seconds m_limit;
    std::mutex m_mutex;
    std::deque<std::string> m_recent;
    Clock::time_point m_started{};
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Whole blocks only: every 11 lines a block that starts and ends with the separator.
QString WholeBlocks(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (!file.open(QIODevice::ReadOnly)) return "cannot read " + path;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return {};
    if (!bytes.endsWith('\n')) return path + " ends inside a line";
    const QList<QByteArray> lines = bytes.left(bytes.size() - 1).split('\n');
    if (lines.size() % 11 != 0) return path + QString(" has %1 lines").arg(lines.size());
    for (int i = 0; i < lines.size(); i += 11) {
        const QByteArray separator = "- - - - - - -                    ";
        if (lines[i] != separator || lines[i + 10] != separator) {
            return path + QString(" block at line %1 is not whole").arg(i + 1);
        }
    }
    return {};
}

}  // namespace

class TestCurveDlgMonkey : public QObject {
    Q_OBJECT

  private:
    void RunSeed(unsigned seed, int actions);

  private slots:
    void initTestCase() {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        // The offscreen platform warns on every message box that it cannot propagate size
        // hints; thousands of those would bury a real failure.
        static QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (!text.contains(QLatin1String("propagateSizeHints")))
                    previous(type, context, text);
            });
    }

    // Found by the monkey: destroying the window while an entry field has the focus calls
    // the dialog's focus-out slot on the half-destroyed dialog (UndefinedBehaviorSanitizer:
    // member call on an object that is only a QDialog any more).
    void noEntryTakenWhileTheWindowIsDestroyed() {
        std::mt19937 rng(0);
        CMonkeyPlatform platform(rng);
        CCurveMemory memory;
        auto dlg = std::make_unique<CCurveDlg>(&memory, platform);
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        QTest::mouseClick(dlg->FieldEdit(Field::Radius), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), dlg->FieldEdit(Field::Radius));
        QTest::keyClicks(dlg->FieldEdit(Field::Radius), "abc");  // would be "Invalid input"
        const CCurveMemory before = memory;
        dlg.reset();
        QCOMPARE(platform.boxesShown, 0);
        QVERIFY(platform.sounds.empty());
        QCOMPARE(memory.m_lastGroup, before.m_lastGroup);
    }

    void randomActions_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("actions");
        if (const char* s = std::getenv("BENDWISE_MONKEY_SEED")) {
            const char* n = std::getenv("BENDWISE_MONKEY_ACTIONS");
            QTest::newRow("replay")
                << static_cast<unsigned>(std::strtoul(s, nullptr, 10)) << (n ? std::atoi(n) : 2000);
            return;
        }
        for (unsigned seed : {1u, 2u, 3u, 4u}) {
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed << 2000;
        }
    }
    void randomActions() {
        QFETCH(unsigned, seed);
        QFETCH(int, actions);
        RunSeed(seed, actions);
    }
};

void TestCurveDlgMonkey::RunSeed(unsigned seed, int actions) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkdir("folder");
    const QString report = dir.filePath("CurveData.txt"), other = dir.filePath("other.txt");

    CCurveMemory memory;
    CMonkeyPlatform platform(rng);
    platform.answers = {report,
                        other,
                        "",
                        "/dev/full",
                        dir.filePath("folder"),
                        dir.filePath("missing/CurveData.txt")};
    std::unique_ptr<CCurveDlg> dlg;
    auto open = [&] {
        dlg = std::make_unique<CCurveDlg>(&memory, platform);
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    };
    open();

    int opened = 1, refreshes = 0, reports = 0, curveWindows = 0;
    // Any other modal window (the acceptance box behind About, reached by Enter or Space on
    // the About button) is accepted with Return, its default button, as a person would.
    int aboutBoxes = 0;
    QTimer modalAnswer;
    QObject::connect(&modalAnswer, &QTimer::timeout, &modalAnswer, [&aboutBoxes] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || qobject_cast<QMessageBox*>(modal)) return;
        ++aboutBoxes;
        QTest::keyClick(modal, Qt::Key_Return);
    });
    modalAnswer.start(2);

    const std::vector<int> boxes = {IDC_LEFT, IDC_ACRES, IDC_PACKED_DMS, IDC_ALWAYS_ON_TOP};
    Watchdog watchdog(std::chrono::seconds(10));

    for (int step = 1; step <= actions; ++step) {
        if (!dlg->isVisible()) {  // Escape, or Enter or Space on Close, ended it
            open();
            ++opened;
        }
        const std::string before = BuildReportBlock(dlg->Model().Record());
        const int kind = pick(100);
        std::string what;
        const Field field = static_cast<Field>(pick(kEntryFieldCount));
        if (kind < 35) {
            // Click into a field (sometimes a result field), select all, type.
            const Field target = pick(10) == 0 ? static_cast<Field>(pick(kFieldCount)) : field;
            QString text =
                pick(2) ? AdversarialTexts()[pick(AdversarialTexts().size())] : RandomText(rng);
            what = std::string("type '") + text.toStdString() + "' into " + InfoOf(target).name;
            watchdog.Begin(what);
            QTest::mouseClick(dlg->FieldEdit(target), Qt::LeftButton);
            if (QApplication::focusWidget() == dlg->FieldEdit(target)) {
                QTest::keyClick(dlg->FieldEdit(target), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(dlg->FieldEdit(target), Qt::Key_Delete);
                QTest::keyClicks(dlg->FieldEdit(target), text);
            }
        } else if (kind < 55) {
            what = "Tab";
            watchdog.Begin(what);
            if (QWidget* focus = QApplication::focusWidget()) QTest::keyClick(focus, Qt::Key_Tab);
        } else if (kind < 60) {
            what = "Shift+Tab";
            watchdog.Begin(what);
            if (QWidget* focus = QApplication::focusWidget())
                QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (kind < 75) {
            what = "Enter";
            watchdog.Begin(what);
            if (QWidget* focus = QApplication::focusWidget())
                QTest::keyClick(focus, Qt::Key_Return);
        } else if (kind < 82) {
            what = std::string("click into ") + InfoOf(field).name;
            watchdog.Begin(what);
            QTest::mouseClick(dlg->FieldEdit(field), Qt::LeftButton);
        } else if (kind < 93) {
            const int id = boxes[pick(static_cast<int>(boxes.size()))];
            what = "click check box " + std::to_string(id);
            watchdog.Begin(what);
            QTest::mouseClick(dlg->Control(id), Qt::LeftButton);
        } else if (kind < 96) {
            const int id = pick(2) ? IDC_WRITE_NEW_FILE : IDC_APPEND_TO_FILE;
            what = "click report button " + std::to_string(id);
            watchdog.Begin(what);
            QTest::mouseClick(dlg->Control(id), Qt::LeftButton);
        } else if (kind < 99) {
            // A curve window: its button, its shortcut, or closing it; then back to the
            // calculator, as a person would click it.
            const struct {
                int id;
                Qt::Key key;
            } windows[] = {{IDC_CURVE_DIAGRAM, Qt::Key_D},
                           {IDC_LENGTH_ILLUSTRATION, Qt::Key_L},
                           {IDC_STATIONS_STAKEOUT, Qt::Key_T}};
            const auto& window = windows[pick(3)];
            const int how = pick(3);
            what = std::string(how == 0   ? "click"
                               : how == 1 ? "shortcut"
                                          : "close") +
                   " curve window " + std::to_string(window.id);
            watchdog.Begin(what);
            if (how == 0) {
                QTest::mouseClick(dlg->Control(window.id), Qt::LeftButton);
            } else if (how == 1) {
                if (QWidget* focus = QApplication::focusWidget())
                    QTest::keyClick(focus, window.key, Qt::ControlModifier);
            } else if (QWidget* open = dlg->Window(window.id)) {
                open->close();
            }
            ++curveWindows;
            if (dlg->isVisible() && QApplication::activeModalWidget() == nullptr) {
                dlg->activateWindow();
                (void)QTest::qWaitFor([&dlg] { return QApplication::activeWindow() == dlg.get(); },
                                      200);
            }
        } else {
            what = "Escape";
            watchdog.Begin(what);
            if (QWidget* focus = QApplication::focusWidget())
                QTest::keyClick(focus, Qt::Key_Escape);
        }
        // Between two actions of a person the event loop runs: queued activation and
        // focus changes arrive before the next key or click.
        QApplication::processEvents();
        watchdog.End();
        if (std::getenv("BENDWISE_MONKEY_TRACE")) {
            QWidget* f = QApplication::focusWidget();
            qInfo(
                "%d %s | focus %s '%s' active %d", step, what.c_str(),
                f ? qPrintable(f->objectName()) : "-",
                qobject_cast<QLineEdit*>(f) ? qPrintable(qobject_cast<QLineEdit*>(f)->text()) : "",
                dlg->isActiveWindow());
        }

        const QString where =
            QString("seed %1, step %2: %3").arg(seed).arg(step).arg(QString::fromStdString(what));
        QVERIFY2(QApplication::activeModalWidget() == nullptr,
                 qPrintable("modal left open after " + where));
        QVERIFY2(platform.Depth() == 0 && platform.mostAtOnce <= 1,
                 qPrintable("message box inside another after " + where));
        for (const QString& message : platform.messages) {
            QVERIFY2(KnownMessages().count(message) == 1,
                     qPrintable("unknown message '" + message + "' after " + where));
        }
        platform.messages.clear();
        QVERIFY2(platform.exits.empty(), qPrintable("process exit asked after " + where));

        if (!dlg->isVisible()) continue;
        std::map<int, bool> indicators;
        for (int group : kAllGroups) {
            auto* radio = qobject_cast<QRadioButton*>(dlg->Control(IndicatorId(group)));
            QVERIFY(radio != nullptr);
            indicators[group] = radio->isChecked();
        }
        const CCurveModel& model = dlg->Model();
        const std::string failure = fuzz::CheckInvariants(model.Record(), memory, indicators);
        QVERIFY2(failure.empty(), qPrintable(QString::fromStdString(failure) + " after " + where));
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            if (QApplication::focusWidget() == dlg->FieldEdit(f)) continue;  // being typed in
            QVERIFY2(dlg->FieldEdit(f)->text() == QString::fromStdString(model.Text(f)),
                     qPrintable(QString("field %1 shows '%2', the engine '%3' after ")
                                    .arg(InfoOf(f).name, dlg->FieldEdit(f)->text(),
                                         QString::fromStdString(model.Text(f))) +
                                where));
        }
        // Every open curve window shows the curve on screen.
        const CCurveRecord& record = model.Record();
        auto shown = [&dlg](int id) {
            QWidget* window = dlg->Window(id);
            return window && window->isVisible() ? window : nullptr;
        };
        if (auto* diagram = qobject_cast<CDiagramWnd*>(shown(IDC_CURVE_DIAGRAM))) {
            QVERIFY2(diagram->Svg().toStdString() == BuildCurveSvg(record),
                     qPrintable("the diagram shows another curve after " + where));
        }
        if (auto* lengths = qobject_cast<CLengthWnd*>(shown(IDC_LENGTH_ILLUSTRATION))) {
            QVERIFY2(QString::fromStdString(lengths->Figure().bars[kBarArc].value) ==
                         QString::fromStdString(model.Text(Field::LengthArc)).trimmed(),
                     qPrintable("the length illustration shows another curve after " + where));
        }
        if (auto* stations = qobject_cast<CStakeoutWnd*>(shown(IDC_STATIONS_STAKEOUT))) {
            QVERIFY2(stations->Survey() &&
                         stations->Survey()->description == DescribeCurve(record, "feet"),
                     qPrintable("the stations window shows another curve after " + where));
        }
        if (BuildReportBlock(model.Record()) != before) ++refreshes;
        if (what.rfind("click report", 0) == 0) {
            ++reports;
            for (const QString& path : {report, other}) {
                const QString bad = WholeBlocks(path);
                QVERIFY2(bad.isEmpty(), qPrintable(bad + " after " + where));
            }
        }
    }
    qInfo(
        "seed %u: %d actions, %d curves changed, %d message boxes, %d sounds, %d report "
        "presses, %d curve window actions, %d windows opened, %d acceptance boxes",
        seed, actions, refreshes, platform.boxesShown, static_cast<int>(platform.sounds.size()),
        reports, curveWindows, opened, aboutBoxes);
    // A run that never reached the engine proves nothing.
    QVERIFY(refreshes > actions / 20);
    QVERIFY(platform.boxesShown > actions / 50);
}

QTEST_MAIN(TestCurveDlgMonkey)
#include "CurveDlgMonkeyTest.moc"

// The calculator's sounds as the desktop hears them: the sound-theme event each action
// plays, on the window it belongs to, and the display's bell when nothing answers.
#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "frontend/CurveControls.h"
#include "ui/CurveDlg.h"
#include "ui/EventSound.h"
#include "ui/Platform.h"

using namespace bendwise;

namespace {

// A sound server that writes down what it is asked to play and answers as told.
class CFakeBackend : public CSoundBackend {
  public:
    CFakeBackend(bool answers, QStringList* played) : m_answers(answers), m_played(played) {}
    bool Play(const SoundEvent& event, const QWidget* window) override {
        *m_played << QStringLiteral("%1 on %2")
                         .arg(QLatin1String(event.id),
                              window ? window->windowTitle() : QStringLiteral("nothing"));
        return m_answers;
    }

  private:
    bool m_answers;
    QStringList* m_played;
};

// The desktop platform's own sounds; its message boxes and save dialog answered at once.
class CSoundPlatform : public CQtPlatform {
  public:
    CSoundPlatform(bool answers, QString file)
        : CQtPlatform(std::make_unique<CFakeBackend>(answers, &played), [this] { ++beeps; }),
          m_file(std::move(file)) {}
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<QString> AskSaveFile(QWidget*, const QString&) override { return m_file; }
    void ExitProcess(int) override {}

    QStringList played;
    QStringList messages;
    int beeps = 0;

  private:
    QString m_file;
};

}  // namespace

class TestEventSound : public QObject {
    Q_OBJECT

  private slots:
    void eachActionPlaysItsEvent_data() {
        QTest::addColumn<bool>("serverAnswers");
        QTest::addColumn<int>("beeps");
        QTest::newRow("sound server plays the theme") << true << 0;
        QTest::newRow("no server or theme: the bell") << false << 3;
    }
    void eachActionPlaysItsEvent() {
        QFETCH(bool, serverAnswers);
        QFETCH(int, beeps);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        CSoundPlatform platform(serverAnswers, dir.filePath(QStringLiteral("CurveData.txt")));
        CCurveMemory memory;
        CCurveDlg dlg(&memory, platform);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));

        auto enter = [&dlg](Field field, const QString& text) {
            QWidget* edit = dlg.FieldEdit(field);
            QTest::mouseClick(edit, Qt::LeftButton);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Tab);
        };
        enter(Field::Chord, QStringLiteral("0"));     // refused with the sound only
        enter(Field::Radius, QStringLiteral("abc"));  // sound, then "Invalid input"
        QTest::mouseClick(qobject_cast<QPushButton*>(dlg.Control(IDC_WRITE_NEW_FILE)),
                          Qt::LeftButton);

        const QString warning = QStringLiteral("dialog-warning on Circular Curve Calculations");
        QCOMPARE(platform.played,
                 (QStringList{warning, warning, "complete on Circular Curve Calculations"}));
        QCOMPARE(platform.messages, QStringList{QStringLiteral("Invalid input")});
        QCOMPARE(platform.beeps, beeps);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("CurveData.txt"))));
    }

    // Without a sound server the real backend says so at once and leaves standard error
    // alone (alsa-lib's messages about a missing sound card must not reach the terminal).
    void noSoundServerIsQuietAndQuick() {
        qunsetenv("CANBERRA_DRIVER");
        qputenv("PULSE_SERVER", "unix:/nonexistent/bendwise-test-socket");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray errPath = dir.filePath(QStringLiteral("stderr")).toLocal8Bit();
        const int saved = dup(STDERR_FILENO);
        const int err = open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(saved >= 0 && err >= 0);
        dup2(err, STDERR_FILENO);
        close(err);

        QElapsedTimer clock;
        clock.start();
        const std::unique_ptr<CSoundBackend> backend = MakeThemeSoundBackend();
        const bool first = backend->Play(EventOf(Sound::Exclamation), nullptr);
        const bool second = backend->Play(EventOf(Sound::Asterisk), nullptr);
        const qint64 elapsed = clock.elapsed();

        dup2(saved, STDERR_FILENO);
        close(saved);
        QFile written(QString::fromLocal8Bit(errPath));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray());
        QVERIFY(!first && !second);
        QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    }
};

QTEST_MAIN(TestEventSound)
#include "EventSoundTest.moc"

// A Qt generic plugin that reports when each top-level window has been shown, for the
// start-up benchmark. It needs no change to the program measured: Qt loads it into any
// QGuiApplication started with
//   QT_PLUGIN_PATH=<build>/bench/plugins  QT_QPA_GENERIC_PLUGINS=bendwiseprobe
// so the calculator and the bare reference dialog are measured the same way.
//
// "Shown" means: the window's first paint has finished (the next turn of the event loop
// after the first paint event of the window or of any widget in it). At that moment the probe
// writes "shown <class name>" to standard output and flushes it. A window with an "Accept" button
// then gets that button clicked, as the user would. After BENDWISE_PROBE_WINDOWS windows (default
// 1) the process ends at once with status 0, so the launcher's wait reports its peak RSS.
#include <QtGui/qgenericplugin.h>

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class StartupProbe : public QObject {
  public:
    StartupProbe() {
        if (const char* count = std::getenv("BENDWISE_PROBE_WINDOWS")) {
            m_exitAfter = std::atoi(count) > 0 ? std::atoi(count) : 1;
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            // The paint of any widget of the window: a window whose children cover it
            // (a scroll area's page) gets no paint event of its own.
            QWidget* widget = static_cast<QWidget*>(watched)->window();
            // A property on the window itself: a later window at the same address (a
            // dialog on the stack after another) is still seen as new.
            if (!widget->property(kSeen).toBool()) {
                widget->setProperty(kSeen, true);
                QTimer::singleShot(0, this, [this, widget] { Report(widget); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    static constexpr const char* kSeen = "bendwiseProbeSeen";

    void Report(QWidget* window) {
        std::printf("shown %s\n", window->metaObject()->className());
        std::fflush(stdout);
        if (++m_shown >= m_exitAfter) std::_Exit(0);
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            if (button->text().remove(QLatin1Char('&')) == QLatin1String("Accept")) {
                button->click();
                return;
            }
        }
    }

    int m_exitAfter = 1;
    int m_shown = 0;
};

class StartupProbePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startup_probe.json")

  public:
    QObject* create(const QString&, const QString&) override {
        auto* probe = new StartupProbe;
        QCoreApplication::instance()->installEventFilter(probe);
        return probe;
    }
};

}  // namespace

#include "startup_probe.moc"

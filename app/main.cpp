// bendwise: the calculator window.
#include <QApplication>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CurveApp.h"
#include "ui/Platform.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// NAME='value', or NAME unset.
std::string Described(const char* name) {
    return IsSet(name) ? std::string(name) + "='" + std::getenv(name) + "'"
                       : std::string(name) + " unset";
}

// Qt's messages while QApplication opens the display. When the display cannot be opened
// (a DISPLAY naming no server, a WAYLAND_DISPLAY without a compositor) Qt writes several
// lines and then aborts with status 134; held back here, that becomes one line and status
// 2, as without any display. Once the display is open they are passed on as Qt would
// have written them.
struct HeldMessage {
    QtMsgType type;
    const char* file;  // the context's texts are Qt's own literals
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<HeldMessage> g_held;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr,
                     "bendwise: cannot open the graphical display (%s, %s, %s); use the "
                     "command-line calculator instead: bendwise-cli --help\n",
                     Described("DISPLAY").c_str(), Described("WAYLAND_DISPLAY").c_str(),
                     Described("QT_QPA_PLATFORM").c_str());
        std::fflush(stderr);
        std::_Exit(2);
    }
    g_held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

int main(int argc, char* argv[]) {
    // Without a display QApplication would abort with a platform-plugin dump; say what
    // happened and point to the command-line calculator instead.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        std::fputs(
            "bendwise: no graphical display (DISPLAY and WAYLAND_DISPLAY are not set); "
            "use the command-line calculator instead: bendwise-cli --help\n",
            stderr);
        return 2;
    }
    // Past a file size limit (ulimit -f) a report write then fails with EFBIG and is taken
    // back out, with a message, instead of the signal ending the calculator.
    std::signal(SIGXFSZ, SIG_IGN);
    const QtMessageHandler qtHandler = qInstallMessageHandler(HoldStartupMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& held : g_held) {
        const QMessageLogContext context(held.file, held.line, held.function, held.category);
        qtHandler(held.type, context, held.text);
    }
    g_held.clear();

    bendwise::CCurveApp::SetUpApplication();
    bendwise::CQtPlatform platform;
    bendwise::CCurveApp app(platform);
    app.InitInstance();
    return 0;
}

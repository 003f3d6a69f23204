// bendwise: the calculator window.
#include <QApplication>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CurveApp.h"
#include "bendwise/Version.h"
#include "ui/Platform.h"

namespace {

constexpr int kExitUsage = 2;  // no display, a display that cannot be opened, a bad argument

constexpr const char* kUsage = "usage: bendwise [--help | --version] [Qt options]\n";

constexpr const char* kHelp =
    "Opens the circular curve calculator window; F1 in the window shows the manual.\n"
    "For scripts and batch work without a window: bendwise-cli --help\n"
    "\n"
    "  --help, -h   this text\n"
    "  --version    the version and the licence\n"
    "\n"
    "Qt's standard options are taken as well, such as -platform NAME and -style NAME.\n"
    "\n"
    "Exit status: 0 when the window or the acceptance box is closed; 2 when there is no\n"
    "graphical display, it cannot be opened, or an argument is not understood.\n";

// --help and --version answer before Qt is started, so they need no display. Looks at
// every argument, as Qt's own options may come first. Returns -1 to go on.
int AnswerInfoOption(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf(
                "bendwise %s\n"
                "Copyright (c) 2026 The Bendwise developers\n"
                "MIT licence: free to use, copy, change and pass on; no warranty.\n",
                bendwise::kVersion);
            return 0;
        }
    }
    return -1;
}

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
        std::_Exit(kExitUsage);
    }
    g_held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int status = AnswerInfoOption(argc, argv); status >= 0) return status;
    // Without a display QApplication would abort with a platform-plugin dump; say what
    // happened and point to the command-line calculator instead.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        std::fputs(
            "bendwise: no graphical display (DISPLAY and WAYLAND_DISPLAY are not set); "
            "use the command-line calculator instead: bendwise-cli --help\n",
            stderr);
        return kExitUsage;
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
    // QApplication has taken the options it knows out of argv; whatever is left is not
    // understood (the window opens no files).
    if (argc > 1) {
        std::fprintf(stderr, "bendwise: unknown argument '%s'; bendwise --help lists the options\n",
                     argv[1]);
        return kExitUsage;
    }

    bendwise::CCurveApp::SetUpApplication();
    bendwise::CQtPlatform platform;
    bendwise::CCurveApp app(platform);
    app.InitInstance();
    return 0;
}

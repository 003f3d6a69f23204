// bendwise: the calculator window.
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/CurveApp.h"
#include "ui/AppIcon.h"
#include "ui/Platform.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
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
    QApplication application(argc, argv);
    QApplication::setWindowIcon(bendwise::MakeAppIcon());
    QApplication::setDesktopFileName(QStringLiteral("bendwise"));

    bendwise::CQtPlatform platform;
    bendwise::CCurveApp app(platform);
    app.InitInstance();
    return 0;
}

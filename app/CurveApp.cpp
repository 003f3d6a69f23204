#include "app/CurveApp.h"

#include <QApplication>
#include <QDialog>

#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/CurveDlg.h"
#include "ui/DialogLook.h"
#include "ui/Platform.h"

namespace bendwise {

void CCurveApp::SetUpApplication() {
    QApplication::setApplicationDisplayName(QStringLiteral("Bendwise"));
    QApplication::setDesktopFileName(QStringLiteral("bendwise"));
    QApplication::setWindowIcon(MakeAppIcon());
}

bool CCurveApp::InitInstance() {
    {
        CAboutDlg about(m_platform);
        ApplyDialogLook(&about);
        // Its cancel ends the process; only a test platform comes back here.
        if (about.exec() != QDialog::Accepted) return false;
    }
    m_pMemory = &m_memory;
    CCurveDlg calculator(m_pMemory, m_platform, &m_saveFolder);
    calculator.exec();
    return false;
}

}  // namespace bendwise

// The acceptance box: shown at start-up and again by the calculator's About button.
// "Accept" closes it; Escape or its close box end the whole program at once with exit
// status 0 (through CPlatform::ExitProcess, which a test platform only records).
#pragma once

#include <QDialog>

namespace bendwise {

class CPlatform;

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(CPlatform& platform, QWidget* parent = nullptr);

    void reject() override;

  private:
    CPlatform& m_platform;
};

// The project's documentation, README.md, named in the box and shown by the manual window:
// where `cmake --install` puts it when it is there, else the one in the source tree the
// program was built from (a package build knows no source tree: always the installed one).
QString DocumentationPath();

}  // namespace bendwise

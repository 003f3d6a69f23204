// The application object: owns the curve memory and the save dialogs' folder for the whole
// run, shows the acceptance box and then runs the calculator until it closes.
#pragma once

#include "solver/Curve.h"
#include "ui/Platform.h"

namespace bendwise {

class CCurveApp {
  public:
    // `platform` is not owned; a QApplication must exist.
    explicit CCurveApp(CPlatform& platform) : m_platform(platform) {}

    // What the desktop knows the program by: the display name "Bendwise" (the title of
    // every message box), the desktop entry "bendwise" and the window icon. Once, after
    // the QApplication is made.
    static void SetUpApplication();

    // The whole program: the acceptance box (cancelling it ends the process with status
    // 0), then the calculator, modal, until it is closed. Returns false, as nothing runs
    // after it.
    bool InitInstance();

    CCurveMemory& Memory() { return m_memory; }
    // Where the next save dialog starts: the folder of the last file saved in the run.
    CSaveFolder& SaveFolder() { return m_saveFolder; }

  private:
    CPlatform& m_platform;
    CCurveMemory m_memory;
    CCurveMemory* m_pMemory = nullptr;
    CSaveFolder m_saveFolder;
};

}  // namespace bendwise

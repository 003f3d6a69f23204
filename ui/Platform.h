// What the window needs from the desktop beyond its own widgets: modal messages, sounds,
// the save-file question and ending the process. The window calls these and nothing else
// for them, so the tests can answer without a blocking modal loop (a scripted platform)
// and watch the process exit without ending the test runner.
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "session/CurveHost.h"
#include "ui/EventSound.h"

class QWidget;

namespace bendwise {

// One kind of file a save dialog offers: "SVG drawing" with the suffix "svg".
struct FileType {
    QString description;
    QString suffix;
};

class CPlatform {
  public:
    virtual ~CPlatform() = default;

    // A modal message box over `parent` with an OK button only; returns once it is closed.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;

    // The warning sound of a refused entry or the completion sound of a report block.
    virtual void PlaySound(Sound sound) = 0;

    // The save dialog of the report buttons: `title`, proposed name "CurveData", filters
    // "*.txt" and "*.*", default suffix "txt", overwrite confirmed by the dialog. Returns
    // the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> AskSaveFile(QWidget* parent, const QString& title) = 0;

    // Ends the process at once with `status`. Only a test platform returns from it.
    virtual void ExitProcess(int status) = 0;

    // The save dialog of the curve windows (drawing, table): `title`, proposed `name`, one
    // filter per type ("SVG drawing (*.svg)"), the first one chosen. A name typed without
    // a suffix gets that of the filter chosen; replacing a file is confirmed by the
    // dialog. Returns the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> AskSaveFileOfType(QWidget* parent, const QString& title,
                                                     const QString& name,
                                                     const QList<FileType>& types) = 0;
};

// The desktop's own: QMessageBox, the sound theme's events (QApplication::beep() when no
// sound server or theme answers), QFileDialog, std::exit.
class CQtPlatform : public CPlatform {
  public:
    CQtPlatform();
    // Sounds through `sounds`, and `beep` when it answers that nothing will be heard.
    CQtPlatform(std::unique_ptr<CSoundBackend> sounds, std::function<void()> beep);

    void ShowMessage(QWidget* parent, const QString& text) override;
    void PlaySound(Sound sound) override;
    std::optional<QString> AskSaveFile(QWidget* parent, const QString& title) override;
    void ExitProcess(int status) override;
    std::optional<QString> AskSaveFileOfType(QWidget* parent, const QString& title,
                                             const QString& name,
                                             const QList<FileType>& types) override;

  private:
    std::unique_ptr<CSoundBackend> m_sounds;
    std::function<void()> m_beep;
};

}  // namespace bendwise

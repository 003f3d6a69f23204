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

// The folder the save dialogs of a run start in: that of the file last chosen in any of
// them (report file, table, drawing, export). The application object owns it and hands it
// down to the calculator and its windows, as it does the curve memory. Empty until a file
// is chosen: the dialogs then start in the platform's default folder.
class CSaveFolder {
  public:
    const QString& Path() const { return m_path; }
    // `file`, a full path, was chosen: its folder is where the next dialog starts.
    void Remember(const QString& file);

  private:
    QString m_path;
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

    // The same two dialogs started in `folder` (empty: the platform's default folder). The
    // windows ask these, with the folder of the last file saved in the run; a platform
    // without folders of its own to start in (a test's) may leave them to ask as above.
    virtual std::optional<QString> AskSaveFileIn(QWidget* parent, const QString& title,
                                                 const QString& folder) {
        static_cast<void>(folder);
        return AskSaveFile(parent, title);
    }
    virtual std::optional<QString> AskSaveFileOfTypeIn(QWidget* parent, const QString& title,
                                                       const QString& name,
                                                       const QList<FileType>& types,
                                                       const QString& folder) {
        static_cast<void>(folder);
        return AskSaveFileOfType(parent, title, name, types);
    }
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
    std::optional<QString> AskSaveFileIn(QWidget* parent, const QString& title,
                                         const QString& folder) override;
    std::optional<QString> AskSaveFileOfTypeIn(QWidget* parent, const QString& title,
                                               const QString& name, const QList<FileType>& types,
                                               const QString& folder) override;

  private:
    std::unique_ptr<CSoundBackend> m_sounds;
    QString m_startFolder;  // of the dialog being asked for; empty: the platform's default
    std::function<void()> m_beep;
};

}  // namespace bendwise

#include "ui/Platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace bendwise {

namespace {

// A dialog looks like the window it is over: the calculator's own light palette over the
// calculator, the desktop's over a curve window.
void LookLike(QWidget* dialog, const QWidget* parent) {
    if (parent) dialog->setPalette(parent->window()->palette());
}

// Starts `dialog` in `folder`; an empty one leaves the platform's default.
void StartIn(QFileDialog& dialog, const QString& folder) {
    if (!folder.isEmpty()) dialog.setDirectory(folder);
}

}  // namespace

void CSaveFolder::Remember(const QString& file) {
    m_path = QFileInfo(file).absolutePath();
}

CQtPlatform::CQtPlatform() : CQtPlatform(MakeThemeSoundBackend(), &QApplication::beep) {}

CQtPlatform::CQtPlatform(std::unique_ptr<CSoundBackend> sounds, std::function<void()> beep)
    : m_sounds(std::move(sounds)), m_beep(std::move(beep)) {}

void CQtPlatform::ShowMessage(QWidget* parent, const QString& text) {
    // The program's own title on every box (its display name, set at start-up); the text is
    // the message itself. Every message of the engine is a refusal or a warning.
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    LookLike(&box, parent);
    box.setTextFormat(Qt::PlainText);
    // A box holds its text and buttons only, and the window manager cuts a title wider than
    // that ("Invalid input" left "Be... e"). Room for the title beside the frame's icon and
    // buttons, in the box's own font: QMessageBox sizes itself when shown, so the width goes
    // into its layout.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QFontMetrics metrics(box.font());
        const int width = metrics.horizontalAdvance(box.windowTitle()) + 12 * metrics.height();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

void CQtPlatform::PlaySound(Sound sound) {
    // The sound belongs to the window the user is working in: the calculator, or the box
    // over it. The bell keeps a machine without sound (or without the theme) as it was.
    if (!m_sounds->Play(EventOf(sound), QApplication::activeWindow())) m_beep();
}

// The folder reaches the dialog through the two-argument questions, so that a platform made
// from this one that answers those itself (a test's) is still asked.
std::optional<QString> CQtPlatform::AskSaveFileIn(QWidget* parent, const QString& title,
                                                  const QString& folder) {
    m_startFolder = folder;
    std::optional<QString> answer = AskSaveFile(parent, title);
    m_startFolder.clear();
    return answer;
}

std::optional<QString> CQtPlatform::AskSaveFileOfTypeIn(QWidget* parent, const QString& title,
                                                        const QString& name,
                                                        const QList<FileType>& types,
                                                        const QString& folder) {
    m_startFolder = folder;
    std::optional<QString> answer = AskSaveFileOfType(parent, title, name, types);
    m_startFolder.clear();
    return answer;
}

std::optional<QString> CQtPlatform::AskSaveFile(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title);
    LookLike(&dialog, parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("*.txt"), QStringLiteral("*.*")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // The folder of the last file saved in this run (else the platform's default), always
    // with the proposed name, also when a remembered report path could not be opened.
    // Replacing an existing file is confirmed by the dialog (QFileDialog::DontConfirmOverwrite
    // stays off on purpose).
    StartIn(dialog, m_startFolder);
    dialog.selectFile(QStringLiteral("CurveData"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

void CQtPlatform::ExitProcess(int status) {
    std::fflush(nullptr);
    std::exit(status);
}

std::optional<QString> CQtPlatform::AskSaveFileOfType(QWidget* parent, const QString& title,
                                                      const QString& name,
                                                      const QList<FileType>& types) {
    QFileDialog dialog(parent, title);
    LookLike(&dialog, parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileType& type : types) {
        filters << QStringLiteral("%1 (*.%2)").arg(type.description, type.suffix);
    }
    dialog.setNameFilters(filters);
    // The suffix follows the filter chosen: a drawing named "plan" under "PNG image"
    // becomes plan.png.
    auto suffixOf = [types, filters](const QString& filter) {
        const qsizetype i = filters.indexOf(filter);
        return i >= 0 ? types[i].suffix : QString();
    };
    if (!types.isEmpty()) dialog.setDefaultSuffix(types.front().suffix);
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    StartIn(dialog, m_startFolder);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

}  // namespace bendwise

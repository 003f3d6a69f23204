#include "ui/Platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace bendwise {

CQtPlatform::CQtPlatform() : CQtPlatform(MakeThemeSoundBackend(), &QApplication::beep) {}

CQtPlatform::CQtPlatform(std::unique_ptr<CSoundBackend> sounds, std::function<void()> beep)
    : m_sounds(std::move(sounds)), m_beep(std::move(beep)) {}

void CQtPlatform::ShowMessage(QWidget* parent, const QString& text) {
    // The program's own title on every box; the text is the message itself.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void CQtPlatform::PlaySound(Sound sound) {
    // The sound belongs to the window the user is working in: the calculator, or the box
    // over it. The bell keeps a machine without sound (or without the theme) as it was.
    if (!m_sounds->Play(EventOf(sound), QApplication::activeWindow())) m_beep();
}

std::optional<QString> CQtPlatform::AskSaveFile(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("*.txt"), QStringLiteral("*.*")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // The platform's default folder, always with the proposed name, also when a remembered
    // report path could not be opened. Replacing an existing file is confirmed by the
    // dialog (QFileDialog::DontConfirmOverwrite stays off on purpose).
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

}  // namespace bendwise

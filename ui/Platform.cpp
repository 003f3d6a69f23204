#include "ui/Platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace bendwise {

void CQtPlatform::ShowMessage(QWidget* parent, const QString& text) {
    // The program's own title on every box; the text is the message itself.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void CQtPlatform::PlaySound(Sound sound) {
    // Both the warning and the completion sound are the display's bell: a bare X server or
    // Wayland compositor offers no named event sounds through Qt Widgets.
    (void)sound;
    QApplication::beep();
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

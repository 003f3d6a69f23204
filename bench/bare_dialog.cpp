// The reference for start-up time and memory: a QApplication and a QDialog with one
// button, nothing else, built with the same compiler and flags as the calculator. The
// start-up probe plugin (startup_probe.cpp) reports when it is shown, as for the
// calculator.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    return app.exec();
}

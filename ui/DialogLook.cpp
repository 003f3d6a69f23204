#include "ui/DialogLook.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QWidget>

namespace bendwise {

void SetDialogColours() {
    QPalette palette = QApplication::palette();
    const QColor background(230, 230, 222);
    const QColor text(Qt::black);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Button, background);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Text, text);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, background);
    palette.setColor(QPalette::Disabled, QPalette::Button, background);
    QApplication::setPalette(palette);
}

void ShowAsReadOnly(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

}  // namespace bendwise

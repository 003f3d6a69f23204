#include "ui/DialogLook.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace bendwise {

QPalette DialogPalette() {
    const QColor background(230, 230, 222);
    // The bevels and scroll bars are shaded from the background by the factors the light
    // desktop palette uses on its own grey.
    const QColor dark = background.darker(150);
    const QColor mid = background.darker(130);
    QPalette palette(Qt::black, background, background.lighter(150), dark, mid, Qt::black,
                     Qt::white, Qt::white, background);
    palette.setColor(QPalette::Midlight, mid.lighter(110));
    palette.setColor(QPalette::Shadow, dark.darker(135));
    // Between the white base and the background, for alternating rows.
    palette.setColor(QPalette::AlternateBase, QColor(244, 244, 238));
    palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0, 0, 255));
    palette.setColor(QPalette::LinkVisited, QColor(255, 0, 255));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    // Disabled: grey text on the background, a grey selection.
    const QColor disabledText(150, 150, 144);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabledText);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, background);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    palette.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(0, 0, 0, 64));
    // Every role marked as set, also those left at Qt's defaults: a widget's palette takes
    // the unset roles from the application's, which is the desktop theme's.
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r == QPalette::NoRole) continue;
            palette.setBrush(g, r, palette.brush(g, r));
        }
    }
    return palette;
}

void ApplyDialogLook(QWidget* dialog) {
    dialog->setPalette(DialogPalette());
}

void ShowAsReadOnly(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

QColor ProblemColour(const QPalette& palette) {
    // RGB(176, 0, 0) is 7.4 : 1 on white and 6.4 : 1 on the light grey RGB(239, 239, 239)
    // of a light theme; RGB(255, 128, 128) is 5.3 : 1 on the dark grey RGB(50, 50, 50) of
    // a dark one and more on anything darker.
    const bool dark = palette.color(QPalette::Window).lightnessF() < 0.5;
    return dark ? QColor(255, 128, 128) : QColor(176, 0, 0);
}

}  // namespace bendwise

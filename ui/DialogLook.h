// The look of the calculator and of every dialog it opens: background red 230, green 230,
// blue 222, black text, white entry fields, and result fields that show the background
// instead of the entry white, the same under any desktop theme (a dark theme's base would
// otherwise put black digits on near-black). The curve windows follow the desktop's own
// palette, light or dark; their drawings lie on a light canvas of their own.
#pragma once

class QColor;
class QPalette;
class QWidget;

namespace bendwise {

// A complete light palette on the background RGB(230, 230, 222): every role of the active,
// inactive and disabled groups is set, so nothing of the desktop's palette shows through.
QPalette DialogPalette();

// Gives `dialog` (the calculator, its acceptance box) that palette; its controls inherit it.
void ApplyDialogLook(QWidget* dialog);

// Gives a read-only edit field the dialog background, so that entry and result fields
// differ at a glance.
void ShowAsReadOnly(QWidget* field);

// The colour of a problem said in words in a window that follows the desktop: dark red on
// a light window, light red on a dark one, at least 4.5 : 1 against either background.
QColor ProblemColour(const QPalette& palette);

}  // namespace bendwise

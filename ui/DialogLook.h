// The look every dialog of the program shares: background red 230, green 230, blue 222,
// black text, and result fields that show the background instead of the entry white.
#pragma once

class QWidget;

namespace bendwise {

// Sets the application palette: window background RGB(230, 230, 222), black text.
void SetDialogColours();

// Gives a read-only edit field the dialog background, so that entry and result fields
// differ at a glance.
void ShowAsReadOnly(QWidget* field);

}  // namespace bendwise

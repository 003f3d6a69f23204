// The program's keys that work from every one of its windows (the calculator, the curve
// windows): what each opens or copies. The calculator owns the shortcuts; a window's button
// for the same thing names the key in its tooltip.
#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QString>

namespace bendwise {

constexpr QKeyCombination kCurveDiagramKey = Qt::CTRL | Qt::Key_D;
constexpr QKeyCombination kLengthIllustrationKey = Qt::CTRL | Qt::Key_L;
constexpr QKeyCombination kStationsStakeoutKey = Qt::CTRL | Qt::Key_T;
constexpr QKeyCombination kCurveFromPointsKey = Qt::CTRL | Qt::Key_P;
// Puts the report block of the calculator's curve on the clipboard.
constexpr QKeyCombination kCopyResultsKey = Qt::CTRL | Qt::SHIFT | Qt::Key_C;

// "Ctrl+D" as the desktop writes it, for a tooltip.
inline QString KeyText(QKeyCombination key) {
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

}  // namespace bendwise

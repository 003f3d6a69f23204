// "Curve from Points": the curve that three surveyed points make. The user picks what the
// points are (PC, a point on the arc and PT; PC, RP and PT; PC, PI and PT), types their
// northings and eastings, and the window shows the inverse as bendwise-cli prints it
// (survey/FieldWork.h's AppendInverseText) while they type: radius, Delta, turn, inbound
// azimuth, chord, and for PC, RP, PT and PC, PI, PT the misclosure against the tolerance.
// Points that make no curve are said so in words. "Use this curve" hands the curve's
// entries to the calculator (signal curveChosen), which types them and places the curve at
// its PC in Stations and Stakeout.
//
// The window does not follow the calculator's curve: the points make the curve here, the
// calculator only receives it.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "survey/FieldWork.h"
#include "ui/CurveWindow.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace bendwise {

class CPointsWnd : public CCurveWindow {
    Q_OBJECT
  public:
    explicit CPointsWnd(QWidget* calculator);

    // The calculator's curve is not what this window shows.
    void ShowCurve(const CCurveRecord&) override {}

    // The inverse of the points as typed, or none while a point or the tolerance cannot
    // be read; and what the message line says.
    const std::optional<PointsInverse>& Inverse() const { return m_inverse; }
    QString Message() const;

  signals:
    // "Use this curve" was pressed on points that make a curve.
    void curveChosen(const bendwise::CurveEntries& curve);

  private slots:
    void onInputChanged();
    void onUse();

  private:
    struct PointRow {
        QLabel* label = nullptr;
        QLineEdit* northing = nullptr;
        QLineEdit* easting = nullptr;
    };

    // Reads the inputs; on failure says why in the message line.
    std::optional<PointsRequest> readRequest();
    void say(const QString& text, bool problem);
    void recompute();

    QButtonGroup* m_fit = nullptr;
    std::array<PointRow, 3> m_points;
    QCheckBox* m_major = nullptr;
    QLineEdit* m_tolerance = nullptr;
    QLabel* m_message = nullptr;
    QPlainTextEdit* m_inverseText = nullptr;
    QPushButton* m_use = nullptr;
    std::optional<PointsInverse> m_inverse;
};

}  // namespace bendwise

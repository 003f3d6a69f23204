// The "Spirals" section of Stations and Stakeout: equal clothoid spirals of a typed length
// at both ends of the current curve. The user types the spiral length (empty or 0: no
// spirals); the section shows the Spiral block, the TS, SC, CS and ST stations, the points
// once the curve is placed and the spiral stakeout, as bendwise-cli --spiral prints them
// (survey/SpiralSurvey.h), from the window's one survey of the curve: the window puts
// Length() into its SurveyRequest, so that its exports describe the spirals too. A length
// that cannot be read, or spirals too long for the curve, are said in the section's
// message line. The window owns the section and calls Show() whenever the curve or an
// input changes; lengthChanged() tells it the length was edited.
#pragma once

#include <QGroupBox>
#include <QString>
#include <optional>

#include "survey/CurveSurvey.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace bendwise {

class CSpiralSection : public QGroupBox {
    Q_OBJECT
  public:
    explicit CSpiralSection(QWidget* parent);

    // The spirals of `survey` (computed with Length()); `piStation` says whether the window
    // read a PI station, which the spirals' stations need.
    void Show(const CurveSurvey& survey, bool piStation);

    // The spirals shown, when a length was typed and the curve has room for them.
    const std::optional<SpiralSurvey>& Spiral() const { return m_spiral; }
    // The typed length when it is a positive length; nothing for empty or 0.
    std::optional<double> Length() const;

  signals:
    void lengthChanged();

  private:
    QLineEdit* m_length = nullptr;
    QLabel* m_message = nullptr;
    QPlainTextEdit* m_text = nullptr;
    std::optional<SpiralSurvey> m_spiral;
};

}  // namespace bendwise

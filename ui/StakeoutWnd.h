// "Stations and Stakeout": the current curve on the ground. The user types the PI's
// station (25+50), picks arc or chord stationing and the stakeout interval; the window
// shows the PI, PC and PT stations, the deflection table of bendwise-cli --stakeout, and
// the legal description, all from one SurveyCurve of the record (survey/CurveSurvey.h),
// computed again when the curve or an input changes. A station or interval that cannot be
// read is said so in the window's message line, and the results are cleared until it
// can; nothing pops up while typing.
//
// The sections, top to bottom, are built by their own create...() and filled from the
// one survey by their own show...(): stations, deflection table, legal description.
#pragma once

#include <QString>
#include <optional>

#include "survey/CurveSurvey.h"
#include "ui/CurveWindow.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace bendwise {

class CPlatform;

class CStakeoutWnd : public CCurveWindow {
    Q_OBJECT
  public:
    CStakeoutWnd(CPlatform& platform, QWidget* calculator);

    void ShowCurve(const CCurveRecord& record) override;

    // What the window shows, and why not more: the last survey (empty while an input
    // cannot be read) and the message line.
    const std::optional<CurveSurvey>& Survey() const { return m_survey; }
    QString Message() const;

  private slots:
    void onInputChanged();
    void onCopy();
    void onSaveCsv();

  private:
    class CTableModel;

    void createStationsSection(QVBoxLayout* layout);
    void createTableSection(QVBoxLayout* layout);
    void createDescriptionSection(QVBoxLayout* layout);

    // Reads the inputs into a request; on failure says why in the message line.
    std::optional<SurveyRequest> readRequest();
    // The message line: a problem in red, anything else in the usual colour.
    void say(const QString& text, bool problem);
    void recompute();
    void showStations();
    void showTable();
    void showDescription();

    CPlatform& m_platform;
    CCurveRecord m_record;
    std::optional<CurveSurvey> m_survey;

    QLineEdit* m_piStation = nullptr;
    QButtonGroup* m_stationing = nullptr;
    QLineEdit* m_interval = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_pi = nullptr;
    QLabel* m_pc = nullptr;
    QLabel* m_pt = nullptr;
    QLabel* m_caption = nullptr;
    CTableModel* m_rows = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_saveCsv = nullptr;
    QPlainTextEdit* m_description = nullptr;
};

}  // namespace bendwise

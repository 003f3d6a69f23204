// "Stations and Stakeout": the current curve on the ground. The user types the PI's
// station (25+50), or the PC's (a curve of 180 degrees or more has no PI), picks arc or chord
// stationing and the stakeout interval, and may place the curve by the northing and easting of its
// PC or PI; the window shows the PI, PC and PT stations, the deflection table of bendwise-cli
// --stakeout (with each point's northing and easting once placed), the named points PC, PI, PT, RP
// and MPC, and the legal description, all from one SurveyCurve of the record
// (survey/CurveSurvey.h), computed again when the curve or an input changes. "Export..." writes the
// placed curve as a points file (PNEZD), a LandXML document or a DXF drawing, the bytes of
// survey/ExchangeFiles.h. A station, interval or coordinate that cannot be read is said
// so in the window's message line, which wraps in room of its own, and leaves out only what
// needs it: the description and the coordinates need neither station nor interval, the
// stations no interval. Nothing pops up while typing.
//
// Field work on the placed curve goes into the same survey (SurveyRequest::fieldWork):
// stakes on offsets beside the centre line, the shots from an instrument on any known
// point oriented on a backsight, and the station and offset of a typed point. A field-work
// input that cannot be read is said beside those inputs, and everything else is computed
// without it.
//
// The sections, top to bottom, are built by their own create...() and filled from the
// one survey by their own show...(): stations, deflection table, coordinates, field work,
// legal description. They lie in a scroll area, so that on a small screen the window
// scrolls instead of growing taller than the screen.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "survey/CurveSurvey.h"
#include "ui/CurveWindow.h"

class QButtonGroup;
class QComboBox;
class QSpinBox;
class QTableWidget;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace bendwise {

class CPlatform;
class CSaveFolder;
class CSpiralSection;

class CStakeoutWnd : public CCurveWindow {
    Q_OBJECT
  public:
    // `platform` and `folder` (where its save dialogs start) must outlive the window.
    CStakeoutWnd(CPlatform& platform, CSaveFolder& folder, QWidget* calculator);

    void ShowCurve(const CCurveRecord& record) override;

    // What the window shows, and why not more: the survey of what could be read (an input
    // that cannot be read leaves out only what needs it) and the message line.
    const std::optional<CurveSurvey>& Survey() const { return m_survey; }
    QString Message() const;
    // What the field-work section says: its inputs' problems and why a part is missing.
    QString FieldWorkMessage() const;

    // Places the curve by the PC's or the PI's northing and easting, typed into the
    // coordinates for the user to see (as many digits as give back the same doubles).
    void PlaceAt(KnownPoint point, const NorthEast& at);

    // The spirals the window shows (its "Spirals" section), when there are any.
    std::optional<SpiralCurve> Spirals() const;

  signals:
    // "Curve from Points..." was pressed.
    void curveFromPointsAsked();
    // The spirals shown may have changed (another curve, length or input).
    void spiralsChanged();

  private slots:
    void onCopyFieldWork();
    void onInputChanged();
    void onCopy();
    void onSaveCsv();
    void onExport();

  private:
    class CTableModel;

    void createStationsSection(QVBoxLayout* layout);
    void createTableSection(QVBoxLayout* layout);
    void createSpiralSection(QVBoxLayout* layout);
    void createCoordinatesSection(QVBoxLayout* layout);
    void createFieldWorkSection(QVBoxLayout* layout);
    void createDescriptionSection(QVBoxLayout* layout);

    // Reads the inputs into a request, leaving out those that cannot be read; why not
    // goes into `problems`.
    SurveyRequest readRequest(QStringList& problems) const;
    // The known PC or PI when both coordinates are typed and read; says why not when one
    // is typed but cannot be read (empty `problem` otherwise).
    std::optional<KnownPosition> readKnown(QString& problem) const;
    // The field work asked for, as far as its inputs can be read; why not the rest goes
    // into `problems`.
    FieldWorkRequest readFieldWork(QStringList& problems) const;
    // The message line: a problem in red, anything else in the usual colour.
    void say(const QString& text, bool problem);
    // Adds a problem to what the message line says.
    void sayAlso(const QString& problem);
    void recompute();
    void showStations();
    void showTable();
    void showCoordinates();
    void showFieldWork(const QStringList& problems);
    void showDescription();

    CPlatform& m_platform;
    CSaveFolder& m_folder;
    CCurveRecord m_record;
    std::optional<CurveSurvey> m_survey;

    QComboBox* m_stationOf = nullptr;  // the PI's station or the PC's
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
    QComboBox* m_known = nullptr;
    QLineEdit* m_northing = nullptr;
    QLineEdit* m_easting = nullptr;
    QSpinBox* m_firstPoint = nullptr;
    QTableWidget* m_points = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_fromPoints = nullptr;
    QLineEdit* m_offsets = nullptr;
    QLineEdit* m_instrumentNorthing = nullptr;
    QLineEdit* m_instrumentEasting = nullptr;
    QLineEdit* m_backsightNorthing = nullptr;
    QLineEdit* m_backsightEasting = nullptr;
    QLineEdit* m_pointNorthing = nullptr;
    QLineEdit* m_pointEasting = nullptr;
    QLabel* m_stationOffset = nullptr;
    QLabel* m_workMessage = nullptr;
    QLabel* m_backsightLine = nullptr;
    QTableWidget* m_setup = nullptr;
    QPlainTextEdit* m_offsetStakes = nullptr;
    QPushButton* m_copyWork = nullptr;
    QPlainTextEdit* m_description = nullptr;
    CSpiralSection* m_spirals = nullptr;
};

}  // namespace bendwise

// The calculator window.
//
// CCurveApp (app/) owns the curve memory, the save dialogs' folder and the platform, and
// runs CAboutDlg and then this dialog. CCurveDlg owns a CCurveModel (solver/), which holds the
// curve record and all the entry rules, and is the model's CCurveHost: the model calls back for
// messages, sounds, indicators, the screen refresh and the report file name. The dialog itself only
// lays out the controls of the table in ui/CurveControls.cpp, hands a field's text to the model
// when the field loses the focus, forwards the buttons and check boxes, and shows what the record
// says afterwards. Messages, sounds, the file dialog and the process exit go through
// CPlatform so that tests can answer them. Every message and every refusal's reason is
// also said on the status line at the bottom.
//
// The controls lie on a page of fixed size in dialog units inside a scroll area: where the
// screen is large enough the window is exactly the page, as the template draws it; on a
// smaller screen (or a large scale factor) the window takes what the screen has and
// scrolls, so every control stays reachable.
//
// The curve windows (CCurveWindow: diagram, length illustration, stations and stakeout,
// curve from points) are created the first time their button or shortcut asks for one,
// belong to the dialog and are handed the record after every recalculation while they are
// open; those that save files are handed the save dialogs' folder too. The dialog's
// shortcuts (the windows, the report block) work in every window of the program. Curve from Points
// has no button on the page (the template has no room for one): its shortcut, and a button in
// Stations and Stakeout, open it. Its curve comes back here as typed entries (UseCurve), as
// bendwise-cli takes it.
//
// Focus rules. An entry is taken when its field loses the focus to another control of this
// dialog (Tab, a click, Enter). Two focus-outs are not the user leaving a field: one with
// reason ActiveWindowFocusReason or PopupFocusReason (the window lost activation, a context
// menu opened), and any focus-out while one of our handlers or modals runs. Qt 6.4 delivers
// such a second focus-out to the field that was just receiving the focus when a handler
// opens a message box; taking it would run a second handler with a second box nested in
// the first. After a modal of ours closes, the dialog is activated again and the focus goes
// where the user sent it, since neither the offscreen platform nor X without a window
// manager gives it back.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/SurveyOptions.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "ui/DialogUnits.h"
#include "ui/Platform.h"

class QAbstractButton;
class QCheckBox;
class QRadioButton;
class QScrollArea;
class QShortcut;

namespace bendwise {

class CCurveWindow;

// An edit field that reports the loss of the focus with its reason.
class CFieldEdit : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

  signals:
    void focusLeft(Qt::FocusReason reason);

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    // A read-only field's menu copies its whole text.
    void contextMenuEvent(QContextMenuEvent* event) override;
};

class CCurveDlg : public QDialog, private CCurveHost {
    Q_OBJECT
  public:
    // Window(kCurveFromPoints): the window that has no button on the page.
    static constexpr int kCurveFromPoints = -1;

    // `memory`, `platform` and `folder` are not owned and must outlive the dialog; without
    // a `folder` the dialog and its windows share one of the dialog's own. The remembered
    // curve is solved and shown at once; the About button has the focus.
    CCurveDlg(CCurveMemory* memory, CPlatform& platform, CSaveFolder* folder = nullptr,
              QWidget* parent = nullptr);
    ~CCurveDlg() override;

    CCurveModel& Model() { return m_model; }
    CFieldEdit* FieldEdit(Field field) const { return m_fields[static_cast<int>(field)]; }
    // Any working control by its id (fields, indicators, buttons, check boxes), or null.
    QWidget* Control(int id) const;
    // The dialog units the controls were placed with.
    const CDialogUnits& Units() const { return m_units; }
    // The page the controls lie on, and the scroll area that shows it.
    QWidget* Page() const { return m_page; }
    QScrollArea* ScrollArea() const { return m_scroll; }
    // The curve window that the button `id` opens, once it has been opened; else null.
    CCurveWindow* Window(int id) const;
    // What the status line says.
    QString StatusText() const;

    // Takes `entries` as if typed, each field's text then left with Enter pressed (so an
    // unchanged text is read again), each check box clicked to its state: the calculator
    // becomes the curve bendwise-cli makes of the same entries.
    void TypeEntries(const std::vector<TypedEntry>& entries);
    // The curve found from points becomes the calculator's, and Stations and Stakeout
    // opens with it placed at its PC.
    void UseCurve(const CurveEntries& curve);

    void done(int result) override;

  private slots:
    void onCloseButton();
    void onAbout();
    void onWriteNewFile();
    void onAppendToFile();
    void onLeft(bool checked);
    void onPackedDms(bool checked);
    void onAcres(bool checked);
    void onAlwaysOnTop(bool checked);
    void onCopyResults();

  private:
    // Holds off field handlers while one of ours runs; the outermost one remembers where
    // the focus was going and, if a modal was shown meanwhile, sends it there again.
    class CHandlerGuard;

    void createStatics(const CDialogUnits& units);
    void createIndicators(const CDialogUnits& units);
    void createFields(const CDialogUnits& units);
    void createButtons(const CDialogUnits& units);
    void createStatusLine(const CDialogUnits& units);
    void setTabOrder();
    void connectSignals();
    void fitToScreen();

    // A shortcut of the whole program, owned by the dialog.
    QShortcut* appShortcut(const QKeySequence& key);
    void onFieldLeft(Field field, Qt::FocusReason reason);
    void restoreFocus();
    void openWindow(int id);
    // Connects what a window asks of the calculator, once, when it is made.
    void connectWindow(CCurveWindow* window);
    void say(const QString& text);
    void sayWritten(ReportResult result);

    // CCurveHost
    void ShowMessage(std::string_view text) override;
    void PlaySound(Sound sound) override;
    void ShowStatus(std::string_view text) override;
    void SetIndicator(int group, bool checked) override;
    void RefreshScreen() override;
    std::optional<std::string> AskReportPath(std::string_view title) override;

    CPlatform& m_platform;
    CSaveFolder m_ownFolder;  // when none is handed down
    CSaveFolder* m_folder;
    CDialogUnits m_units;
    CCurveModel m_model;
    QWidget* m_page = nullptr;
    QScrollArea* m_scroll = nullptr;
    std::array<CFieldEdit*, kFieldCount> m_fields{};
    std::map<int, QWidget*> m_controls;  // by control id
    QAbstractButton* m_close = nullptr;
    QLineEdit* m_status = nullptr;
    bool m_said = false;  // the status line was given a text since the entry began
    std::map<int, CCurveWindow*> m_windows;  // by the id of the button that opens it

    int m_guardDepth = 0;
    bool m_modalShown = false;
    QPointer<QWidget> m_focusTarget;
    bool m_ending = false;
};

}  // namespace bendwise

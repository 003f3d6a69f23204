#include "ui/CurveDlg.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "frontend/CurveControls.h"
#include "frontend/Switches.h"
#include "report/Report.h"
#include "ui/AboutDlg.h"
#include "ui/DiagramWnd.h"
#include "ui/DialogLook.h"
#include "ui/DialogUnits.h"
#include "ui/HelpWnd.h"
#include "ui/LengthWnd.h"
#include "ui/Platform.h"
#include "ui/PointsWnd.h"
#include "ui/Shortcuts.h"
#include "ui/StakeoutWnd.h"
#include "ui/Utf8.h"

namespace bendwise {

namespace {

// The curve windows: the button that opens each, its shortcut (pressed in any window of
// the program), whether it takes the keyboard when it opens (the stations window and curve
// from points have something to type), and how it is made. A window without a button on
// the page has an id of its own.
struct CurveWindowRow {
    int buttonId;
    QKeyCombination shortcut;
    bool activate;
    CCurveWindow* (*make)(CPlatform& platform, CSaveFolder& folder, QWidget* calculator);
};
const CurveWindowRow kCurveWindows[] = {
    {IDC_CURVE_DIAGRAM, kCurveDiagramKey, false,
     [](CPlatform& platform, CSaveFolder& folder, QWidget* calculator) -> CCurveWindow* {
         return new CDiagramWnd(platform, folder, calculator);
     }},
    {IDC_LENGTH_ILLUSTRATION, kLengthIllustrationKey, false,
     [](CPlatform&, CSaveFolder&, QWidget* calculator) -> CCurveWindow* {
         return new CLengthWnd(calculator);
     }},
    {IDC_STATIONS_STAKEOUT, kStationsStakeoutKey, true,
     [](CPlatform& platform, CSaveFolder& folder, QWidget* calculator) -> CCurveWindow* {
         return new CStakeoutWnd(platform, folder, calculator);
     }},
    {CCurveDlg::kCurveFromPoints, kCurveFromPointsKey, true,
     [](CPlatform&, CSaveFolder&, QWidget* calculator) -> CCurveWindow* {
         return new CPointsWnd(calculator);
     }},
};

}  // namespace

void CFieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLeft(event->reason());
}

void CFieldEdit::contextMenuEvent(QContextMenuEvent* event) {
    // A result is copied whole: the menu's Copy works on the selection, and a click leaves
    // none.
    if (isReadOnly() && !hasSelectedText()) selectAll();
    QLineEdit::contextMenuEvent(event);
}

// Pixels a control draws beside its caption (box, frame, margins), for fitting the
// captions into their rectangles.
static int CaptionDecoration(ControlKind kind, const QStyle& style) {
    switch (kind) {
        case ControlKind::CheckBox:
            return style.pixelMetric(QStyle::PM_IndicatorWidth) +
                   style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        case ControlKind::PushButton:
        case ControlKind::DefaultButton:
            return 2 * (style.pixelMetric(QStyle::PM_ButtonMargin) +
                        style.pixelMetric(QStyle::PM_DefaultFrameWidth));
        case ControlKind::Label:
            return 0;
        default:
            return -1;  // frames and fields: the caption is not fitted
    }
}

class CCurveDlg::CHandlerGuard {
  public:
    explicit CHandlerGuard(CCurveDlg& dlg) : m_dlg(dlg) {
        if (m_dlg.m_guardDepth++ == 0) {
            // During a focus-out Qt has already made the new widget the focus widget, so
            // this is where the user sent the focus.
            QWidget* focus = QApplication::focusWidget();
            m_dlg.m_focusTarget = (focus && m_dlg.isAncestorOf(focus)) ? focus : nullptr;
            m_dlg.m_modalShown = false;
        }
    }
    ~CHandlerGuard() {
        // Restore while still guarded, so the focus changes it causes take no entry.
        if (m_dlg.m_guardDepth == 1 && m_dlg.m_modalShown) m_dlg.restoreFocus();
        --m_dlg.m_guardDepth;
    }
    CHandlerGuard(const CHandlerGuard&) = delete;
    CHandlerGuard& operator=(const CHandlerGuard&) = delete;

  private:
    CCurveDlg& m_dlg;
};

CCurveDlg::CCurveDlg(CCurveMemory* memory, CPlatform& platform, CSaveFolder* folder,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_folder(folder ? folder : &m_ownFolder),
      m_units(font()),
      m_model(memory, this) {
    // Before any control is made: each takes its colours from the dialog.
    ApplyDialogLook(this);
    setObjectName(QStringLiteral("curveDialog"));
    setWindowTitle(QStringLiteral("Circular Curve Calculations"));
    for (const ControlRow& row : CurveControls()) {
        m_units.FitText(font(), QString::fromLatin1(row.caption), row.width,
                        CaptionDecoration(row.kind, *style()));
    }
    // The page is in the dialog before any button is made on it: a default button finds
    // its dialog when it is made.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("calculatorScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("calculatorPage"));
    m_page->setFixedSize(m_units.Map(kCurveDlgWidth, kCurveDlgHeight));
    m_scroll->setWidget(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    // Frames and labels first: they lie beneath the controls they surround.
    createStatics(m_units);
    createIndicators(m_units);
    createFields(m_units);
    createButtons(m_units);
    createStatusLine(m_units);
    setTabOrder();
    connectSignals();
    fitToScreen();

    m_model.Initialize();
    static_cast<QCheckBox*>(Control(IDC_PACKED_DMS))->setChecked(m_model.Record().m_packedDms != 0);
    Control(IDC_ABOUT)->setFocus(Qt::OtherFocusReason);
}

CCurveDlg::~CCurveDlg() {
    // ~QDialog hides the window, which takes the focus from a field; by then this is no
    // longer a CCurveDlg, so its handlers must be unreachable.
    m_ending = true;
    for (CFieldEdit* field : m_fields) field->disconnect(this);
}

void CCurveDlg::fitToScreen() {
    const QSize page = m_page->size();
    const QSize room = ScreenRoom(*this);
    if (page.width() <= room.width() && page.height() <= room.height()) {
        setFixedSize(page);
        return;
    }
    // Too small a screen: as much of the page as fits, with scroll bars, and the user may
    // make the window larger up to the whole page.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    const bool vertical = page.height() > room.height();
    const bool horizontal = page.width() + (vertical ? bar : 0) > room.width();
    const QSize whole = page + QSize(vertical ? bar : 0, horizontal ? bar : 0);
    setMinimumSize(whole.boundedTo(QSize(m_units.X(60), m_units.Y(60))));
    setMaximumSize(whole);
    resize(whole.boundedTo(room));
}

CCurveWindow* CCurveDlg::Window(int id) const {
    const auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second;
}

QString CCurveDlg::StatusText() const {
    return m_status->text();
}

QWidget* CCurveDlg::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CCurveDlg::createStatics(const CDialogUnits& units) {
    for (const ControlRow& row : CurveControls()) {
        const QRect rect = units.Map(row.x, row.y, row.width, row.height);
        const QString caption = QString::fromLatin1(row.caption);
        QWidget* widget = nullptr;
        if (row.kind == ControlKind::Frame) {
            widget = new QGroupBox(caption, m_page);
        } else if (row.kind == ControlKind::Label) {
            auto* label = new QLabel(caption, m_page);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
        } else {
            continue;
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        widget->setGeometry(rect);
        // Clicks go to the controls beneath, never to a frame or label.
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void CCurveDlg::createIndicators(const CDialogUnits& units) {
    for (const ControlRow& row : CurveControls()) {
        if (row.kind != ControlKind::Indicator) continue;
        auto* indicator = new QRadioButton(m_page);
        // Only Recalculate sets them, two at a time: never exclusive, never clickable.
        indicator->setAutoExclusive(false);
        indicator->setEnabled(false);
        // Disabled, but it is read: draw the set dot as dark as an enabled one.
        QPalette palette = indicator->palette();
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::Base}) {
            palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
        }
        indicator->setPalette(palette);
        indicator->setObjectName(QString::fromLatin1(row.name));
        indicator->setAccessibleName(
            QStringLiteral("%1 group in the pair").arg(QString::fromLatin1(GroupName(row.role))));
        indicator->setGeometry(units.Map(row.x, row.y, row.width, row.height));
        m_controls[row.id] = indicator;
    }
}

void CCurveDlg::createFields(const CDialogUnits& units) {
    for (const ControlRow& row : CurveControls()) {
        if (row.kind != ControlKind::EntryField && row.kind != ControlKind::ResultField) {
            continue;
        }
        auto* field = new CFieldEdit(m_page);
        field->setObjectName(QString::fromLatin1(row.name));
        field->setGeometry(units.Map(row.x, row.y, row.width, row.height));
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(kFieldCharacters);
        if (row.kind == ControlKind::ResultField) {
            field->setReadOnly(true);
            ShowAsReadOnly(field);
        }
        m_fields[row.role] = field;
        m_controls[row.id] = field;
    }
    // Accessible names from the labels beside the fields, their lines joined.
    for (const ControlRow& row : CurveControls()) {
        if (row.kind != ControlKind::Label || row.role == 0) continue;
        if (QWidget* named = Control(row.role)) {
            named->setAccessibleName(QString::fromLatin1(row.caption).simplified());
        }
    }
}

void CCurveDlg::createButtons(const CDialogUnits& units) {
    for (const ControlRow& row : CurveControls()) {
        const QString caption = QString::fromLatin1(row.caption);
        QAbstractButton* button = nullptr;
        switch (row.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefaultButton: {
                auto* push = new QPushButton(caption, m_page);
                push->setDefault(row.kind == ControlKind::DefaultButton);
                button = push;
                break;
            }
            case ControlKind::CheckBox:
                button = new QCheckBox(caption, m_page);
                break;
            default:
                continue;
        }
        button->setObjectName(QString::fromLatin1(row.name));
        button->setGeometry(units.Map(row.x, row.y, row.width, row.height));
        if (!caption.isEmpty()) button->setAccessibleName(caption.simplified());
        m_controls[row.id] = button;
    }
    m_close = static_cast<QAbstractButton*>(Control(IDC_CLOSE));
    // The check box "Left" has its label above it; give it that name too.
    for (const ControlRow& row : CurveControls()) {
        if (row.kind == ControlKind::Label && row.role == IDC_LEFT) {
            Control(IDC_LEFT)->setAccessibleName(QString::fromLatin1(row.caption));
        }
    }
}

void CCurveDlg::createStatusLine(const CDialogUnits& units) {
    for (const ControlRow& row : CurveControls()) {
        if (row.kind != ControlKind::StatusLine) continue;
        // A read-only line without a frame: the text can be selected and copied, and a
        // long one (a report path) scrolls instead of being cut. Reached by a click, not
        // by Tab.
        m_status = new QLineEdit(m_page);
        m_status->setObjectName(QString::fromLatin1(row.name));
        m_status->setGeometry(units.Map(row.x, row.y, row.width, row.height));
        m_status->setReadOnly(true);
        m_status->setFrame(false);
        m_status->setFocusPolicy(Qt::ClickFocus);
        m_status->setAccessibleName(QStringLiteral("Status"));
        ShowAsReadOnly(m_status);
        m_controls[row.id] = m_status;
    }
}

void CCurveDlg::setTabOrder() {
    // The table's order of working controls is the tab order (disabled ones are skipped by
    // Qt itself).
    QWidget* previous = nullptr;
    for (const ControlRow& row : CurveControls()) {
        QWidget* control = Control(row.id);
        if (!control) continue;
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void CCurveDlg::connectSignals() {
    // The ten entry fields are wired alike: the loss of the focus hands the text over.
    for (int i = 0; i < kEntryFieldCount; ++i) {
        const Field field = static_cast<Field>(i);
        connect(m_fields[i], &CFieldEdit::focusLeft, this,
                [this, field](Qt::FocusReason reason) { onFieldLeft(field, reason); });
    }
    auto button = [this](int id) { return static_cast<QAbstractButton*>(Control(id)); };
    connect(button(IDC_CLOSE), &QAbstractButton::clicked, this, &CCurveDlg::onCloseButton);
    connect(button(IDC_ABOUT), &QAbstractButton::clicked, this, &CCurveDlg::onAbout);
    connect(button(IDC_WRITE_NEW_FILE), &QAbstractButton::clicked, this,
            &CCurveDlg::onWriteNewFile);
    connect(button(IDC_APPEND_TO_FILE), &QAbstractButton::clicked, this,
            &CCurveDlg::onAppendToFile);
    // Check boxes report clicks only, so setting them from code runs no handler.
    connect(button(IDC_LEFT), &QAbstractButton::clicked, this, &CCurveDlg::onLeft);
    connect(button(IDC_PACKED_DMS), &QAbstractButton::clicked, this, &CCurveDlg::onPackedDms);
    connect(button(IDC_ACRES), &QAbstractButton::clicked, this, &CCurveDlg::onAcres);
    connect(button(IDC_ALWAYS_ON_TOP), &QAbstractButton::clicked, this, &CCurveDlg::onAlwaysOnTop);

    for (const CurveWindowRow& row : kCurveWindows) {
        const int id = row.buttonId;
        const QKeySequence key(row.shortcut);
        if (QAbstractButton* opener = button(id)) {
            opener->setToolTip(KeyText(row.shortcut));
            connect(opener, &QAbstractButton::clicked, this, [this, id] { openWindow(id); });
        }
        connect(appShortcut(key), &QShortcut::activated, this, [this, id] { openWindow(id); });
    }
    connect(appShortcut(QKeySequence(kCopyResultsKey)), &QShortcut::activated, this,
            &CCurveDlg::onCopyResults);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { ShowHelp(this); });

    // Whatever gets the keyboard is scrolled wholly into view when the page does not fit
    // (ensureWidgetVisible would settle for an edit field's cursor).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !m_page->isAncestorOf(now)) return;
        const QRect shown(now->mapTo(m_page, QPoint(0, 0)), now->size());
        m_scroll->ensureVisible(shown.center().x(), shown.center().y(), shown.width() / 2 + 4,
                                shown.height() / 2 + 4);
    });
}

QShortcut* CCurveDlg::appShortcut(const QKeySequence& key) {
    // In every window of the program, the curve windows included; Qt holds it back while
    // a modal box of ours (a message, About, a save dialog) is open.
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::ApplicationShortcut);
    return shortcut;
}

void CCurveDlg::onFieldLeft(Field field, Qt::FocusReason reason) {
    if (m_ending || m_guardDepth > 0) return;
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    CHandlerGuard guard(*this);
    m_said = false;
    const EntryResult result = m_model.OnKillfocus(field, FieldEdit(field)->text().toStdString());
    // A plain acceptance leaves nothing to say: the last refusal no longer holds.
    if (result == EntryResult::Accepted && !m_said) m_status->clear();
}

void CCurveDlg::restoreFocus() {
    if (m_ending || !isVisible()) return;
    activateWindow();
    if (m_focusTarget && m_focusTarget->isVisible()) {
        m_focusTarget->setFocus(Qt::OtherFocusReason);
        // Typing after the message replaces the field's text, as after Tab, instead of
        // being added to it.
        if (auto* edit = qobject_cast<QLineEdit*>(m_focusTarget.data())) edit->selectAll();
    }
}

void CCurveDlg::openWindow(int id) {
    for (const CurveWindowRow& row : kCurveWindows) {
        if (row.buttonId != id) continue;
        CCurveWindow*& window = m_windows[id];
        if (!window) {
            window = row.make(m_platform, *m_folder, this);
            connectWindow(window);
        }
        window->Open(m_model.Record(), row.activate);
    }
}

void CCurveDlg::connectWindow(CCurveWindow* window) {
    // The diagram draws the spirals typed in Stations and Stakeout.
    const auto passSpirals = [this] {
        auto* diagram = qobject_cast<CDiagramWnd*>(Window(IDC_CURVE_DIAGRAM));
        const auto* stations = qobject_cast<CStakeoutWnd*>(Window(IDC_STATIONS_STAKEOUT));
        if (diagram) diagram->ShowSpirals(stations ? stations->Spirals() : std::nullopt);
    };
    if (auto* stations = qobject_cast<CStakeoutWnd*>(window)) {
        connect(stations, &CStakeoutWnd::curveFromPointsAsked, this,
                [this] { openWindow(kCurveFromPoints); });
        connect(stations, &CStakeoutWnd::spiralsChanged, this, passSpirals);
    }
    if (qobject_cast<CDiagramWnd*>(window)) passSpirals();
    if (auto* points = qobject_cast<CPointsWnd*>(window)) {
        connect(points, &CPointsWnd::curveChosen, this, &CCurveDlg::UseCurve);
    }
}

void CCurveDlg::TypeEntries(const std::vector<TypedEntry>& entries) {
    CHandlerGuard guard(*this);
    for (const TypedEntry& entry : entries) {
        if (const SwitchInfo* box = FindSwitch(entry.name)) {
            SetSwitch(m_model, *box, entry.text == "on");
            // The model's handlers do not touch the check box itself.
            if (auto* check = qobject_cast<QAbstractButton*>(Control(box->controlId))) {
                check->setChecked(box->isOn(m_model));
            }
            continue;
        }
        Field field = Field::Radius;
        if (!FieldByName(entry.name, field)) continue;
        m_model.OnEnterKey();
        m_model.OnKillfocus(field, entry.text);
    }
}

void CCurveDlg::UseCurve(const CurveEntries& curve) {
    m_said = false;
    TypeEntries(EntriesOfCurve(curve));
    if (!m_said) say(QStringLiteral("Curve from points taken; placed at its PC."));
    openWindow(IDC_STATIONS_STAKEOUT);
    static_cast<CStakeoutWnd*>(Window(IDC_STATIONS_STAKEOUT))->PlaceAt(KnownPoint::Pc, curve.pc);
}

void CCurveDlg::onCopyResults() {
    // A value typed but not yet taken is taken first, as leaving its field would.
    for (int i = 0; i < kEntryFieldCount; ++i) {
        const Field field = static_cast<Field>(i);
        if (m_fields[i]->hasFocus() && m_fields[i]->text().toStdString() != m_model.Text(field)) {
            CHandlerGuard guard(*this);
            m_model.OnKillfocus(field, m_fields[i]->text().toStdString());
        }
    }
    QApplication::clipboard()->setText(FromUtf8(BuildReportBlock(m_model.Record())));
    say(QStringLiteral("Report block copied to the clipboard."));
}

void CCurveDlg::say(const QString& text) {
    m_status->setText(text);
    m_status->setCursorPosition(0);
    m_status->setToolTip(text);
    m_said = true;
}

void CCurveDlg::sayWritten(ReportResult result) {
    if (result == ReportResult::Written) {
        say(QStringLiteral("Written to %1").arg(QFile::decodeName(m_model.ReportPath().c_str())));
    }
}

void CCurveDlg::onCloseButton() {
    // Enter reaches here from any control but another push button; a click on Close or
    // Enter on it has given Close the focus.
    if (QApplication::focusWidget() == m_close) {
        reject();
        return;
    }
    m_model.OnEnterKey();
    // Leaving an entry field now takes its text even when unchanged.
    FieldEdit(Field::MidOrdinate)->setFocus(Qt::OtherFocusReason);
}

void CCurveDlg::onAbout() {
    CHandlerGuard guard(*this);
    CAboutDlg about(m_platform, this);
    ApplyDialogLook(&about);
    about.exec();
    m_modalShown = true;
}

void CCurveDlg::onWriteNewFile() {
    CHandlerGuard guard(*this);
    sayWritten(m_model.OnWriteNewFile());
}

void CCurveDlg::onAppendToFile() {
    CHandlerGuard guard(*this);
    sayWritten(m_model.OnAppendToFile());
}

void CCurveDlg::onLeft(bool checked) {
    CHandlerGuard guard(*this);
    m_model.OnLeft(checked);
}

void CCurveDlg::onPackedDms(bool checked) {
    CHandlerGuard guard(*this);
    m_model.OnPackedDms(checked);
}

void CCurveDlg::onAcres(bool checked) {
    CHandlerGuard guard(*this);
    m_model.OnAcres(checked);
}

void CCurveDlg::onAlwaysOnTop(bool checked) {
    CHandlerGuard guard(*this);
    m_model.OnAlwaysOnTop(checked);
    // QWidget::setWindowFlags would hide and re-create the window, and hiding a dialog
    // ends its modal run. Change the flag on the native window instead (X11 sets
    // _NET_WM_STATE_ABOVE on the mapped window) and keep the widget's record in step.
    const QRect frame = geometry();
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, checked);
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowStaysOnTopHint, checked);
    if (geometry() != frame) setGeometry(frame);
}

void CCurveDlg::done(int result) {
    m_ending = true;
    for (const auto& [id, window] : m_windows) window->close();
    QDialog::done(result);
}

void CCurveDlg::ShowMessage(std::string_view text) {
    CHandlerGuard guard(*this);
    say(FromUtf8(text));
    m_platform.ShowMessage(this, FromUtf8(text));
    m_modalShown = true;
}

void CCurveDlg::ShowStatus(std::string_view text) {
    say(FromUtf8(text));
}

void CCurveDlg::PlaySound(Sound sound) {
    m_platform.PlaySound(sound);
}

void CCurveDlg::SetIndicator(int group, bool checked) {
    if (auto* indicator = qobject_cast<QRadioButton*>(Control(IndicatorId(group)))) {
        indicator->setChecked(checked);
    }
}

void CCurveDlg::RefreshScreen() {
    for (int i = 0; i < kFieldCount; ++i) {
        const QString text = QString::fromStdString(m_model.Text(static_cast<Field>(i)));
        // The limit is on typing only: QLineEdit would cut a longer text the engine shows
        // (a central angle of 1e13 degrees), and the cut text would then read as a new
        // entry when the user merely passes through the field.
        m_fields[i]->setMaxLength(std::max(kFieldCharacters, static_cast<int>(text.size())));
        m_fields[i]->setText(text);
        // setText leaves the cursor at the end, and a text wider than its field would show
        // its end: a minus sign and the leading digits would be hidden.
        m_fields[i]->setCursorPosition(0);
    }
    for (const auto& [id, window] : m_windows) {
        if (window->isVisible()) window->ShowCurve(m_model.Record());
    }
}

std::optional<std::string> CCurveDlg::AskReportPath(std::string_view title) {
    CHandlerGuard guard(*this);
    const std::optional<QString> path = m_platform.AskSaveFileIn(
        this, QString::fromUtf8(title.data(), static_cast<int>(title.size())), m_folder->Path());
    m_modalShown = true;
    if (!path) return std::nullopt;
    m_folder->Remember(*path);
    return QFile::encodeName(*path).toStdString();
}

}  // namespace bendwise

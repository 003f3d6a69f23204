#include "ui/StakeoutWnd.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QTableWidget>
#include <charconv>
#include <cmath>

#include "frontend/ExportFormats.h"
#include "survey/ExchangeFiles.h"
#include "survey/StakeoutTable.h"
#include "survey/Stationing.h"
#include "text/NumberText.h"
#include "ui/DialogLook.h"
#include "ui/FileWrite.h"
#include "ui/Platform.h"
#include "ui/Shortcuts.h"
#include "ui/SpiralSection.h"
#include "ui/Utf8.h"

namespace bendwise {
namespace {

// What the window starts with: a PI at 10+00 keeps the start curve's PC ahead of 0+00,
// and stakes at full stations.
constexpr const char* kDefaultPiStation = "10+00";
constexpr const char* kDefaultInterval = "100";
// The window may be made this low (logical pixels): the stations and the first rows of the
// table, the rest by scrolling.
constexpr int kMinimumHeight = 320;

// The widest northing or easting a field and a column must show whole: a state-plane
// coordinate of ten digits, signed, with the four decimals the points table prints.
constexpr const char* kWidestCoordinate = "-7123456.7890";

QLabel* ValueLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Shows `value` in a value label, and says it to a screen reader after what it is: the
// label's text alone ("20+96.24") would not say which station it is.
void ShowValue(QLabel* label, const QString& what, const QString& value) {
    label->setText(value);
    label->setAccessibleName(value.isEmpty() ? what : what + QStringLiteral(": ") + value);
}

// A field as wide as `text` needs, frame and margins included, in the field's own font.
void FitFieldTo(QLineEdit* edit, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins margins = edit->textMargins();
    // QLineEdit keeps 2 pixels each side of its text, and 1 for the cursor.
    const QSize contents(
        edit->fontMetrics().horizontalAdvance(text) + 5 + margins.left() + margins.right(),
        edit->fontMetrics().height());
    edit->setMinimumWidth(
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, edit).width());
}

// A coordinate as typed into a field: the shortest decimals that read back as the same
// double, so that a curve placed from the window is where bendwise-cli places it.
QString CoordinateEntryText(double value) {
    char text[400];
    std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    // The fields take 24 characters; a tiny value's zeros do not fit.
    if (end.ec != std::errc() || end.ptr - text > 24) {
        end = std::to_chars(text, text + sizeof text, value);
    }
    return QString::fromLatin1(text, static_cast<qsizetype>(end.ptr - text));
}

// Reads one N,E pair of fields: none when both are empty; on a problem says why, naming
// the point as `what`.
std::optional<NorthEast> ReadNorthEast(const QString& what, const QLineEdit& northing,
                                       const QLineEdit& easting, QStringList& problems) {
    const QString texts[] = {northing.text().trimmed(), easting.text().trimmed()};
    if (texts[0].isEmpty() && texts[1].isEmpty()) return std::nullopt;
    if (texts[0].isEmpty() || texts[1].isEmpty()) {
        problems << QStringLiteral("Type both the northing and the easting of the %1.").arg(what);
        return std::nullopt;
    }
    NorthEast at;
    const char* parts[] = {"Northing", "Easting"};
    double* values[] = {&at.northing, &at.easting};
    for (int i = 0; i < 2; ++i) {
        if (!ParseCoordinate(texts[i].toStdString(), *values[i])) {
            problems << QStringLiteral(
                            "%1 of the %2 \"%3\" cannot be read: type a number such as 5000 "
                            "or 5000.25.")
                            .arg(QString::fromLatin1(parts[i]), what, texts[i]);
            return std::nullopt;
        }
    }
    return at;
}

// Reads D[,D...]: lengths a comma apart, blanks around each allowed.
bool ReadOffsets(const QString& text, std::vector<double>& offsets) {
    std::vector<double> read;
    for (const QString& part : text.split(QLatin1Char(','))) {
        double offset = 0;
        if (!ParseCoordinate(part.trimmed().toStdString(), offset)) return false;
        read.push_back(offset);
    }
    offsets = std::move(read);
    return true;
}

}  // namespace

// The deflection table for the view: cells are formatted when the view asks for them, so
// a table of the most rows an interval may give (100,000) shows at once.
class CStakeoutWnd::CTableModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // The table of `stakeout`, or none.
    void SetStakeout(const Stakeout* stakeout) {
        beginResetModel();
        m_stakeout = stakeout ? *stakeout : Stakeout();
        m_headings = StakeoutHeadings(m_stakeout);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_stakeout.rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        const auto row = static_cast<std::size_t>(index.row());
        return FromUtf8(
            StakeoutRowCells(m_stakeout, row)[static_cast<std::size_t>(index.column())]);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return FromUtf8(m_headings[static_cast<std::size_t>(section)]);
    }

  private:
    Stakeout m_stakeout;
    StakeoutCells m_headings = StakeoutHeadings(Stakeout());
};

CStakeoutWnd::CStakeoutWnd(CPlatform& platform, CSaveFolder& folder, QWidget* calculator)
    : CCurveWindow(calculator, QStringLiteral("Stations and Stakeout"),
                   QStringLiteral("stationsStakeoutWindow"), QSize(720, 1040)),
      m_platform(platform),
      m_folder(folder) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("stationsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes to the controls, each scrolled into view, not to the page around them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("stationsPage"));
    auto* layout = new QVBoxLayout(page);
    createStationsSection(layout);
    createTableSection(layout);
    createSpiralSection(layout);
    createCoordinatesSection(layout);
    createFieldWorkSection(layout);
    createDescriptionSection(layout);
    scroll->setWidget(page);
    outer->addWidget(scroll);
    // The window scrolls down its sections but is never narrower than they are, so that a
    // coordinate is never cut; a screen less tall than the sections gets a scroll bar.
    setMinimumSize(page->minimumSizeHint().width() +
                       scroll->verticalScrollBar()->sizeHint().width() + 2 * scroll->frameWidth(),
                   kMinimumHeight);
}

void CStakeoutWnd::createStationsSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Stations"), this);
    auto* form = new QFormLayout;

    // The PI's station by default; the PC's for a curve of 180 degrees or more, which has
    // no PI, or when the stations run from the PC.
    auto* station = new QHBoxLayout;
    m_stationOf = new QComboBox(box);
    m_stationOf->setObjectName(QStringLiteral("stationOf"));
    m_stationOf->addItem(QStringLiteral("PI"), static_cast<int>(KnownPoint::Pi));
    m_stationOf->addItem(QStringLiteral("PC"), static_cast<int>(KnownPoint::Pc));
    m_stationOf->setAccessibleName(QStringLiteral("Station of the"));
    m_stationOf->setToolTip(QStringLiteral("Stations from the PI, or from the PC"));
    m_piStation = new QLineEdit(QString::fromLatin1(kDefaultPiStation), box);
    m_piStation->setObjectName(QStringLiteral("piStation"));
    m_piStation->setPlaceholderText(QStringLiteral("25+50"));
    m_piStation->setMaxLength(24);
    m_piStation->setAccessibleName(QStringLiteral("PI station"));
    station->addWidget(m_stationOf);
    station->addWidget(m_piStation, 1);
    auto* stationLabel = new QLabel(QStringLiteral("&Station of the"), box);
    stationLabel->setBuddy(m_stationOf);
    form->addRow(stationLabel, station);

    auto* modes = new QHBoxLayout;
    m_stationing = new QButtonGroup(box);
    const struct {
        Stationing mode;
        const char* caption;
        const char* name;
    } kModes[] = {{Stationing::Arc, "&Arc (PT = PC + L arc)", "arcStationing"},
                  {Stationing::Chord, "C&hord (PT = PC + Lrr)", "chordStationing"}};
    for (const auto& mode : kModes) {
        auto* radio = new QRadioButton(QString::fromLatin1(mode.caption), box);
        radio->setObjectName(QString::fromLatin1(mode.name));
        m_stationing->addButton(radio, static_cast<int>(mode.mode));
        modes->addWidget(radio);
    }
    m_stationing->button(static_cast<int>(Stationing::Arc))->setChecked(true);
    modes->addStretch(1);
    form->addRow(QStringLiteral("Stationing"), modes);

    m_interval = new QLineEdit(QString::fromLatin1(kDefaultInterval), box);
    m_interval->setObjectName(QStringLiteral("interval"));
    m_interval->setMaxLength(24);
    form->addRow(QStringLiteral("Stakeout &interval"), m_interval);

    m_message = new QLabel(box);
    m_message->setObjectName(QStringLiteral("stakeoutMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for two lines whether or not a problem is said, so that the sections below keep
    // their place while the user types; a longer message takes more.
    m_message->setMinimumHeight(2 * m_message->fontMetrics().lineSpacing());
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow(m_message);

    auto* points = new QHBoxLayout;
    for (auto [label, name, target] :
         {std::tuple{"PI", "piValue", &m_pi}, std::tuple{"PC", "pcValue", &m_pc},
          std::tuple{"PT", "ptValue", &m_pt}}) {
        auto* caption = new QLabel(QString::fromLatin1(label), box);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        *target = ValueLabel(QString::fromLatin1(name), box);
        (*target)->setAccessibleName(QString::fromLatin1(label) + QStringLiteral(" station"));
        points->addWidget(caption);
        points->addWidget(*target);
        points->addSpacing(16);
    }
    points->addStretch(1);
    form->addRow(points);
    box->setLayout(form);
    layout->addWidget(box);

    connect(m_stationOf, &QComboBox::currentIndexChanged, this, [this] {
        m_piStation->setAccessibleName(m_stationOf->currentText() + QStringLiteral(" station"));
        recompute();
    });
    connect(m_piStation, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_interval, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_stationing, &QButtonGroup::idClicked, this, &CStakeoutWnd::onInputChanged);
}

void CStakeoutWnd::createTableSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Deflection table"), this);
    auto* inner = new QVBoxLayout(box);
    m_caption = ValueLabel(QStringLiteral("stakeoutCaption"), box);
    inner->addWidget(m_caption);

    m_rows = new CTableModel(this);
    m_table = new QTableView(box);
    m_table->setObjectName(QStringLiteral("stakeoutTable"));
    m_table->setAccessibleName(QStringLiteral("Deflection table"));
    m_table->setModel(m_rows);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->setVisible(false);
    // Every cell whole: columns as wide as their texts, the rest of the width to the last.
    // The widths are measured on the first rows only (a table may have 100,000), which
    // hold the widest texts but for the station's count of hundreds.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setResizeContentsPrecision(64);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumHeight(8 * m_table->verticalHeader()->defaultSectionSize());
    inner->addWidget(m_table, 1);

    auto* buttons = new QHBoxLayout;
    m_copy = new QPushButton(QStringLiteral("&Copy"), box);
    m_copy->setObjectName(QStringLiteral("copyTable"));
    m_copy->setToolTip(
        QStringLiteral("Copy the table, tab-separated, to paste into a spreadsheet"));
    m_saveCsv = new QPushButton(QStringLiteral("Save CS&V..."), box);
    m_saveCsv->setObjectName(QStringLiteral("saveCsv"));
    buttons->addWidget(m_copy);
    buttons->addWidget(m_saveCsv);
    buttons->addStretch(1);
    inner->addLayout(buttons);
    layout->addWidget(box, 1);

    connect(m_copy, &QPushButton::clicked, this, &CStakeoutWnd::onCopy);
    connect(m_saveCsv, &QPushButton::clicked, this, &CStakeoutWnd::onSaveCsv);
}

void CStakeoutWnd::createSpiralSection(QVBoxLayout* layout) {
    m_spirals = new CSpiralSection(this);
    layout->addWidget(m_spirals);
    connect(m_spirals, &CSpiralSection::lengthChanged, this, &CStakeoutWnd::onInputChanged);
}

std::optional<SpiralCurve> CStakeoutWnd::Spirals() const {
    if (!m_spirals->Spiral()) return std::nullopt;
    return m_spirals->Spiral()->curve;
}

void CStakeoutWnd::createCoordinatesSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Coordinates"), this);
    auto* inner = new QVBoxLayout(box);
    // The point placed and the first number on one line, its northing and easting on the
    // next: each field keeps the width of a ten-digit coordinate.
    auto* inputs = new QHBoxLayout;
    auto* position = new QHBoxLayout;

    m_known = new QComboBox(box);
    m_known->setObjectName(QStringLiteral("knownPoint"));
    m_known->addItem(QStringLiteral("PC"), static_cast<int>(KnownPoint::Pc));
    m_known->addItem(QStringLiteral("PI"), static_cast<int>(KnownPoint::Pi));
    auto* knownLabel = new QLabel(QStringLiteral("&From the"), box);
    knownLabel->setBuddy(m_known);
    inputs->addWidget(knownLabel);
    inputs->addWidget(m_known);

    auto coordinate = [&](const char* caption, const char* name, QLineEdit*& edit) {
        edit = new QLineEdit(box);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setPlaceholderText(QStringLiteral("5000.00"));
        edit->setMaxLength(24);
        FitFieldTo(edit, QString::fromLatin1(kWidestCoordinate));
        auto* label = new QLabel(QString::fromLatin1(caption), box);
        label->setBuddy(edit);
        position->addWidget(label);
        position->addWidget(edit, 1);
    };
    coordinate("&Northing", "northing", m_northing);
    coordinate("&Easting", "easting", m_easting);

    m_firstPoint = new QSpinBox(box);
    m_firstPoint->setObjectName(QStringLiteral("firstPoint"));
    m_firstPoint->setRange(1, 999999999);  // data collectors take up to nine digits
    auto* firstLabel = new QLabel(QStringLiteral("First p&oint"), box);
    firstLabel->setBuddy(m_firstPoint);
    inputs->addStretch(1);
    inputs->addWidget(firstLabel);
    inputs->addWidget(m_firstPoint);
    inner->addLayout(inputs);
    inner->addLayout(position);

    m_points = new QTableWidget(0, 3, box);
    m_points->setObjectName(QStringLiteral("pointTable"));
    m_points->setHorizontalHeaderLabels(
        {QStringLiteral("Point"), QStringLiteral("Northing"), QStringLiteral("Easting")});
    m_points->setAccessibleName(QStringLiteral("Points"));
    m_points->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_points->verticalHeader()->setVisible(false);
    // The names in a column of their own width, northing and easting sharing the rest;
    // the table is never narrower than a ten-digit coordinate in each of those.
    QHeaderView* header = m_points->horizontalHeader();
    const QFontMetrics cells(m_points->font());
    const int padding = 3 * cells.averageCharWidth();
    const int column = cells.horizontalAdvance(QString::fromLatin1(kWidestCoordinate)) + padding;
    const int name = std::max(cells.horizontalAdvance(QStringLiteral("Point")),
                              cells.horizontalAdvance(QStringLiteral("MPC"))) +
                     padding;
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, name);
    m_points->setMinimumWidth(name + 2 * column + 2 * m_points->frameWidth());
    // The five named points without scrolling.
    const int pointsHeight = 5 * m_points->verticalHeader()->defaultSectionSize() +
                             m_points->horizontalHeader()->sizeHint().height() +
                             2 * m_points->frameWidth();
    m_points->setMinimumHeight(pointsHeight);
    m_points->setMaximumHeight(pointsHeight);
    inner->addWidget(m_points);

    auto* buttons = new QHBoxLayout;
    m_export = new QPushButton(QStringLiteral("E&xport..."), box);
    m_export->setObjectName(QStringLiteral("exportPoints"));
    m_export->setToolTip(QStringLiteral(
        "Write the placed curve as points for a data collector (PNEZD), LandXML or DXF"));
    m_fromPoints = new QPushButton(QStringLiteral("Cu&rve from Points..."), box);
    m_fromPoints->setObjectName(QStringLiteral("curveFromPoints"));
    m_fromPoints->setToolTip(
        QStringLiteral("Find the curve from surveyed points and place it here (%1)")
            .arg(KeyText(kCurveFromPointsKey)));
    buttons->addWidget(m_export);
    buttons->addWidget(m_fromPoints);
    buttons->addStretch(1);
    inner->addLayout(buttons);
    layout->addWidget(box);
    connect(m_fromPoints, &QPushButton::clicked, this, &CStakeoutWnd::curveFromPointsAsked);

    connect(m_known, &QComboBox::currentIndexChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_northing, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_easting, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_firstPoint, &QSpinBox::valueChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_export, &QPushButton::clicked, this, &CStakeoutWnd::onExport);
}

void CStakeoutWnd::createFieldWorkSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Field work"), this);
    auto* form = new QFormLayout(box);

    m_offsets = new QLineEdit(box);
    m_offsets->setObjectName(QStringLiteral("offsets"));
    m_offsets->setPlaceholderText(QStringLiteral("D[,D...] such as -5,5"));
    m_offsets->setMaxLength(200);
    m_offsets->setToolTip(QStringLiteral(
        "Stakes beside the centre line at these offsets, a comma apart; negative is left"));
    auto* offsetsRow = new QHBoxLayout;
    offsetsRow->addWidget(m_offsets, 1);
    offsetsRow->addWidget(new QLabel(QStringLiteral("negative = left"), box));
    auto* offsetsLabel = new QLabel(QStringLiteral("Offse&ts"), box);
    offsetsLabel->setBuddy(m_offsets);
    form->addRow(offsetsLabel, offsetsRow);

    // A row of northing and easting fields for one point: the label's buddy is the
    // northing, and each field says whose it is.
    auto pointRow = [&](const char* caption, const char* what, const char* name,
                        QLineEdit*& northing, QLineEdit*& easting) {
        auto* row = new QHBoxLayout;
        for (auto [edit, part, suffix] :
             {std::tuple{&northing, "N", "Northing"}, std::tuple{&easting, "E", "Easting"}}) {
            *edit = new QLineEdit(box);
            (*edit)->setObjectName(QString::fromLatin1(name) + QString::fromLatin1(suffix));
            (*edit)->setPlaceholderText(QStringLiteral("5000.00"));
            (*edit)->setMaxLength(24);
            (*edit)->setAccessibleName(QString::fromLatin1(what) + QLatin1Char(' ') +
                                       QString::fromLatin1(suffix).toLower());
            auto* partLabel = new QLabel(QString::fromLatin1(part), box);
            partLabel->setBuddy(*edit);
            row->addWidget(partLabel);
            row->addWidget(*edit, 1);
            connect(*edit, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
        }
        auto* label = new QLabel(QString::fromLatin1(caption), box);
        label->setBuddy(northing);
        form->addRow(label, row);
        return row;
    };
    pointRow("Instr&ument at", "Instrument", "instrument", m_instrumentNorthing,
             m_instrumentEasting);
    pointRow("&Backsight on", "Backsight", "backsight", m_backsightNorthing, m_backsightEasting);
    pointRow("Station an&d offset of", "Point", "stationPoint", m_pointNorthing, m_pointEasting);
    m_stationOffset = ValueLabel(QStringLiteral("stationOffsetValue"), box);
    form->addRow(QString(), m_stationOffset);

    m_workMessage = new QLabel(box);
    m_workMessage->setObjectName(QStringLiteral("fieldWorkMessage"));
    m_workMessage->setTextFormat(Qt::PlainText);
    m_workMessage->setWordWrap(true);
    m_workMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette look = m_workMessage->palette();
    look.setColor(QPalette::WindowText, ProblemColour(look));
    m_workMessage->setPalette(look);
    form->addRow(m_workMessage);

    m_backsightLine = ValueLabel(QStringLiteral("backsightValue"), box);
    form->addRow(m_backsightLine);
    m_setup = new QTableWidget(0, 4, box);
    m_setup->setObjectName(QStringLiteral("setupTable"));
    m_setup->setAccessibleName(QStringLiteral("Setup"));
    m_setup->setHorizontalHeaderLabels({QStringLiteral("Point"), QStringLiteral("Azimuth"),
                                        QStringLiteral("Angle right"), QStringLiteral("Distance")});
    m_setup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_setup->verticalHeader()->setVisible(false);
    m_setup->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_setup->setMinimumHeight(7 * m_setup->verticalHeader()->defaultSectionSize());
    form->addRow(m_setup);

    m_offsetStakes = new QPlainTextEdit(box);
    m_offsetStakes->setObjectName(QStringLiteral("offsetStakes"));
    m_offsetStakes->setAccessibleName(QStringLiteral("Offset stakes"));
    m_offsetStakes->setReadOnly(true);
    m_offsetStakes->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
    // Columns of 13 characters, as bendwise-cli prints them.
    m_offsetStakes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_offsetStakes->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_offsetStakes->setMinimumHeight(8 * m_offsetStakes->fontMetrics().height());
    form->addRow(m_offsetStakes);

    auto* buttons = new QHBoxLayout;
    m_copyWork = new QPushButton(QStringLiteral("Copy &field work"), box);
    m_copyWork->setObjectName(QStringLiteral("copyFieldWork"));
    m_copyWork->setToolTip(QStringLiteral(
        "Copy the station and offset, the offset stakes and the setup as text lines"));
    buttons->addWidget(m_copyWork);
    buttons->addStretch(1);
    form->addRow(buttons);
    layout->addWidget(box);

    connect(m_offsets, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_copyWork, &QPushButton::clicked, this, &CStakeoutWnd::onCopyFieldWork);
}

void CStakeoutWnd::createDescriptionSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Legal description"), this);
    auto* inner = new QVBoxLayout(box);
    m_description = new QPlainTextEdit(box);
    m_description->setObjectName(QStringLiteral("legalDescription"));
    m_description->setReadOnly(true);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    m_description->setMaximumHeight(5 * fontMetrics().height());
    m_description->setAccessibleName(QStringLiteral("Legal description"));
    inner->addWidget(m_description);
    layout->addWidget(box);
}

void CStakeoutWnd::ShowCurve(const CCurveRecord& record) {
    m_record = record;
    recompute();
}

QString CStakeoutWnd::Message() const {
    return m_message->text();
}

QString CStakeoutWnd::FieldWorkMessage() const {
    return m_workMessage->text();
}

void CStakeoutWnd::PlaceAt(KnownPoint point, const NorthEast& at) {
    {
        // One recomputation for the three changes.
        const QSignalBlocker known(m_known);
        const QSignalBlocker northing(m_northing);
        const QSignalBlocker easting(m_easting);
        m_known->setCurrentIndex(m_known->findData(static_cast<int>(point)));
        m_northing->setText(CoordinateEntryText(at.northing));
        m_easting->setText(CoordinateEntryText(at.easting));
    }
    recompute();
}

void CStakeoutWnd::say(const QString& text, bool problem) {
    QPalette look = palette();
    if (problem) look.setColor(QPalette::WindowText, ProblemColour(look));
    m_message->setPalette(look);
    m_message->setText(text);
}

void CStakeoutWnd::sayAlso(const QString& problem) {
    const QString before = m_message->text();
    say(before.isEmpty() ? problem : before + QLatin1Char(' ') + problem, true);
}

void CStakeoutWnd::onInputChanged() {
    recompute();
}

SurveyRequest CStakeoutWnd::readRequest(QStringList& problems) const {
    // Each input is read on its own: the description and the coordinates need neither
    // station nor interval, and the stations need no interval.
    SurveyRequest request;
    request.describe = true;
    request.stationing = static_cast<Stationing>(m_stationing->checkedId());
    const bool fromPc = m_stationOf->currentData().toInt() == static_cast<int>(KnownPoint::Pc);
    const QString which = m_stationOf->currentText();
    const QString station = m_piStation->text().trimmed();
    double value = 0;
    if (station.isEmpty()) {
        problems << QStringLiteral("Type the %1 station (25+50) to see the stations.").arg(which);
    } else if (!ParseStation(station.toStdString(), value)) {
        problems << QStringLiteral(
                        "%1 station \"%2\" cannot be read: type it as 25+50, 25+50.00 or 2550.")
                        .arg(which, station);
    } else {
        (fromPc ? request.pcStation : request.piStation) = value;
    }
    const QString interval = m_interval->text().trimmed();
    double every = 0;
    if (!ParseInterval(interval.toStdString(), every)) {
        problems << QStringLiteral(
                        "Interval \"%1\" cannot be read: type a length greater than 0, such as "
                        "100 or 50.")
                        .arg(interval);
    } else {
        request.stakeoutInterval = every;
    }
    request.firstPoint = m_firstPoint->value();
    QString problem;
    request.known = readKnown(problem);
    if (!problem.isEmpty()) problems << problem;
    return request;
}

std::optional<KnownPosition> CStakeoutWnd::readKnown(QString& problem) const {
    const QString northing = m_northing->text().trimmed();
    const QString easting = m_easting->text().trimmed();
    if (northing.isEmpty() && easting.isEmpty()) return std::nullopt;  // not placed
    KnownPosition known;
    known.point = static_cast<KnownPoint>(m_known->currentData().toInt());
    const struct {
        const char* name;
        const QString& text;
        double& value;
    } parts[] = {{"Northing", northing, known.at.northing}, {"Easting", easting, known.at.easting}};
    for (const auto& part : parts) {
        if (!ParseCoordinate(part.text.toStdString(), part.value)) {
            problem = QStringLiteral(
                          "%1 \"%2\" cannot be read: type a number such as 5000 or "
                          "5000.25.")
                          .arg(QString::fromLatin1(part.name), part.text);
            return std::nullopt;
        }
    }
    return known;
}

FieldWorkRequest CStakeoutWnd::readFieldWork(QStringList& problems) const {
    FieldWorkRequest work;
    const QString offsets = m_offsets->text().trimmed();
    if (!offsets.isEmpty() && !ReadOffsets(offsets, work.offsets)) {
        problems << QStringLiteral(
                        "Offsets \"%1\" cannot be read: type lengths a comma apart, such as "
                        "-5,5 (negative is left).")
                        .arg(offsets);
    }
    work.instrument = ReadNorthEast(QStringLiteral("instrument"), *m_instrumentNorthing,
                                    *m_instrumentEasting, problems);
    work.backsight = ReadNorthEast(QStringLiteral("backsight"), *m_backsightNorthing,
                                   *m_backsightEasting, problems);
    // A setup needs both points: the instrument, and the backsight it is oriented on.
    const bool instrumentTyped = !m_instrumentNorthing->text().trimmed().isEmpty() ||
                                 !m_instrumentEasting->text().trimmed().isEmpty();
    const bool backsightTyped = !m_backsightNorthing->text().trimmed().isEmpty() ||
                                !m_backsightEasting->text().trimmed().isEmpty();
    if (instrumentTyped && !backsightTyped) {
        problems << QStringLiteral("Type the backsight too, to orient the instrument on.");
    } else if (backsightTyped && !instrumentTyped) {
        problems << QStringLiteral("Type the instrument point too.");
    }
    if (!work.instrument || !work.backsight) {
        work.instrument.reset();
        work.backsight.reset();
    }
    if (const std::optional<NorthEast> point =
            ReadNorthEast(QStringLiteral("point"), *m_pointNorthing, *m_pointEasting, problems)) {
        work.stationOffsets.push_back(*point);
    }
    return work;
}

void CStakeoutWnd::recompute() {
    QStringList problems;
    SurveyRequest request = readRequest(problems);
    QStringList workProblems;
    request.fieldWork = readFieldWork(workProblems);
    request.spiralLength = m_spirals->Length();
    m_survey = SurveyCurve(m_record, request);
    if (m_survey->stakeout && m_survey->stakeout->error) {
        problems << QStringLiteral("No table: %1.").arg(FromUtf8(*m_survey->stakeout->error));
    }
    say(problems.join(QLatin1Char(' ')), !problems.isEmpty());
    showStations();
    showTable();
    showCoordinates();
    showFieldWork(workProblems);
    showDescription();
    m_spirals->Show(*m_survey, request.piStation.has_value());
    emit spiralsChanged();
}

void CStakeoutWnd::showStations() {
    const bool shown = m_survey && m_survey->stations;
    // Stationed from the PC, a curve of 180 degrees or more has no PI.
    const bool noPi = shown && std::isnan(m_survey->stations->pi);
    ShowValue(m_pi, QStringLiteral("PI station"),
              !shown ? QString()
              : noPi ? QStringLiteral("none")
                     : FromUtf8(FormatStation(m_survey->stations->pi)));
    ShowValue(m_pc, QStringLiteral("PC station"),
              shown ? FromUtf8(FormatStation(m_survey->stations->pc)) : QString());
    ShowValue(m_pt, QStringLiteral("PT station"),
              shown ? FromUtf8(FormatStation(m_survey->stations->pt)) : QString());
}

void CStakeoutWnd::showTable() {
    const Stakeout* stakeout = m_survey && m_survey->stakeout && !m_survey->stakeout->error
                                   ? &*m_survey->stakeout
                                   : nullptr;
    m_caption->setText(stakeout ? FromUtf8(StakeoutCaption(m_record, *stakeout)) : QString());
    m_rows->SetStakeout(stakeout);
    m_copy->setEnabled(stakeout != nullptr);
    m_saveCsv->setEnabled(stakeout != nullptr);
}

void CStakeoutWnd::showCoordinates() {
    m_points->setRowCount(0);
    const bool asked = m_survey && m_survey->points;
    if (asked && m_survey->points->error) {
        sayAlso(QStringLiteral("No coordinates: %1.").arg(FromUtf8(*m_survey->points->error)));
    } else if (asked) {
        for (const NamedPoint& point : NamedPoints(*m_survey->points)) {
            const int row = m_points->rowCount();
            m_points->insertRow(row);
            const QString cells[] = {
                QString::fromLatin1(point.name),
                point.at ? FromUtf8(CoordinateText(point.at->northing)) : QStringLiteral("none"),
                point.at ? FromUtf8(CoordinateText(point.at->easting)) : FromUtf8(kNoPiNote)};
            for (int column = 0; column < 3; ++column) {
                m_points->setItem(row, column, new QTableWidgetItem(cells[column]));
            }
        }
    }
    m_export->setEnabled(m_survey && IsPlaced(*m_survey));
}

void CStakeoutWnd::showFieldWork(const QStringList& problems) {
    static const FieldWork kNone;
    const FieldWork& work = m_survey ? m_survey->fieldWork : kNone;
    QStringList said = problems;
    if (work.stationOffsetError) {
        said
            << QStringLiteral("No station and offset: %1.").arg(FromUtf8(*work.stationOffsetError));
    }
    if (work.offsetsError) {
        said << QStringLiteral("No offset stakes: %1.").arg(FromUtf8(*work.offsetsError));
    }
    if (work.setupError) said << QStringLiteral("No setup: %1.").arg(FromUtf8(*work.setupError));
    m_workMessage->setText(said.join(QLatin1Char(' ')));
    m_workMessage->setVisible(!said.isEmpty());

    QString station;
    if (!work.stationOffsets.empty()) {
        const StationOffset& found = work.stationOffsets.front().found;
        const char* side = found.offset < 0 ? " (left)" : found.offset > 0 ? " (right)" : "";
        station =
            QStringLiteral("Station %1, offset %2%3, on the %4")
                .arg(FromUtf8(FormatStation(found.station)), FromUtf8(CoordinateText(found.offset)),
                     QString::fromLatin1(side), QString::fromLatin1(ElementName(found.element)));
    }
    ShowValue(m_stationOffset, QStringLiteral("Station and offset"), station);

    m_setup->setRowCount(0);
    m_backsightLine->clear();
    if (work.setup) {
        const InstrumentSetup& shots = work.setup->shots;
        m_backsightLine->setText(QStringLiteral("Backsight azimuth %1, distance %2")
                                     .arg(FromUtf8(DmsString(shots.backsightAz)),
                                          FromUtf8(FixedString(shots.backsightDistance))));
        m_setup->setRowCount(static_cast<int>(shots.shots.size()));
        for (std::size_t i = 0; i < shots.shots.size(); ++i) {
            const SetupShot& shot = shots.shots[i];
            const std::string cells[] = {work.setup->names[i], DmsString(shot.azimuth),
                                         DmsString(shot.angleRight), FixedString(shot.distance)};
            for (int column = 0; column < 4; ++column) {
                auto* item = new QTableWidgetItem(FromUtf8(cells[column]));
                if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_setup->setItem(static_cast<int>(i), column, item);
            }
        }
    }

    // The offset lines as bendwise-cli prints them; their errors are in the message.
    FieldWork offsets;
    offsets.offsets = work.offsets;
    std::string text;
    AppendFieldWorkText(text, offsets);
    m_offsetStakes->setPlainText(FromUtf8(text));

    std::string all;
    AppendFieldWorkText(all, work);
    m_copyWork->setEnabled(!all.empty());
}

void CStakeoutWnd::onCopyFieldWork() {
    if (!m_survey) return;
    std::string text;
    AppendFieldWorkText(text, m_survey->fieldWork);
    QApplication::clipboard()->setText(FromUtf8(text));
    say(QStringLiteral("Field work copied to the clipboard."), false);
}

void CStakeoutWnd::showDescription() {
    m_description->setPlainText(m_survey && m_survey->description ? FromUtf8(*m_survey->description)
                                                                  : QString());
}

void CStakeoutWnd::onCopy() {
    if (!m_survey || !m_survey->stakeout) return;
    QApplication::clipboard()->setText(FromUtf8(StakeoutDelimited(*m_survey->stakeout, '\t')));
    say(QStringLiteral("Table copied to the clipboard, tab-separated."), false);
}

void CStakeoutWnd::onSaveCsv() {
    if (!m_survey || !m_survey->stakeout) return;
    const std::string csv = StakeoutDelimited(*m_survey->stakeout, ',');
    const std::optional<QString> path = m_platform.AskSaveFileOfTypeIn(
        this, QStringLiteral("Save Stakeout Table"), QStringLiteral("Stakeout"),
        {{QStringLiteral("CSV table"), QStringLiteral("csv")}}, m_folder.Path());
    if (!path) return;
    m_folder.Remember(*path);
    if (WriteWholeFile(m_platform, this, *path, csv)) {
        say(QStringLiteral("Written to %1").arg(*path), false);
    }
}

void CStakeoutWnd::onExport() {
    if (!m_survey || !IsPlaced(*m_survey)) return;
    // The formats the window offers, in the table's order (frontend/ExportFormats.h).
    QList<FileType> types;
    for (const ExportFormat& format : ExportFormats()) {
        if (format.caption.empty() || !format.available) continue;
        types.push_back({FromUtf8(format.caption), FromUtf8(format.suffix)});
    }
    const std::optional<QString> path =
        m_platform.AskSaveFileOfTypeIn(this, QStringLiteral("Export Curve Points"),
                                       QStringLiteral("Curve"), types, m_folder.Path());
    if (!path) return;
    m_folder.Remember(*path);
    // The name's suffix says which file: the dialog gives a name without one the suffix of
    // the type chosen, and a points file is plain text whatever it is called.
    const ExportFormat* format = FindExportSuffix(QFileInfo(*path).suffix().toStdString());
    if (format == nullptr || format->caption.empty() || !format->available) {
        format = FindExportOption("--points");
    }
    const std::string bytes = format->render({m_record, *m_survey});
    if (WriteWholeFile(m_platform, this, *path, bytes)) {
        say(QStringLiteral("Written to %1").arg(*path), false);
    }
}

}  // namespace bendwise

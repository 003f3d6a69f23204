#include "ui/StakeoutWnd.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

#include "frontend/ExportFormats.h"
#include "survey/ExchangeFiles.h"
#include "survey/StakeoutTable.h"
#include "survey/Stationing.h"
#include "ui/FileWrite.h"
#include "ui/Platform.h"
#include "ui/Utf8.h"

namespace bendwise {
namespace {

// What the window starts with: a PI at 10+00 keeps the start curve's PC ahead of 0+00,
// and stakes at full stations.
constexpr const char* kDefaultPiStation = "10+00";
constexpr const char* kDefaultInterval = "100";

QLabel* ValueLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
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

CStakeoutWnd::CStakeoutWnd(CPlatform& platform, QWidget* calculator)
    : CCurveWindow(calculator, QStringLiteral("Stations and Stakeout"),
                   QStringLiteral("stationsStakeoutWindow"), QSize(680, 860)),
      m_platform(platform) {
    auto* layout = new QVBoxLayout(this);
    createStationsSection(layout);
    createTableSection(layout);
    createCoordinatesSection(layout);
    createDescriptionSection(layout);
}

void CStakeoutWnd::createStationsSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Stations"), this);
    auto* form = new QFormLayout;

    m_piStation = new QLineEdit(QString::fromLatin1(kDefaultPiStation), box);
    m_piStation->setObjectName(QStringLiteral("piStation"));
    m_piStation->setPlaceholderText(QStringLiteral("25+50"));
    m_piStation->setMaxLength(24);
    form->addRow(QStringLiteral("PI &station"), m_piStation);

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
        (*target)->setAccessibleName(QString::fromLatin1(label));
        points->addWidget(caption);
        points->addWidget(*target);
        points->addSpacing(16);
    }
    points->addStretch(1);
    form->addRow(points);
    box->setLayout(form);
    layout->addWidget(box);

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

void CStakeoutWnd::createCoordinatesSection(QVBoxLayout* layout) {
    auto* box = new QGroupBox(QStringLiteral("Coordinates"), this);
    auto* inner = new QVBoxLayout(box);
    auto* inputs = new QHBoxLayout;

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
        auto* label = new QLabel(QString::fromLatin1(caption), box);
        label->setBuddy(edit);
        inputs->addWidget(label);
        inputs->addWidget(edit, 1);
    };
    coordinate("&Northing", "northing", m_northing);
    coordinate("&Easting", "easting", m_easting);

    m_firstPoint = new QSpinBox(box);
    m_firstPoint->setObjectName(QStringLiteral("firstPoint"));
    m_firstPoint->setRange(1, 999999999);  // data collectors take up to nine digits
    auto* firstLabel = new QLabel(QStringLiteral("First p&oint"), box);
    firstLabel->setBuddy(m_firstPoint);
    inputs->addWidget(firstLabel);
    inputs->addWidget(m_firstPoint);
    inner->addLayout(inputs);

    m_points = new QTableWidget(0, 3, box);
    m_points->setObjectName(QStringLiteral("pointTable"));
    m_points->setHorizontalHeaderLabels(
        {QStringLiteral("Point"), QStringLiteral("Northing"), QStringLiteral("Easting")});
    m_points->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_points->verticalHeader()->setVisible(false);
    m_points->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
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
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    inner->addLayout(buttons);
    layout->addWidget(box);

    connect(m_known, &QComboBox::currentIndexChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_northing, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_easting, &QLineEdit::textChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_firstPoint, &QSpinBox::valueChanged, this, &CStakeoutWnd::onInputChanged);
    connect(m_export, &QPushButton::clicked, this, &CStakeoutWnd::onExport);
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

void CStakeoutWnd::say(const QString& text, bool problem) {
    QPalette look = palette();
    if (problem) look.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
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

std::optional<SurveyRequest> CStakeoutWnd::readRequest() {
    SurveyRequest request;
    request.describe = true;
    request.stationing = static_cast<Stationing>(m_stationing->checkedId());
    const QString station = m_piStation->text().trimmed();
    double pi = 0;
    if (station.isEmpty()) {
        say(QStringLiteral("Type the PI station (25+50) to see the stations."), true);
        return std::nullopt;
    }
    if (!ParseStation(station.toStdString(), pi)) {
        say(QStringLiteral("PI station \"%1\" cannot be read: type it as 25+50, 25+50.00 or 2550.")
                .arg(station),
            true);
        return std::nullopt;
    }
    request.piStation = pi;
    const QString interval = m_interval->text().trimmed();
    double every = 0;
    if (!ParseInterval(interval.toStdString(), every)) {
        say(QStringLiteral("Interval \"%1\" cannot be read: type a length greater than 0, such "
                           "as 100 or 50.")
                .arg(interval),
            true);
        return std::nullopt;
    }
    request.stakeoutInterval = every;
    request.firstPoint = m_firstPoint->value();
    QString problem;
    request.known = readKnown(problem);
    say(problem, !problem.isEmpty());
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

void CStakeoutWnd::recompute() {
    const std::optional<SurveyRequest> request = readRequest();
    if (request) {
        m_survey = SurveyCurve(m_record, *request);
        if (m_survey->stakeout && m_survey->stakeout->error) {
            sayAlso(QStringLiteral("No table: %1.").arg(FromUtf8(*m_survey->stakeout->error)));
        }
    } else {
        m_survey.reset();
    }
    showStations();
    showTable();
    showCoordinates();
    showDescription();
}

void CStakeoutWnd::showStations() {
    const bool shown = m_survey && m_survey->stations;
    m_pi->setText(shown ? FromUtf8(FormatStation(m_survey->stations->pi)) : QString());
    m_pc->setText(shown ? FromUtf8(FormatStation(m_survey->stations->pc)) : QString());
    m_pt->setText(shown ? FromUtf8(FormatStation(m_survey->stations->pt)) : QString());
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
    const std::optional<QString> path = m_platform.AskSaveFileOfType(
        this, QStringLiteral("Save Stakeout Table"), QStringLiteral("Stakeout"),
        {{QStringLiteral("CSV table"), QStringLiteral("csv")}});
    if (!path) return;
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
    const std::optional<QString> path = m_platform.AskSaveFileOfType(
        this, QStringLiteral("Export Curve Points"), QStringLiteral("Curve"), types);
    if (!path) return;
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

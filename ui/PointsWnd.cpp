#include "ui/PointsWnd.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <initializer_list>

#include "survey/Coordinates.h"
#include "survey/Stationing.h"
#include "ui/DialogLook.h"
#include "ui/Utf8.h"

namespace bendwise {
namespace {

// The misclosure accepted when the window opens, as typed (kDefaultMisclosure).
constexpr const char* kDefaultTolerance = "0.02";

struct FitRow {
    PointsFit fit;
    const char* caption;
    const char* name;
    const char* second;  // what the second point is, in the row's label
    const char* words;   // ... and in a sentence
};
const FitRow kFits[] = {
    {PointsFit::ThreePoints, "PC, point on &arc, PT", "threePointsFit", "Point on arc",
     "point on the arc"},
    {PointsFit::RadiusPoint, "PC, &RP, PT", "radiusPointFit", "RP", "RP"},
    {PointsFit::TangentPoints, "PC, P&I, PT", "tangentPointsFit", "PI", "PI"},
};

const FitRow& RowOf(PointsFit fit) {
    for (const FitRow& row : kFits) {
        if (row.fit == fit) return row;
    }
    return kFits[0];
}

}  // namespace

CPointsWnd::CPointsWnd(QWidget* calculator)
    : CCurveWindow(calculator, QStringLiteral("Curve from Points"),
                   QStringLiteral("curveFromPointsWindow"), QSize(560, 620)) {
    auto* layout = new QVBoxLayout(this);

    auto* pointsBox = new QGroupBox(QStringLiteral("Points surveyed"), this);
    auto* inner = new QVBoxLayout(pointsBox);
    auto* fits = new QHBoxLayout;
    m_fit = new QButtonGroup(pointsBox);
    for (const FitRow& row : kFits) {
        auto* radio = new QRadioButton(QString::fromLatin1(row.caption), pointsBox);
        radio->setObjectName(QString::fromLatin1(row.name));
        m_fit->addButton(radio, static_cast<int>(row.fit));
        fits->addWidget(radio);
    }
    m_fit->button(static_cast<int>(PointsFit::ThreePoints))->setChecked(true);
    fits->addStretch(1);
    inner->addLayout(fits);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Northing"), pointsBox), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Easting"), pointsBox), 0, 2);
    const char* const names[] = {"pc", "second", "pt"};
    const char* const captions[] = {"P&C", "", "P&T"};
    for (int i = 0; i < 3; ++i) {
        PointRow& row = m_points[static_cast<std::size_t>(i)];
        row.label = new QLabel(QString::fromLatin1(captions[i]), pointsBox);
        for (auto [edit, part] :
             {std::pair{&row.northing, "Northing"}, {&row.easting, "Easting"}}) {
            *edit = new QLineEdit(pointsBox);
            (*edit)->setObjectName(QString::fromLatin1(names[i]) + QString::fromLatin1(part));
            (*edit)->setPlaceholderText(QStringLiteral("5000.00"));
            (*edit)->setMaxLength(24);
            connect(*edit, &QLineEdit::textChanged, this, &CPointsWnd::onInputChanged);
        }
        row.label->setBuddy(row.northing);
        grid->addWidget(row.label, i + 1, 0);
        grid->addWidget(row.northing, i + 1, 1);
        grid->addWidget(row.easting, i + 1, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    inner->addLayout(grid);

    auto* checks = new QHBoxLayout;
    m_major = new QCheckBox(QStringLiteral("&Major arc"), pointsBox);
    m_major->setObjectName(QStringLiteral("majorArc"));
    m_major->setToolTip(QStringLiteral("PC, RP, PT: the long way round from the PC to the PT"));
    checks->addWidget(m_major);
    checks->addSpacing(24);
    m_tolerance = new QLineEdit(QString::fromLatin1(kDefaultTolerance), pointsBox);
    m_tolerance->setObjectName(QStringLiteral("tolerance"));
    m_tolerance->setMaxLength(24);
    m_tolerance->setToolTip(QStringLiteral(
        "Largest misclosure accepted: the PT's radius against the PC's, or the ahead tangent "
        "against the back tangent"));
    auto* toleranceLabel = new QLabel(QStringLiteral("T&olerance"), pointsBox);
    toleranceLabel->setBuddy(m_tolerance);
    checks->addWidget(toleranceLabel);
    checks->addWidget(m_tolerance);
    checks->addStretch(1);
    inner->addLayout(checks);
    layout->addWidget(pointsBox);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("pointsMessage"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);

    auto* inverseBox = new QGroupBox(QStringLiteral("Inverse"), this);
    auto* inverseLayout = new QVBoxLayout(inverseBox);
    m_inverseText = new QPlainTextEdit(inverseBox);
    m_inverseText->setObjectName(QStringLiteral("inverseText"));
    m_inverseText->setReadOnly(true);
    m_inverseText->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    // The lines are in columns of 13 characters, as bendwise-cli prints them.
    m_inverseText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_inverseText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_inverseText->setAccessibleName(QStringLiteral("Inverse"));
    inverseLayout->addWidget(m_inverseText);
    layout->addWidget(inverseBox, 1);

    auto* buttons = new QHBoxLayout;
    m_use = new QPushButton(QStringLiteral("&Use this curve"), this);
    m_use->setObjectName(QStringLiteral("useCurve"));
    m_use->setToolTip(QStringLiteral(
        "Put this curve into the calculator and place it at its PC in Stations and Stakeout"));
    buttons->addWidget(m_use);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    // Down the window: the kind of points, each point's northing then easting, the
    // options, the result, the button.
    QWidget* previous = m_fit->button(static_cast<int>(PointsFit::TangentPoints));
    for (const PointRow& row : m_points) {
        for (QWidget* next : std::initializer_list<QWidget*>{row.northing, row.easting}) {
            setTabOrder(previous, next);
            previous = next;
        }
    }
    for (QWidget* next :
         std::initializer_list<QWidget*>{m_major, m_tolerance, m_inverseText, m_use}) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(m_fit, &QButtonGroup::idClicked, this, &CPointsWnd::onInputChanged);
    connect(m_major, &QCheckBox::toggled, this, &CPointsWnd::onInputChanged);
    connect(m_tolerance, &QLineEdit::textChanged, this, &CPointsWnd::onInputChanged);
    connect(m_use, &QPushButton::clicked, this, &CPointsWnd::onUse);
    recompute();
    // Opened to type the points: the keyboard starts at the PC's northing.
    m_points[0].northing->setFocus(Qt::OtherFocusReason);
}

QString CPointsWnd::Message() const {
    return m_message->text();
}

void CPointsWnd::say(const QString& text, bool problem) {
    QPalette look = palette();
    if (problem) look.setColor(QPalette::WindowText, ProblemColour(look));
    m_message->setPalette(look);
    m_message->setText(text);
}

void CPointsWnd::onInputChanged() {
    recompute();
}

std::optional<PointsRequest> CPointsWnd::readRequest() {
    PointsRequest request;
    request.fit = static_cast<PointsFit>(m_fit->checkedId());
    request.major = request.fit == PointsFit::RadiusPoint && m_major->isChecked();
    const FitRow& fit = RowOf(request.fit);
    const QString pointNames[] = {QStringLiteral("PC"), QString::fromLatin1(fit.words),
                                  QStringLiteral("PT")};
    NorthEast* targets[] = {&request.first, &request.second, &request.third};
    bool allTyped = true;
    for (std::size_t i = 0; i < 3; ++i) {
        const struct {
            const char* part;
            QLineEdit* edit;
            double& value;
        } parts[] = {{"Northing", m_points[i].northing, targets[i]->northing},
                     {"Easting", m_points[i].easting, targets[i]->easting}};
        for (const auto& part : parts) {
            const QString text = part.edit->text().trimmed();
            if (text.isEmpty()) {
                allTyped = false;
                continue;
            }
            if (!ParseCoordinate(text.toStdString(), part.value)) {
                say(QStringLiteral("%1 of the %2 \"%3\" cannot be read: type a number such as "
                                   "5000 or 5000.25.")
                        .arg(QString::fromLatin1(part.part), pointNames[i], text),
                    true);
                return std::nullopt;
            }
        }
    }
    if (!allTyped) {
        say(QStringLiteral("Type the northing and easting of the %1, the %2 and the %3.")
                .arg(pointNames[0], pointNames[1], pointNames[2]),
            false);
        return std::nullopt;
    }
    if (request.fit != PointsFit::ThreePoints) {
        const QString tolerance = m_tolerance->text().trimmed();
        if (!ParseInterval(tolerance.toStdString(), request.tolerance)) {
            say(QStringLiteral("Tolerance \"%1\" cannot be read: type a length greater than 0, "
                               "such as 0.02.")
                    .arg(tolerance),
                true);
            return std::nullopt;
        }
    }
    return request;
}

void CPointsWnd::recompute() {
    const FitRow& fit = RowOf(static_cast<PointsFit>(m_fit->checkedId()));
    QLabel* second = m_points[1].label;
    second->setText(QString::fromLatin1(fit.second));
    for (std::size_t i = 0; i < 3; ++i) {
        const QString name = m_points[i].label->text().remove(QLatin1Char('&'));
        m_points[i].northing->setAccessibleName(name + QStringLiteral(" northing"));
        m_points[i].easting->setAccessibleName(name + QStringLiteral(" easting"));
    }
    // The major arc is a choice only about the RP; three points and the tangents fix it.
    m_major->setEnabled(fit.fit == PointsFit::RadiusPoint);
    m_tolerance->setEnabled(fit.fit != PointsFit::ThreePoints);

    const std::optional<PointsRequest> request = readRequest();
    m_inverse.reset();
    if (request) {
        m_inverse = SolvePoints(*request);
        if (m_inverse->refusal) {
            say(QStringLiteral("No curve from these points: %1.")
                    .arg(FromUtf8(*m_inverse->refusal)),
                true);
        } else {
            say(QString(), false);
        }
    }
    std::string text;
    if (m_inverse) AppendInverseText(text, *m_inverse);
    m_inverseText->setPlainText(FromUtf8(text));
    m_use->setEnabled(m_inverse && !m_inverse->refusal);
}

void CPointsWnd::onUse() {
    if (!m_inverse || m_inverse->refusal) return;
    emit curveChosen(m_inverse->curve);
}

}  // namespace bendwise

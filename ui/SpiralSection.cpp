#include "ui/SpiralSection.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "survey/Coordinates.h"
#include "ui/Utf8.h"

namespace bendwise {
namespace {

// How a spiral length reads: the whole text a plain decimal number, as a coordinate is.
enum class LengthRead { None, Length, Unreadable };
LengthRead ReadLength(const QString& typed, double& length) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) return LengthRead::None;
    if (!ParseCoordinate(text.toStdString(), length) || length < 0) return LengthRead::Unreadable;
    return length == 0 ? LengthRead::None : LengthRead::Length;
}

}  // namespace

CSpiralSection::CSpiralSection(QWidget* parent) : QGroupBox(QStringLiteral("Spirals"), parent) {
    setObjectName(QStringLiteral("spirals"));
    auto* form = new QFormLayout(this);
    m_length = new QLineEdit(this);
    m_length->setObjectName(QStringLiteral("spiralLength"));
    m_length->setMaxLength(40);
    m_length->setPlaceholderText(QStringLiteral("none"));
    m_length->setToolTip(QStringLiteral(
        "Length of the clothoid spiral at each end of the curve; empty or 0 for none"));
    auto* label = new QLabel(QStringLiteral("Spiral &length"), this);
    label->setBuddy(m_length);
    form->addRow(label, m_length);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("spiralMessage"));
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_message->hide();
    form->addRow(m_message);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("spiralText"));
    m_text->setAccessibleName(QStringLiteral("Spiral elements and stakeout"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Columns of 13 characters, as bendwise-cli prints them.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setMinimumHeight(10 * m_text->fontMetrics().height());
    m_text->hide();
    form->addRow(m_text);

    connect(m_length, &QLineEdit::textChanged, this, &CSpiralSection::lengthChanged);
}

std::optional<double> CSpiralSection::Length() const {
    double length = 0;
    if (ReadLength(m_length->text(), length) != LengthRead::Length) return std::nullopt;
    return length;
}

void CSpiralSection::Show(const CurveSurvey& survey, bool piStation) {
    m_spiral.reset();
    QString message;
    double length = 0;
    if (ReadLength(m_length->text(), length) == LengthRead::Unreadable) {
        message = QStringLiteral(
                      "The spiral length \"%1\" cannot be read: type a positive length such as "
                      "100 or 95.5, or leave it empty for no spirals.")
                      .arg(m_length->text().trimmed());
    } else if (survey.spiral && survey.spiral->curve.refusal) {
        message = QStringLiteral("No spirals: %1.").arg(FromUtf8(*survey.spiral->curve.refusal));
    } else if (survey.spiral) {
        m_spiral = survey.spiral;
        if (!piStation) {
            message = QStringLiteral(
                "The TS, SC, CS and ST stations and the spiral stakeout need the PI's station.");
        }
    }
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    if (m_spiral) {
        std::string text;
        AppendSpiralText(text, *m_spiral);
        m_text->setPlainText(FromUtf8(text));
        m_text->show();
    } else {
        m_text->clear();
        m_text->hide();
    }
}

}  // namespace bendwise

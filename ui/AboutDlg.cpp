#include "ui/AboutDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "bendwise/Version.h"
#include "frontend/CurveControls.h"
#include "ui/DialogUnits.h"
#include "ui/Platform.h"

namespace bendwise {

QString DocumentationPath() {
    // Installed beside the program by `cmake --install`; in a build tree, the source's
    // (none in a package build).
    const QString installed = QStringLiteral(BENDWISE_INSTALLED_README);
    const QString source = QStringLiteral(BENDWISE_SOURCE_README);
    return QFileInfo::exists(installed) || source.isEmpty() ? installed : source;
}

namespace {

struct AboutText {
    const char* text;
    int x, y, width, height;  // dialog units
};

}  // namespace

CAboutDlg::CAboutDlg(CPlatform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_platform(platform) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Bendwise"));
    const std::string version = std::string("Bendwise Version ") + kVersion;
    const AboutText texts[] = {
        {version.c_str(), 47, 7, 119, 8},
        {"Free software under the MIT licence.", 47, 18, 160, 8},
        {"Documentation:", 7, 37, 138, 8},
        {"This is an educational program only at this time.", 7, 56, 189, 8},
        {"No warranty is given as to correctness or fitness for any purpose.", 7, 67, 209, 8},
    };
    CDialogUnits units(font());
    for (const AboutText& t : texts) units.FitText(font(), QString::fromLatin1(t.text), t.width, 0);
    setFixedSize(units.Map(kAboutDlgWidth, kAboutDlgHeight));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    const QRect iconRect = units.Map(7, 7, 20, 20);
    icon->setGeometry(iconRect);
    icon->setPixmap(QApplication::windowIcon().pixmap(iconRect.size()));

    for (const AboutText& t : texts) {
        auto* label = new QLabel(QString::fromLatin1(t.text), this);
        label->setTextFormat(Qt::PlainText);  // no mnemonic or markup processing
        label->setGeometry(units.Map(t.x, t.y, t.width, t.height));
    }

    // The path on a line of its own, cut in the middle when too long (whole in the tool
    // tip), and selectable so that it can be copied.
    auto* path = new QLabel(this);
    path->setObjectName(QStringLiteral("documentationPath"));
    path->setTextFormat(Qt::PlainText);
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setGeometry(units.Map(7, 46, 264, 8));
    const QString documentation = DocumentationPath();
    path->setText(path->fontMetrics().elidedText(documentation, Qt::ElideMiddle, path->width()));
    path->setToolTip(documentation);

    auto* accept = new QPushButton(QStringLiteral("Accept"), this);
    accept->setObjectName(QStringLiteral("accept"));
    accept->setGeometry(units.Map(221, 61, 50, 14));
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &CAboutDlg::accept);
}

void CAboutDlg::reject() {
    QDialog::reject();
    m_platform.ExitProcess(0);
}

}  // namespace bendwise

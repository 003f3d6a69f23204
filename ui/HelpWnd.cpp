#include "ui/HelpWnd.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/AboutDlg.h"

namespace bendwise {

CHelpWnd::CHelpWnd(const QString& readme, QWidget* parent)
    : QWidget(parent, Qt::Window), m_list(new QListWidget), m_browser(new QTextBrowser) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Bendwise Manual"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setOpenExternalLinks(true);
    // Relative image names ("docs/window.png") are found beside the README.
    m_browser->setSearchPaths({QFileInfo(readme).absolutePath()});
    QFile file(readme);
    if (file.open(QIODevice::ReadOnly)) {
        m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
    } else {
        m_browser->setPlainText(QStringLiteral("The manual could not be read from %1: %2")
                                    .arg(readme, file.errorString()));
    }

    const QTextDocument* document = m_browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        m_sections << block.text();
        m_sectionBlocks << block.blockNumber();
        auto* item = new QListWidgetItem(block.text(), m_list);
        if (level == 1) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
    m_list->setObjectName(QStringLiteral("helpSections"));
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowSection(item->text()); });

    auto* splitter = new QSplitter;
    splitter->addWidget(m_list);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 760});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    QSize size(960, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableSize());
    }
    resize(size);
}

bool CHelpWnd::ShowSection(const QString& title) {
    const int at = m_sections.indexOf(title);
    if (at < 0) return false;
    QTextDocument* document = m_browser->document();
    const QTextBlock block = document->findBlockByNumber(m_sectionBlocks[at]);
    m_browser->setTextCursor(QTextCursor(block));
    // The heading's top in document coordinates is the scroll bar's value that puts it at
    // the top of the view (clamped by the bar at the end of the text).
    const QRectF rect = document->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(static_cast<int>(rect.top()));
    return true;
}

CHelpWnd* ShowHelp(QWidget* parent) {
    auto* help = parent->findChild<CHelpWnd*>(QString(), Qt::FindDirectChildrenOnly);
    if (help == nullptr) help = new CHelpWnd(DocumentationPath(), parent);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

}  // namespace bendwise

// The manual: README.md shown as Markdown in a window of its own, with its sections listed
// beside the text (a click there scrolls to the section). F1 in the calculator opens it
// through ShowHelp. The file is the one the About box names (DocumentationPath(): the
// installed documentation, else the source tree's), read when the window opens, so the
// manual works offline; its pictures are looked up in the README's folder (docs/*.png).
#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QTextBrowser;

namespace bendwise {

class CHelpWnd : public QWidget {
    Q_OBJECT
  public:
    // Reads `readme` (a Markdown file); one that cannot be read is said so in the window.
    explicit CHelpWnd(const QString& readme, QWidget* parent = nullptr);

    QTextBrowser* Browser() const { return m_browser; }
    // The headings of levels 1 and 2, in document order, as listed beside the text.
    const QStringList& Sections() const { return m_sections; }
    // Scrolls the text so that the heading `title` is at the top; false when no section
    // of the list has that heading.
    bool ShowSection(const QString& title);

  private:
    QListWidget* m_list;
    QTextBrowser* m_browser;
    QStringList m_sections;
    QList<int> m_sectionBlocks;  // block number of each heading, as m_sections
};

// Opens the manual as a window of `parent`'s, or raises the one already open there.
CHelpWnd* ShowHelp(QWidget* parent);

}  // namespace bendwise

// The manual window: F1 in the calculator opens it on the README, its list of sections
// scrolls the text, and the README's pictures are found beside it.
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>
#include <memory>

#include "ScriptedPlatform.h"
#include "ui/AboutDlg.h"
#include "ui/CurveDlg.h"
#include "ui/HelpWnd.h"

using namespace bendwise;
using bendwise::test::CScriptedPlatform;

namespace {

// The headings of levels 1 and 2 of a Markdown file, read the plain way: "# " or "## " at
// the start of a line outside ``` blocks, inline code marks dropped.
QStringList MarkdownSections(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList sections;
    bool inCode = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("```"))) inCode = !inCode;
        if (inCode) continue;
        for (const char* mark : {"# ", "## "}) {
            if (line.startsWith(QLatin1String(mark))) {
                sections << line.mid(int(qstrlen(mark))).remove(QLatin1Char('`')).trimmed();
            }
        }
    }
    return sections;
}

}  // namespace

class TestHelpWnd : public QObject {
    Q_OBJECT
  private slots:
    // F1 from a field of the calculator opens one manual window, on the README's first
    // heading; F1 again raises that window rather than opening another.
    void f1OpensTheManual() {
        CCurveMemory memory;
        CScriptedPlatform platform;
        CCurveDlg dlg(&memory, platform);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const QStringList sections = MarkdownSections(DocumentationPath());
        QVERIFY(!sections.isEmpty());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        auto* help = dlg.findChild<CHelpWnd*>();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Browser()->document()->firstBlock().text(), sections.front());
        QCOMPARE(help->Sections().front(), sections.front());

        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(dlg.findChildren<CHelpWnd*>().size(), 1);
    }

    // Every section of the README is listed in order; a click on one brings its heading to
    // the top of the text; the pictures resolve against the README's folder.
    void sectionsScrollAndPicturesLoad() {
        const QString readme = QStringLiteral(BENDWISE_TEST_README);
        CHelpWnd help(readme);
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QStringList sections = MarkdownSections(readme);
        QVERIFY(sections.size() > 3);
        QCOMPARE(help.Sections(), sections);

        auto* list = help.findChild<QListWidget*>(QStringLiteral("helpSections"));
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), sections.size());
        QScrollBar* bar = help.Browser()->verticalScrollBar();
        const int middle = int(sections.size() / 2);
        list->setCurrentRow(middle);
        emit list->itemClicked(list->item(middle));
        QVERIFY(bar->value() > 0);
        QCOMPARE(help.Browser()->textCursor().block().text(), sections[middle]);
        const QRect cursor = help.Browser()->cursorRect();
        QVERIFY2(cursor.top() >= 0 && cursor.top() < help.Browser()->viewport()->height() / 4,
                 "the heading is not at the top of the view");
        QVERIFY(!help.ShowSection(QStringLiteral("No such section")));

        const QVariant picture = help.Browser()->loadResource(
            QTextDocument::ImageResource, QUrl(QStringLiteral("docs/window.png")));
        QVERIFY2(picture.isValid() && !picture.toByteArray().isEmpty(),
                 "docs/window.png is not found beside the README");
    }

    // A README that cannot be read is said so in the window, with its path.
    void unreadableReadmeIsSaid() {
        CHelpWnd help(QStringLiteral("/nonexistent/README.md"));
        QVERIFY(help.Browser()->toPlainText().startsWith(
            QStringLiteral("The manual could not be read from /nonexistent/README.md: ")));
        QVERIFY(help.Sections().isEmpty());
    }
};

QTEST_MAIN(TestHelpWnd)
#include "HelpWndTest.moc"

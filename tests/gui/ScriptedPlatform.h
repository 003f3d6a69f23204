// Test platforms for the calculator window.
//
// CScriptedPlatform answers everything itself: messages and sounds are written down, the
// save dialog answers from a queue, and ExitProcess only records the status.
// CRealBoxPlatform keeps the real QMessageBox (answered by a ModalPoller) and records the
// sounds and exits, for the tests of what real modal windows do to the focus.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "ui/Platform.h"

namespace bendwise::test {

class CScriptedPlatform : public CPlatform {
  public:
    void ShowMessage(QWidget*, const QString& text) override { messages << text; }
    void PlaySound(Sound sound) override { sounds.push_back(sound); }
    std::optional<QString> AskSaveFile(QWidget*, const QString& title) override {
        titles << title;
        if (files.isEmpty()) return std::nullopt;
        const QString answer = files.takeFirst();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
    void ExitProcess(int status) override { exits.push_back(status); }
    // Answered from the same queue as the report question; the types offered are noted
    // as "description *.suffix".
    std::optional<QString> AskSaveFileOfType(QWidget* parent, const QString& title, const QString&,
                                             const QList<FileType>& types) override {
        for (const FileType& type : types) offered << type.description + " *." + type.suffix;
        return AskSaveFile(parent, title);
    }
    // The folder each dialog would start in is noted, then answered as above.
    std::optional<QString> AskSaveFileIn(QWidget* parent, const QString& title,
                                         const QString& folder) override {
        folders << folder;
        return AskSaveFile(parent, title);
    }
    std::optional<QString> AskSaveFileOfTypeIn(QWidget* parent, const QString& title,
                                               const QString& name, const QList<FileType>& types,
                                               const QString& folder) override {
        folders << folder;
        return AskSaveFileOfType(parent, title, name, types);
    }

    int Count(Sound sound) const {
        int n = 0;
        for (Sound s : sounds) n += s == sound ? 1 : 0;
        return n;
    }
    void Clear() {
        messages.clear();
        sounds.clear();
        titles.clear();
        folders.clear();
        exits.clear();
        offered.clear();
    }

    QStringList messages;
    std::vector<Sound> sounds;
    QStringList titles;   // titles of the save dialogs asked for
    QStringList folders;  // ... and the folders they start in ("": the default)
    QStringList files;    // answers to the save dialogs, in order; none or "" is a cancel
    QStringList offered;  // file types offered by the save dialogs of the curve windows
    std::vector<int> exits;
};

class CRealBoxPlatform : public CQtPlatform {
  public:
    void PlaySound(Sound sound) override { sounds.push_back(sound); }
    void ExitProcess(int status) override { exits.push_back(status); }

    std::vector<Sound> sounds;
    std::vector<int> exits;
};

// Answers the modal windows that open while it lives: every 10 ms it looks at
// QApplication::activeModalWidget() and, once that window is the active one (or has been
// waiting for 20 ticks), hands it to `answer`. Scoped to one test: the timer dies with it.
class ModalPoller {
  public:
    using Answer = std::function<void(QWidget* modal)>;

    explicit ModalPoller(Answer answer) : m_answer(std::move(answer)) {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Poll(); });
        m_timer.start(10);
    }

    // Class names of the modal windows answered, in order.
    const QStringList& Answered() const { return m_answered; }
    // The largest number of message boxes seen open at the same time.
    int MostBoxesAtOnce() const { return m_mostBoxes; }
    // Texts of the message boxes answered.
    const QStringList& BoxTexts() const { return m_boxTexts; }

  private:
    void Poll() {
        int boxes = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(top) && top->isVisible()) ++boxes;
        }
        m_mostBoxes = std::max(m_mostBoxes, boxes);

        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            m_waiting = 0;
            return;
        }
        if (modal != QApplication::activeWindow() && ++m_waiting < 20) return;
        m_waiting = 0;
        m_answered << QString::fromLatin1(modal->metaObject()->className());
        if (auto* box = qobject_cast<QMessageBox*>(modal)) m_boxTexts << box->text();
        m_answer(modal);
    }

    Answer m_answer;
    QTimer m_timer;
    QStringList m_answered;
    QStringList m_boxTexts;
    int m_mostBoxes = 0;
    int m_waiting = 0;
};

// Closes a message box with its OK button.
inline void ClickOk(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) box->button(QMessageBox::Ok)->click();
}

}  // namespace bendwise::test

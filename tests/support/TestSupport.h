#pragma once

#include "MessageBox.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>

class QDialog;
class QWidget;

namespace ht {
class clsADO;
}

namespace ht::test {

// Thrown by the test's stand-in for ending the program.
struct ProgramEnded {
    int code;
};

// Keeps every message shown and answers them as the test scripted (OK otherwise).
class MessageRecorder {
public:
    QList<MessageRecord> shown;
    QList<MsgAnswer> answers;

    void answerNext(MsgAnswer answer) { answers.append(answer); }
    MessageRecord last() const { return shown.isEmpty() ? MessageRecord{} : shown.last(); }
    void clear() { shown.clear(); }
};

// A fresh program folder holding the shipped database, its own settings store,
// and the prompt, file-dialog and program-end seams answered by the test.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDatabase = true);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    QString dir() const { return m_dir.path(); }
    QString path(const QString &name) const;
    QString settingsDir() const;
    // The shared data store of the program folder, opened.
    ht::clsADO &openDb();

    MessageRecorder messages;
    QList<QString> fileAnswers;

private:
    QTemporaryDir m_dir;
};

// Runs trigger, which opens a modal dialog; once the dialog shows, runs inside on it
// and then closes it if it is still open. QVERIFY and friends may be used inside.
// False when no dialog appeared, a check inside failed, or the dialog would not
// close within the time-out (it is then closed by force), so a test never hangs.
bool runModal(const std::function<void()> &trigger, const std::function<void(QDialog *)> &inside,
              int timeoutMs = 5000);

// Triggers the window's action of that object name; false (with a warning) when it has none.
bool triggerAction(QWidget *window, const QString &name);

// Copies the pristine shipped database to path.
void copyTemplateDatabase(const QString &path);

} // namespace ht::test

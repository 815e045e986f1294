#pragma once

#include "MessageBox.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

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

// Copies the pristine shipped database to path.
void copyTemplateDatabase(const QString &path);

} // namespace ht::test

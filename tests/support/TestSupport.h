#pragma once

#include "foundation/MessageBox.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QAbstractItemModel;
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
};

// A fresh program folder holding the shipped database, its own settings store,
// and the prompt, file-dialog and program-end seams answered by the test.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDatabase = true);
    // A folder with the shipped database and that user logged in.
    static std::unique_ptr<ProgramFolder> withUser(const QString &user);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    QString dir() const { return m_dir.path(); }
    QString path(const QString &name) const;
    // The shared data store of the program folder, opened.
    ht::clsADO &openDb();

    MessageRecorder messages;
    QList<QString> fileAnswers;
    // The font and colour dialogs' answers in turn; none (or none left) cancels.
    QList<std::optional<QFont>> fontAnswers;
    QList<std::optional<QColor>> colorAnswers;

private:
    QTemporaryDir m_dir;
};

// Runs trigger, which opens a modal dialog; once the dialog is shown and active, runs
// inside on it and then closes it if it is still open. QVERIFY and friends may be used
// inside. False when no dialog appeared, a check inside failed, or the dialog would not
// close within the time-out (it is then closed by force), so a test never hangs.
bool runModal(const std::function<void()> &trigger, const std::function<void(QDialog *)> &inside,
              int timeoutMs = 10000);

// Closing the main window ends the run; a test that goes on after it calls this.
void resumeAfterQuit();

// Triggers the window's action of that object name; false (with a warning) when it has none.
bool triggerAction(QWidget *window, const QString &name);
// The text of the window's label of that object name; "(no label)" when it has none.
QString labelText(QWidget *window, const QString &name);

// Straight to the shared store, to set a case up or read it back.
void execute(const QString &sql, const QVariantList &values = {});
// The first column of the first row as text; "(no row)" when there is none.
QString scalar(const QString &sql, const QVariantList &values = {});

// A file's bytes; empty when it cannot be read.
QByteArray fileContents(const QString &path);
// Writes the file whole, or ends the test run.
void writeFile(const QString &path, const QByteArray &bytes);
// Copies the pristine shipped database to path.
void copyTemplateDatabase(const QString &path);

// A ledger record written straight into the shared store; its ID.
qint64 addRecord(int style, const QDateTime &when, double money, const QString &memo = {}, qint64 typeId = 1,
                 const QString &user = QStringLiteral("admin"));
// The display texts of one column of a model (a list's or a combo box's items), top to bottom.
QStringList columnTexts(const QAbstractItemModel *model, int column);

} // namespace ht::test

#include "TestSupport.h"

#include "FileDialog.h"
#include "Program.h"
#include "ProgramExit.h"
#include "clsADO.h"

#include <QApplication>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace ht::test {

void copyTemplateDatabase(const QString &path)
{
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(HT_TEMPLATE_DB), path))
        qFatal("cannot copy the template database to %s", qPrintable(path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

bool runModal(const std::function<void()> &trigger, const std::function<void(QDialog *)> &inside, int timeoutMs)
{
    bool seen = false;
    bool timedOut = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!seen && dialog && dialog->isVisible()) {
            seen = true;
            QPointer<QDialog> guard(dialog);
            inside(dialog);
            if (guard && guard->isVisible())
                guard->reject();
            return;
        }
        if (clock.elapsed() > timeoutMs) {
            timedOut = true;
            while (QWidget *w = QApplication::activeModalWidget())
                w->close();
            poll.stop();
        }
    });
    poll.start();
    trigger();
    poll.stop();
    if (!seen)
        qWarning("runModal: no modal dialog appeared");
    if (timedOut)
        qWarning("runModal: the dialog was still open after %d ms", timeoutMs);
    return seen && !timedOut && !QTest::currentTestFailed();
}

bool triggerAction(QWidget *window, const QString &name)
{
    auto *action = window ? window->findChild<QAction *>(name) : nullptr;
    if (!action) {
        qWarning("triggerAction: no action named %s", qPrintable(name));
        return false;
    }
    action->trigger();
    return true;
}

ProgramFolder::ProgramFolder(bool withDatabase)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    program::setDir(m_dir.path());
    program::session() = program::Session{};
    if (withDatabase)
        copyTemplateDatabase(path(QStringLiteral("syslibs.dll")));

    QDir().mkpath(settingsDir());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir());

    setMessageHandler([this](const MessageRecord &m) {
        messages.shown.append(m);
        return messages.answers.isEmpty() ? MsgAnswer::Ok : messages.answers.takeFirst();
    });
    setFileDialogHandler([this](const FileDialogRequest &) {
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    });
    setExitHandler([](int code) { throw ProgramEnded{code}; });
}

ProgramFolder::~ProgramFolder()
{
    program::releaseShared();
    program::setDir(QString());
    setMessageHandler({});
    setFileDialogHandler({});
    setExitHandler({});
}

QString ProgramFolder::path(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

QString ProgramFolder::settingsDir() const
{
    return path(QStringLiteral(".settings"));
}

clsADO &ProgramFolder::openDb()
{
    clsADO &db = program::db();
    db.OpenDB();
    return db;
}

} // namespace ht::test

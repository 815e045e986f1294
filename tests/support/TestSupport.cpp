#include "tests/support/TestSupport.h"

#include "foundation/DbTask.h"
#include "foundation/FileDialog.h"
#include "foundation/Program.h"
#include "foundation/ProgramExit.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace ht::test {

QByteArray fileContents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

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
        // Focus checks inside are only sound once the dialog is the active window.
        if (!seen && dialog && dialog->isVisible() && dialog->isActiveWindow()) {
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
        qWarning("runModal: no active modal dialog appeared");
    if (timedOut)
        qWarning("runModal: the dialog was still open after %d ms", timeoutMs);
    return seen && !timedOut && !QTest::currentTestFailed();
}

void resumeAfterQuit()
{
    // exit() leaves a flag that makes every later event loop return at once; the
    // application's own loop clears it when it ends.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    QCoreApplication::exec();
}

bool triggerAction(QWidget *window, const QString &name)
{
    auto *action = window ? window->findChild<QAction *>(name) : nullptr;
    if (action)
        action->trigger();
    else
        qWarning("triggerAction: no action named %s", qPrintable(name));
    return action;
}

QString labelText(QWidget *window, const QString &name)
{
    auto *label = window ? window->findChild<QLabel *>(name) : nullptr;
    return label ? label->text() : QStringLiteral("(no label)");
}

ProgramFolder::ProgramFolder(bool withDatabase)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    program::setDir(m_dir.path());
    program::session() = program::Session{};
    program::setToday({});
    if (withDatabase)
        copyTemplateDatabase(path(QStringLiteral("syslibs.dll")));

    const QString settings = path(QStringLiteral(".settings"));
    QDir().mkpath(settings);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);

    setMessageHandler([this](const MessageRecord &m) {
        messages.shown.append(m);
        return messages.answers.isEmpty() ? MsgAnswer::Ok : messages.answers.takeFirst();
    });
    setFileDialogHandler(
        [this](const FileDialogRequest &) { return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst(); });
    setFontDialogHandler(
        [this](const QFont &) { return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.takeFirst(); });
    setColorDialogHandler(
        [this](const QColor &) { return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst(); });
    setExitHandler([](int code) { throw ProgramEnded{code}; });
    installDatabaseFailureHandling();
}

std::unique_ptr<ProgramFolder> ProgramFolder::withUser(const QString &user)
{
    auto folder = std::make_unique<ProgramFolder>();
    ht::program::session().userName = user;
    return folder;
}

ProgramFolder::~ProgramFolder()
{
    program::db().CloseDB();
    program::releaseShared();
    program::setDir(QString());
    setMessageHandler({});
    setFileDialogHandler({});
    setFontDialogHandler({});
    setColorDialogHandler({});
    setExitHandler({});
}

QString ProgramFolder::path(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

clsADO &ProgramFolder::openDb()
{
    clsADO &db = program::db();
    if (!db.isOpen())
        db.OpenDB();
    return db;
}

qint64 addRecord(int style, const QDateTime &when, double money, const QString &memo, qint64 typeId,
                 const QString &user)
{
    Connection c(program::db());
    return c.db().insert(QStringLiteral("pursewicks"),
                         {{QStringLiteral("username"), user},
                          {QStringLiteral("typeid"), typeId},
                          {QStringLiteral("postdate"), when},
                          {QStringLiteral("money"), money},
                          {QStringLiteral("style"), style},
                          {QStringLiteral("memo"), memo}});
}

QStringList columnTexts(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

void execute(const QString &sql, const QVariantList &values)
{
    Connection(program::db()).db().execute(sql, values);
}

QString scalar(const QString &sql, const QVariantList &values)
{
    Connection c(program::db());
    Query q = c.db().query(sql, values);
    return q.next() ? q.text(0) : QStringLiteral("(no row)");
}

} // namespace ht::test

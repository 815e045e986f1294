#include "bench/crash/CrashTrials.h"

#include "update/Install.h"

#include "book/LoginStore.h"
#include "book/MemoStore.h"
#include "book/QueryConditions.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"

#include "foundation/DbFile.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <thread>

#include <cstdio>
#include <stdexcept>

namespace crash {
namespace {

const QString user = QStringLiteral("admin");
constexpr int batch = 50;

void done()
{
    std::fputs("done\n", stdout);
    std::fflush(stdout);
}

ht::Record record(int style, qint64 cents, const QString &memo)
{
    ht::Record r;
    r.postdate = QDateTime(QDate(2024, 1, 1), QTime(12, 0));
    r.amount = ht::Money::fromCents(cents);
    r.style = style;
    r.memo = memo;
    return r;
}

// A transfer: the same amount out of one class and into the other, in one transaction.
void transfers(ht::clsADO &db)
{
    for (qint64 i = 1;; ++i) {
        ht::Connection c(db);
        ht::Transaction t(db);
        ht::RecordStore::save(db, user, record(0, i, QStringLiteral("transfer")), 1);
        ht::RecordStore::save(db, user, record(1, i, QStringLiteral("transfer")), 10);
        t.commit();
        done();
    }
}

// Batches of 50 tagged records, each older batch deleted by the query dialog's batch delete.
void batchDeletes(ht::clsADO &db)
{
    // Tags stay unique across the runs on one folder.
    const QString run = QString::number(QCoreApplication::applicationPid());
    for (int tag = 1;; ++tag) {
        ht::Connection c(db);
        {
            ht::Transaction t(db);
            for (int i = 0; i < batch; ++i)
                ht::RecordStore::save(db, user, record(i % 2, 100 + i, QStringLiteral("batch%1-%2;").arg(run).arg(tag)),
                                      1);
            t.commit();
        }
        ht::SearchConditions picked;
        picked.byMemo = true;
        picked.memo = QStringLiteral("batch%1-%2;").arg(run).arg(tag - 1);
        ht::QueryConditions::deletePicked(db, user, ht::QueryConditions::forDelete(picked));
        // Some batches come back from the bin, some leave it for good.
        const QList<ht::RecycleBin::Entry> bin = ht::RecycleBin::entries(db, user);
        if (tag % 3 == 0 && !bin.isEmpty())
            ht::RecycleBin::restore(db, user, bin.first().id);
        else if (tag % 3 == 1 && bin.size() > 1)
            ht::RecycleBin::erase(db, user, bin.last().id);
        done();
    }
}

// Logins that remember the user exactly when the count of earlier logins is even.
void logins(ht::clsADO &db)
{
    for (;;) {
        ht::Connection c(db);
        const qint64 before = db.count(QStringLiteral("SELECT logintime FROM users WHERE username=?"), {user});
        ht::LoginStore::login(db, user, QStringLiteral("admin"), before % 2 == 0);
        done();
    }
}

void notes(ht::clsADO &db)
{
    for (qint64 i = 1;; ++i) {
        ht::Connection c(db);
        ht::MemoNote note;
        note.when = QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(i);
        note.content = QStringLiteral("note %1").arg(i);
        const qint64 id = ht::MemoStore::add(db, user, note);
        if (i % 3 == 0)
            ht::MemoStore::remove(db, user, {id, id - 1});
        done();
    }
}

QString inFolder(const QString &dir, const char *name)
{
    return QDir(dir).filePath(QString::fromLatin1(name));
}

// Two backups, A.dbk and B.dbk, that differ in their one memo note ("A" or "B"), each with
// enough records that a change of them all outgrows a small cache; the database is left as A.
void prepareBackups(ht::clsADO &db, const QString &dir)
{
    if (QFile::exists(inFolder(dir, "A.dbk")))
        return;
    {
        ht::Connection c(db);
        ht::Transaction t(db);
        for (int i = 0; i < 3000; ++i)
            ht::RecordStore::save(db, user, record(i % 2, i, QStringLiteral("record %1").arg(i).repeated(8)), 1);
        t.commit();
    }
    for (const char *name : {"B", "A"}) {
        {
            ht::Connection c(db);
            db.execute(QStringLiteral("DELETE FROM MyNotes"));
            ht::MemoNote note;
            note.when = QDateTime(QDate(2024, 1, 1), QTime(8, 0));
            note.content = QString::fromLatin1(name);
            ht::MemoStore::add(db, user, note);
        }
        ht::copyDatabaseFile(db.dbDir(), inFolder(dir, name) + QStringLiteral(".dbk"));
    }
}

// Another program in the middle of a change of every record: more than its small cache
// holds, so part of it is already in the file and the rest in its journal. It waits there.
void hold(ht::clsADO &db)
{
    ht::Connection c(db);
    db.execute(QStringLiteral("PRAGMA cache_size=8"));
    db.execute(QStringLiteral("BEGIN"));
    db.execute(QStringLiteral("UPDATE pursewicks SET memo='held '||memo"));
    db.execute(QStringLiteral("UPDATE MyNotes SET noteContent='held'"));
    done();
    for (;;)
        QThread::sleep(60);
}

// Restores, in turn, the two backups.
void restores(ht::clsADO &db, const QString &dir)
{
    prepareBackups(db, dir);
    for (int i = 0;; ++i) {
        const QString why = ht::replaceDatabaseFile(db.dbDir(), inFolder(dir, i % 2 ? "A.dbk" : "B.dbk"),
                                                    db.dbDir() + QStringLiteral(".bak"));
        if (!why.isEmpty())
            throw std::runtime_error(why.toStdString());
        done();
    }
}

// Installs, in turn, two working programs in place of the program file.
void installs(const QString &dir)
{
    const QString programs[] = {QStandardPaths::findExecutable(QStringLiteral("true")),
                                QStandardPaths::findExecutable(QStringLiteral("echo"))};
    const QString target = inFolder(dir, "pursewick");
    if (!QFile::exists(target))
        QFile::copy(programs[0], target);
    for (int i = 1;; ++i) {
        const QString downloaded = inFolder(dir, "pursewick.tmp");
        QFile::remove(downloaded);
        QFile::copy(programs[i % 2], downloaded);
        QString why;
        if (!ht::update::replaceProgram(downloaded, target, &why))
            throw std::runtime_error(why.toStdString());
        done();
    }
}

// A writable copy of the shipped database.
void copyDatabase(const QString &templateDb, const QString &path)
{
    QFile::copy(templateDb, path);
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString firstText(ht::clsADO &db, const QString &sql)
{
    ht::Query q = db.query(sql);
    return q.next() ? q.text(0) : QString();
}

} // namespace

QStringList kinds()
{
    return {QStringLiteral("transfers"), QStringLiteral("batchdelete"), QStringLiteral("login"),
            QStringLiteral("memos"),     QStringLiteral("restore"),     QStringLiteral("update"),
            QStringLiteral("busy")};
}

int work(const QString &kind, const QString &programDir)
{
    ht::program::setDir(programDir);
    // Remembered logins' tokens stay with the trial, out of the user's own settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, programDir);
    ht::clsADO &db = ht::program::db();
    try {
        if (kind == QLatin1String("transfers"))
            transfers(db);
        else if (kind == QLatin1String("batchdelete"))
            batchDeletes(db);
        else if (kind == QLatin1String("login"))
            logins(db);
        else if (kind == QLatin1String("memos"))
            notes(db);
        else if (kind == QLatin1String("restore"))
            restores(db, programDir);
        else if (kind == QLatin1String("hold"))
            hold(db);
        else if (kind == QLatin1String("update"))
            installs(programDir);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 2; // the work ends only when it is killed
}

QString check(const QString &kind, const QString &programDir)
{
    if (kind == QLatin1String("update")) {
        // Whole and runnable, whichever of the two it is.
        QFile program(inFolder(programDir, "pursewick"));
        if (!(program.permissions() & QFile::ExeOwner) || !program.open(QIODevice::ReadOnly))
            return QStringLiteral("the program file is missing or cannot run");
        const QByteArray bytes = program.readAll();
        for (const char *name : {"true", "echo"}) {
            QFile known(QStandardPaths::findExecutable(QString::fromLatin1(name)));
            if (known.open(QIODevice::ReadOnly) && known.readAll() == bytes) {
                QProcess run;
                run.setStandardOutputFile(QProcess::nullDevice());
                run.start(program.fileName(), {});
                const bool ran = run.waitForFinished() && run.exitStatus() == QProcess::NormalExit
                    && run.exitCode() == 0;
                return ran ? QString() : QStringLiteral("it does not run");
            }
        }
        return QStringLiteral("the program file is neither the old nor the new one");
    }
    ht::clsADO db(QDir(programDir).filePath(QStringLiteral("syslibs.dll")));
    try {
        ht::Connection c(db);
        const QString integrity = firstText(db, QStringLiteral("PRAGMA integrity_check"));
        if (integrity != QLatin1String("ok"))
            return QStringLiteral("integrity: ") + integrity;
        QString broken;
        if (kind == QLatin1String("transfers"))
            broken = firstText(
                db,
                QStringLiteral("SELECT 'unpaired' FROM pursewicks WHERE memo='transfer' "
                               "GROUP BY CAST(round(money*100) AS INTEGER) HAVING SUM(style)*2<>COUNT(*)"));
        else if (kind == QLatin1String("batchdelete"))
            // A batch is shown or in the bin, whole, never both; its bin entry counts it.
            broken = firstText(db,
                               QStringLiteral("SELECT memo FROM pursewicks WHERE memo LIKE 'batch%' GROUP BY memo "
                                              "HAVING COUNT(*)<>%1 UNION ALL SELECT 'shown and in the bin: '||memo "
                                              "FROM (SELECT memo FROM pursewicks UNION ALL SELECT memo FROM "
                                              "pursewicksBin) WHERE memo LIKE 'batch%' GROUP BY memo HAVING "
                                              "COUNT(*)<>%1 UNION ALL SELECT 'entry '||ID FROM binEntries AS E WHERE "
                                              "[count]<>(SELECT COUNT(*) FROM pursewicksBin WHERE binEntry=E.ID) "
                                              "UNION ALL SELECT 'no entry '||binEntry FROM pursewicksBin WHERE "
                                              "binEntry NOT IN (SELECT ID FROM binEntries)")
                                   .arg(batch));
        else if (kind == QLatin1String("login"))
            broken = firstText(db,
                               QStringLiteral("SELECT 'count '||u.logintime||' focus '||a.focusUser FROM users u "
                                              "JOIN autouser a ON a.username=u.username WHERE u.username='admin' "
                                              "AND (u.logintime%2)<>a.focusUser"));
        else if (kind == QLatin1String("restore")) {
            broken = QStringList{QStringLiteral("A"), QStringLiteral("B")}.contains(
                         firstText(db, QStringLiteral("SELECT group_concat(noteContent) FROM MyNotes")))
                ? QString()
                : QStringLiteral("neither backup");
            // What the killed restores left is gone at the next start; the backups stay.
            ht::removeLeftoverCopies(db.dbDir());
            if (broken.isEmpty() && !QDir(programDir).entryList({QStringLiteral("*.part-*")}, QDir::Files).isEmpty())
                broken = QStringLiteral("a killed copy's leftover stays");
        } else if (kind == QLatin1String("memos"))
            broken = firstText(db,
                               QStringLiteral("SELECT 'counted '||c.n||' of '||(SELECT COUNT(*) FROM MyNotes "
                                              "WHERE username='admin') FROM MyNotesCount c WHERE c.username='admin' "
                                              "AND c.n<>(SELECT COUNT(*) FROM MyNotes WHERE username='admin')"));
        return broken;
    } catch (const ht::DbError &e) {
        return QString::fromUtf8(e.what());
    }
}

QStringList blindChecks(const QString &templateDb)
{
    const char *const transfer = "INSERT INTO pursewicks(username,typeid,postdate,money,style,memo) "
                                 "VALUES('admin',1,'2024-01-01 12:00:00',0.07,0,'transfer')";
    const std::tuple<const char *, const char *, const char *> halves[] = {
        {"transfers", nullptr, transfer},
        {"batchdelete", nullptr, "UPDATE pursewicks SET memo='batch1-1;' WHERE ID=(SELECT MAX(ID) FROM pursewicks)"},
        {"batchdelete", nullptr,
         "INSERT INTO pursewicksBin(ID,username,postdate,style,memo,binEntry) SELECT ID,username,postdate,style,"
         "'batch1-1;',0 FROM pursewicks"},
        {"batchdelete", nullptr,
         "INSERT INTO binEntries(username,kind,command,deletedAt,count) VALUES('admin','record','x','2024-01-01',1)"},
        {"login", nullptr, "UPDATE users SET logintime=logintime+1 WHERE username='admin'"},
        {"memos", nullptr, "UPDATE MyNotesCount SET n=n+1"},
        {"restore", "UPDATE MyNotes SET noteContent='A'", "UPDATE MyNotes SET noteContent='A B'"}};
    QStringList blind;
    for (const auto &[kind, before, half] : halves) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("syslibs.dll"));
        copyDatabase(templateDb, path);
        ht::clsADO db(path);
        {
            ht::Connection c(db);
            db.execute(QStringLiteral("INSERT INTO autouser(username,userpwd,focusUser) VALUES('admin','',0)"));
            db.execute(QStringLiteral(
                "INSERT INTO MyNotes(username,noteDateTime,noteContent) VALUES('admin','2024-01-01','x')"));
            db.execute(QString::fromLatin1(transfer));
            db.execute(QString::fromLatin1(transfer).replace(QStringLiteral(",0,'transfer'"),
                                                             QStringLiteral(",1,'transfer'")));
            if (before)
                db.execute(QString::fromLatin1(before));
        }
        const bool consistent = check(QString::fromLatin1(kind), dir.path()).isEmpty();
        {
            ht::Connection c(db);
            db.execute(QString::fromLatin1(half));
        }
        if (!consistent || check(QString::fromLatin1(kind), dir.path()).isEmpty())
            blind << QString::fromLatin1(kind);
    }
    return blind;
}

namespace {

// The memo note of the database at path when it is whole: it passes the engine's check and
// shows no part of a change that was never finished. Empty otherwise.
QString wholeNote(const QString &path)
{
    ht::clsADO db(path);
    try {
        ht::Connection c(db);
        if (firstText(db, QStringLiteral("PRAGMA integrity_check")) != QLatin1String("ok")
            || db.count(QStringLiteral("SELECT count(*) FROM pursewicks WHERE memo LIKE 'held%'")) != 0)
            return {};
        return firstText(db, QStringLiteral("SELECT group_concat(noteContent) FROM MyNotes"));
    } catch (const ht::DbError &) {
        return {};
    }
}

// Another program holds the database in the middle of a change and is killed at a random
// moment while a restore of the other backup (even runs) or a backup (odd runs) waits for it,
// or after.
// The database must be wholly the old or wholly the restored one, every file written whole,
// and a refusal must say the database is busy and write nothing.
Result busyTrials(const QString &workerPath, const QString &templateDb, int runs, quint32 seed)
{
    Result result;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("syslibs.dll"));
    const QString kept = db + QStringLiteral(".bak"), snapshot = dir.filePath(QStringLiteral("snapshot.dbk"));
    copyDatabase(templateDb, db);
    {
        ht::clsADO prepare(db);
        prepareBackups(prepare, dir.path());
    }
    QString note = QStringLiteral("A");
    QRandomGenerator random(seed);
    for (int run = 0; run < runs; ++run) {
        QFile::remove(kept);
        QFile::remove(snapshot);
        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(workerPath, {QStringLiteral("work"), QStringLiteral("hold"), dir.path()});
        const bool holding = holder.waitForReadyRead(30000) && holder.readLine().startsWith("done");
        const bool restoring = run % 2 == 0;
        const QString other = note == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
        QString why;
        std::thread operation([&] {
            why = restoring ? ht::replaceDatabaseFile(db, dir.filePath(other + QStringLiteral(".dbk")), kept)
                            : ht::copyDatabaseFile(db, snapshot);
        });
        // The moment of the kill: at random while the engine waits for the lock (the first two
        // runs of four) or once it has given up waiting (the other two).
        const int wait = ht::clsADO::busyTimeoutMs;
        QThread::msleep(run % 4 < 2 ? random.bounded(wait) : wait + 200 + random.bounded(wait / 2));
        holder.kill();
        holder.waitForFinished();
        operation.join();
        ++result.runs;
        const QString now = wholeNote(db);
        QString broken;
        if (!holding)
            broken = QStringLiteral("the other program did not start its change");
        else if (!why.isEmpty() && !why.contains(QStringLiteral("数据库正被其他程序使用")))
            broken = QStringLiteral("refused for another reason: ") + why;
        else if (now != (restoring && why.isEmpty() ? other : note))
            broken = QStringLiteral("the database is neither whole nor the expected one: ") + now;
        else if (QFile::exists(kept) && (!why.isEmpty() || wholeNote(kept) != note))
            broken = QStringLiteral("the kept copy is not the whole old database");
        else if (QFile::exists(snapshot) && (!why.isEmpty() || wholeNote(snapshot) != note))
            broken = QStringLiteral("the backup is not a whole copy");
        else if (why.isEmpty() && !QFile::exists(restoring ? kept : snapshot))
            broken = QStringLiteral("nothing was written");
        if (broken.isEmpty())
            ++result.ok;
        else
            result.failures << QStringLiteral("busy run %1 (%2): %3")
                                   .arg(run + 1)
                                   .arg(restoring ? QStringLiteral("restore") : QStringLiteral("backup"), broken);
        if (!now.isEmpty())
            note = now;
    }
    return result;
}

} // namespace

Result trials(const QString &workerPath, const QString &templateDb, const QString &kind, int runs, quint32 seed)
{
    if (kind == QLatin1String("busy"))
        return busyTrials(workerPath, templateDb, runs, seed);
    Result result;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("syslibs.dll"));
    copyDatabase(templateDb, db);
    QRandomGenerator random(seed);
    for (int run = 0; run < runs; ++run) {
        const int killAfter = int(random.bounded(1, 21));
        QProcess worker;
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QEventLoop loop;
        int seen = 0;
        QObject::connect(&worker, &QProcess::readyReadStandardOutput, &loop, [&] {
            while (worker.canReadLine())
                if (worker.readLine().startsWith("done") && ++seen == killAfter)
                    worker.kill();
        });
        QObject::connect(&worker, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&worker, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                loop.quit();
        });
        worker.start(workerPath, {QStringLiteral("work"), kind, dir.path()});
        loop.exec();
        ++result.runs;
        const QString broken = worker.exitStatus() == QProcess::CrashExit && seen >= killAfter
            ? check(kind, dir.path())
            : QStringLiteral("the worker ended by itself after %1 changes").arg(seen);
        if (broken.isEmpty())
            ++result.ok;
        else
            result.failures << QStringLiteral("%1 run %2: %3").arg(kind).arg(run + 1).arg(broken);
    }
    return result;
}

} // namespace crash

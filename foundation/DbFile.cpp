#include "foundation/DbFile.h"

#include "foundation/SystemError.h"
#include "foundation/clsADO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace ht {
namespace {

constexpr qint64 chunkSize = 1 << 20;

// What is written beside a file bears this ending until it is renamed into place.
const QString partEnding = QStringLiteral(".part-XXXXXX");
const QString partPattern = QStringLiteral("\\.part-[^./]{6}$");

const QString busyText = QStringLiteral("数据库正被其他程序使用，请稍后再试。");
const QString unfinishedText = QStringLiteral("数据库旁留有其他程序未完成的修改，请稍后再试。");
const QString notOursText = QStringLiteral("所选文件不是本程序的备份文件。");
const QString damagedText = QStringLiteral("所选的备份文件已损坏，不能用来恢复。");

// Called right after the failed call, while errno still tells why: a full disk is
// worth telling in plain words.
QString fileError(const QString &what, const QFileDevice &file)
{
    const int err = errno;
    const QString why = isDiskFull(err) ? systemErrorText(err) : file.errorString();
    // A file written beside its final name is told by that name.
    const QString name = file.fileName().remove(QRegularExpression(partPattern));
    return what + QStringLiteral("：") + name + QStringLiteral("（") + why + QStringLiteral("）");
}

// Streams every byte of in into out; empty text or the reason. The caller keeps in
// open: closing any handle on the database drops the engine's locks on it.
QString copyBytes(QFile &in, QFileDevice &out)
{
    if (!in.isOpen() && !in.open(QIODevice::ReadOnly))
        return fileError(QStringLiteral("无法读取文件"), in);
    QByteArray buffer;
    while (!in.atEnd()) {
        buffer = in.read(chunkSize);
        if (buffer.isEmpty() && in.error() != QFileDevice::NoError)
            return fileError(QStringLiteral("无法读取文件"), in);
        if (out.write(buffer) != buffer.size())
            return fileError(QStringLiteral("无法写入文件"), out);
    }
    return {};
}

// Written beside its final name and renamed into place once whole and on disk: a failure
// or a kill never leaves a half-written file under that name.
class SideFile {
public:
    explicit SideFile(QString target) : m_target(std::move(target)), m_file(m_target + partEnding) { }
    QTemporaryFile &file() { return m_file; }
    QString commit(QFileDevice::Permissions permissions)
    {
        m_file.setPermissions(permissions);
        if (!m_file.flush() || ::fsync(m_file.handle()) != 0)
            return fileError(QStringLiteral("无法写入文件"), m_file);
        // rename() replaces the target in one step: it is either old or new.
        if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
            return QStringLiteral("无法替换文件：%1（%2）").arg(m_target, systemErrorText(errno));
        m_file.setAutoRemove(false);
        return {};
    }

private:
    QString m_target;
    QTemporaryFile m_file;
};

// A journal of a change another program has not finished, or one the engine could not undo.
bool journalBeside(const QString &db)
{
    const QFileInfo journal(db + QStringLiteral("-journal"));
    return journal.exists() && journal.size() > 0;
}

// Holds the database's read lock (or, for a swap, its exclusive lock) for as long as it
// lives. Taking it first undoes what a program that died in the middle of a change left.
class FileLock {
public:
    enum class State { Held, Busy, Unopened, Failed };

    FileLock(const QString &path, bool exclusive) : m_db(path)
    {
        try {
            m_db.open();
        } catch (const DbError &e) {
            m_state = e.isBusy() ? State::Busy : State::Unopened;
            return;
        }
        try {
            m_db.execute(exclusive ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN"));
            // A deferred transaction takes its lock at the first read and keeps it.
            m_db.count(QStringLiteral("SELECT count(*) FROM sqlite_master"));
            m_state = State::Held;
        } catch (const DbError &e) {
            m_state = e.isBusy() ? State::Busy : State::Failed;
            m_error = e.userMessage();
        }
    }
    ~FileLock()
    {
        if (m_state == State::Held) {
            try {
                m_db.execute(QStringLiteral("ROLLBACK"));
            } catch (const DbError &) {
            }
        }
    }
    State state() const { return m_state; }
    // Why the lock could not be had; empty while it is held or the file may be copied as it lies.
    QString refusal() const
    {
        return m_state == State::Busy ? busyText : m_state == State::Failed ? m_error : QString();
    }

private:
    clsADO m_db;
    State m_state = State::Failed;
    QString m_error;
};

// The tables, indexes and triggers of a database, by lower-case name.
struct Schema {
    struct Table {
        QString name;
        QStringList columns;
    };
    QMap<QString, Table> tables;
    // "index name" or "trigger name" to its statement.
    QMap<QString, QString> code;
};

// Older databases lack what the program's own upgrades add later.
const QStringList addedTables{QStringLiteral("mynotes"),        QStringLiteral("mynotescount"),
                              QStringLiteral("pursewicksdays"), QStringLiteral("importbatches"),
                              QStringLiteral("importedtx"),     QStringLiteral("importrules"),
                              QStringLiteral("binentries"),     QStringLiteral("pursewicksbin"),
                              QStringLiteral("banksbin"),       QStringLiteral("mynotesbin"),
                              QStringLiteral("importbatchesbin"), QStringLiteral("importedtxbin")};
const QStringList addedColumns{QStringLiteral("autouser.focusUser"), QStringLiteral("autouser.loginDateTime"),
                               QStringLiteral("types.username")};
// Kept by the engine itself for its statistics.
const QStringList statTables{QStringLiteral("sqlite_stat1"), QStringLiteral("sqlite_stat4")};

QStringList columnsOf(clsADO &db, const QString &table)
{
    QStringList names;
    Query q = db.query(QStringLiteral("PRAGMA table_info(\"%1\")")
                           .arg(QString(table).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
    while (q.next())
        names << q.text(1);
    return names;
}

// The detail that makes the schema not this program's: an object it never creates, a table
// it needs that is missing, or a table whose columns differ. Empty when all is known.
QString foreignPart(clsADO &db, const Schema &ours)
{
    struct Entry {
        QString type, name, sql;
    };
    QList<Entry> entries;
    for (Query q = db.query(QStringLiteral("SELECT type,name,sql FROM sqlite_master")); q.next();)
        entries.append({q.text(0), q.text(1), q.text(2)});
    QStringList seen;
    for (const Entry &e : entries) {
        const QString key = e.name.toLower();
        if (e.type == QLatin1String("table")) {
            if (statTables.contains(key))
                continue;
            if (!ours.tables.contains(key) || !e.sql.startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive))
                return QStringLiteral("含有本程序不认识的数据表 ") + e.name;
            seen << key;
            const QStringList want = ours.tables[key].columns;
            const QStringList have = columnsOf(db, e.name);
            for (const QString &c : have) {
                if (!want.contains(c))
                    return QStringLiteral("数据表 %1 中有本程序不认识的列 %2").arg(e.name, c);
            }
            for (const QString &c : want) {
                if (!have.contains(c) && !addedColumns.contains(key + QLatin1Char('.') + c))
                    return QStringLiteral("数据表 %1 缺少列 %2").arg(e.name, c);
            }
        } else if (e.type == QLatin1String("index") || e.type == QLatin1String("trigger")) {
            // An index without a statement is the one the engine keeps for a table's own key.
            if (e.type == QLatin1String("index") && e.sql.isEmpty())
                continue;
            if (ours.code.value(e.type + QLatin1Char(' ') + key) != e.sql)
                return (e.type == QLatin1String("index") ? QStringLiteral("含有本程序不认识的索引 ")
                                                         : QStringLiteral("含有本程序不认识的触发器 "))
                    + e.name;
        } else {
            return QStringLiteral("含有本程序不认识的视图 ") + e.name;
        }
    }
    for (auto it = ours.tables.cbegin(); it != ours.tables.cend(); ++it) {
        if (!seen.contains(it.key()) && !addedTables.contains(it.key())
            && !it.key().startsWith(QLatin1String("sqlite_")))
            return QStringLiteral("缺少数据表 ") + it->name;
    }
    return {};
}

// What the shipped database holds, read from the very script it is made from.
const Schema &programSchema()
{
    static const Schema schema = [] {
        QFile script(QStringLiteral(":/schema/syslibs.sql"));
        if (!script.open(QIODevice::ReadOnly))
            qFatal("the schema is not built into the program");
        clsADO scratch{QString()};
        scratch.openScratch(QString::fromUtf8(script.readAll()));
        Schema s;
        for (Query q = scratch.query(QStringLiteral("SELECT type,name,sql FROM sqlite_master")); q.next();) {
            const QString type = q.text(0), name = q.text(1);
            if (type == QLatin1String("table"))
                s.tables.insert(name.toLower(), {name, columnsOf(scratch, name)});
            else
                s.code.insert(type + QLatin1Char(' ') + name.toLower(), q.text(2));
        }
        return s;
    }();
    return schema;
}

QString withDetail(const QString &sentence, const QString &detail)
{
    return sentence + QStringLiteral("\r\n（") + detail + QStringLiteral("）");
}

} // namespace

QString copyDatabaseFile(const QString &dbPath, const QString &target)
{
    FileLock lock(dbPath, false);
    if (!lock.refusal().isEmpty())
        return lock.refusal();
    // A file the engine cannot open is copied as it lies, which may still rescue it; but not
    // while a change of another program is unfinished.
    if (lock.state() == FileLock::State::Unopened && journalBeside(dbPath))
        return unfinishedText;
    QFile in(dbPath);
    SideFile out(target);
    if (!out.file().open())
        return fileError(QStringLiteral("无法写入文件"), out.file());
    const QString why = copyBytes(in, out.file());
    if (!why.isEmpty())
        return why;
    return out.commit(in.permissions());
}

QString checkDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("文件不存在：") + path;
    if (info.size() == 0)
        return withDetail(notOursText, QStringLiteral("文件是空的"));
    clsADO db(path);
    try {
        db.open();
    } catch (const DbError &e) {
        if (e.isBusy())
            return busyText;
        return e.isDamaged() ? withDetail(damagedText, QStringLiteral("无法读出其中的数据"))
                             : withDetail(notOursText, QStringLiteral("无法用本程序的密码打开"));
    }
    try {
        Query check = db.query(QStringLiteral("PRAGMA integrity_check(1)"));
        if (!check.next() || check.text(0) != QLatin1String("ok"))
            return withDetail(damagedText, QStringLiteral("完整性检查未通过"));
    } catch (const DbError &) {
        return withDetail(damagedText, QStringLiteral("完整性检查未通过"));
    }
    try {
        const QString foreign = foreignPart(db, programSchema());
        if (!foreign.isEmpty())
            return withDetail(notOursText, foreign);
    } catch (const DbError &) {
        return withDetail(notOursText, QStringLiteral("无法读取其中的数据表"));
    }
    return {};
}

QString replaceDatabaseFile(const QString &dbPath, const QString &source, const QString &keptAs)
{
    // A link stays a link: the file it points to is the one replaced.
    const QFileInfo linked(dbPath);
    const QString live = linked.exists() ? linked.canonicalFilePath() : dbPath;

    // The very bytes that are checked are the ones put in place: a copy beside the
    // database, which later changes to the source cannot reach.
    SideFile copy(live);
    if (!copy.file().open())
        return fileError(QStringLiteral("无法在程序文件夹中写入文件"), copy.file());
    QFile in(source);
    QString why = copyBytes(in, copy.file());
    in.close();
    if (why.isEmpty() && !copy.file().flush())
        why = fileError(QStringLiteral("无法写入文件"), copy.file());
    if (!why.isEmpty())
        return why;
    why = checkDatabaseFile(copy.file().fileName());
    if (!why.isEmpty())
        return why;

    // From keeping the old file to the swap no other program may read or write it, and no
    // journal of its changes may stay beside the new file to be played into it later.
    FileLock lock(live, true);
    if (!lock.refusal().isEmpty())
        return lock.refusal();
    if (journalBeside(live))
        return unfinishedText;
    QFile current(live);
    QFileDevice::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (current.exists()) {
        permissions = current.permissions();
        SideFile kept(keptAs);
        if (!kept.file().open())
            return fileError(QStringLiteral("无法保存原数据文件"), kept.file());
        why = copyBytes(current, kept.file());
        if (why.isEmpty())
            why = kept.commit(permissions);
        if (!why.isEmpty())
            return why;
    }
    return copy.commit(permissions);
}

void removeLeftoverCopies(const QString &dbPath)
{
    const QFileInfo db(dbPath);
    // Only the names of this program's own files, never the database or its journal.
    QList<QPair<QString, QString>> places{
        {db.absolutePath(),
         QLatin1Char('^') + QRegularExpression::escape(db.fileName()) + QStringLiteral("(\\.bak)?") + partPattern},
        {dailyBackupFolder(dbPath), QStringLiteral("^[^/]+\\.dbk") + partPattern}};
    if (db.isSymLink()) {
        const QFileInfo target(db.canonicalFilePath());
        places.append(
            {target.absolutePath(), QLatin1Char('^') + QRegularExpression::escape(target.fileName()) + partPattern});
    }
    for (const auto &[folder, pattern] : places) {
        const QRegularExpression ours(pattern);
        QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            if (ours.match(name).hasMatch())
                dir.remove(name);
        }
    }
}

QString dailyBackupFolder(const QString &dbPath)
{
    return QFileInfo(dbPath).dir().filePath(QStringLiteral("backups"));
}

} // namespace ht

#include "foundation/DbFile.h"

#include "foundation/SystemError.h"
#include "foundation/clsADO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ht {
namespace {

constexpr qint64 chunkSize = 1 << 20;

// The tables every database of this program has had; MyNotes comes later with an upgrade.
const char *const requiredTables[] = {"users", "autouser", "pursewicks", "types", "banks"};

// Called right after the failed call, while errno still tells why: a full disk is
// worth telling in plain words.
QString fileError(const QString &what, const QFileDevice &file)
{
    const int err = errno;
    const QString why = isDiskFull(err) ? systemErrorText(err) : file.errorString();
    return what + QStringLiteral("：") + file.fileName() + QStringLiteral("（") + why + QStringLiteral("）");
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

// Holds the database's read lock (or, for a swap, its write lock) for as long as it
// lives; a database that cannot be opened is copied as it lies.
class FileLock {
public:
    FileLock(const QString &path, bool forWriting) : m_db(path)
    {
        if (!m_db.tryOpen())
            return;
        try {
            m_db.execute(forWriting ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
            // A deferred transaction takes its lock at the first read and keeps it.
            m_db.count(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        } catch (const DbError &e) {
            m_error = e.userMessage();
        }
    }
    ~FileLock()
    {
        if (m_db.isOpen()) {
            try {
                m_db.execute(QStringLiteral("ROLLBACK"));
            } catch (const DbError &) {
            }
        }
    }
    QString error() const { return m_error; }

private:
    clsADO m_db;
    QString m_error;
};

} // namespace

QString copyDatabaseFile(const QString &dbPath, const QString &target)
{
    FileLock lock(dbPath, false);
    if (!lock.error().isEmpty())
        return lock.error();
    QFile in(dbPath);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("无法写入文件"), out);
    const QString why = copyBytes(in, out);
    if (!why.isEmpty()) {
        out.cancelWriting();
        return why;
    }
    if (!out.commit())
        return fileError(QStringLiteral("无法写入文件"), out);
    return {};
}

QString checkDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("文件不存在：") + path;
    if (info.size() == 0)
        return QStringLiteral("文件是空的。");
    clsADO db(path);
    QString why;
    if (!db.tryOpen(&why))
        return QStringLiteral("无法用本程序的密码打开，文件不是本程序的数据文件或已损坏（%1）。").arg(why);
    try {
        Query check = db.query(QStringLiteral("PRAGMA integrity_check"));
        QStringList problems;
        while (check.next() && problems.size() < 3)
            problems << check.text(0);
        if (problems != QStringList{QStringLiteral("ok")})
            return QStringLiteral("文件已损坏，完整性检查未通过（%1）。").arg(problems.join(QStringLiteral("；")));
        for (const char *table : requiredTables) {
            if (!db.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=? "
                                         "COLLATE NOCASE"),
                          {QString::fromLatin1(table)}))
                return QStringLiteral("文件缺少本程序的数据表 %1，不是本程序的数据文件。").arg(QLatin1String(table));
        }
    } catch (const DbError &e) {
        return QStringLiteral("文件无法读取，不是本程序的数据文件或已损坏（%1）。").arg(e.userMessage());
    }
    return {};
}

QString replaceDatabaseFile(const QString &dbPath, const QString &source, const QString &keptAs)
{
    // The very bytes that are checked are the ones put in place: a copy beside the
    // database, which later changes to the source cannot reach.
    QTemporaryFile copy(dbPath + QStringLiteral(".XXXXXX"));
    if (!copy.open())
        return fileError(QStringLiteral("无法在程序文件夹中写入文件"), copy);
    QFile in(source);
    QString why = copyBytes(in, copy);
    in.close();
    if (why.isEmpty() && !copy.flush())
        why = fileError(QStringLiteral("无法写入文件"), copy);
    if (!why.isEmpty())
        return why;
    why = checkDatabaseFile(copy.fileName());
    if (!why.isEmpty())
        return why;

    // No other program may write between keeping the old file and the swap.
    FileLock lock(dbPath, true);
    if (!lock.error().isEmpty())
        return lock.error();
    QFile current(dbPath);
    if (current.exists()) {
        copy.setPermissions(current.permissions());
        QSaveFile kept(keptAs);
        if (!kept.open(QIODevice::WriteOnly))
            return fileError(QStringLiteral("无法保存原数据文件"), kept);
        why = copyBytes(current, kept);
        if (!why.isEmpty())
            return why;
        if (!kept.commit())
            return fileError(QStringLiteral("无法保存原数据文件"), kept);
    }
    // rename() replaces the target in one step: the database is either old or new.
    if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(dbPath).constData()) != 0)
        return QStringLiteral("无法替换数据文件：") + systemErrorText(errno);
    copy.setAutoRemove(false);
    return {};
}

QString dailyBackupFolder(const QString &dbPath)
{
    return QFileInfo(dbPath).dir().filePath(QStringLiteral("backups"));
}

} // namespace ht

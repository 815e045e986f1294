#include "foundation/DbError.h"

#include "foundation/SystemError.h"

#include <sqlcipher/sqlite3.h>

namespace ht {

DbError::DbError(DbErrorKind kind, int engineCode, const QString &message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_engineCode(engineCode), m_message(message)
{
}

DbError DbError::fromEngine(int engineCode, const QString &message, int systemError)
{
    DbErrorKind kind = DbErrorKind::Other;
    if (message.startsWith(QLatin1String("no such column")))
        kind = DbErrorKind::NoSuchColumn;
    else if (message.startsWith(QLatin1String("no such table")))
        kind = DbErrorKind::NoSuchTable;
    DbError error(kind, engineCode, message);
    error.m_systemError = systemError;
    return error;
}

int DbError::code() const
{
    switch (m_kind) {
    case DbErrorKind::NoSuchColumn: return noSuchColumnCode;
    case DbErrorKind::NoSuchTable: return noSuchTableCode;
    case DbErrorKind::Other: break;
    }
    return m_engineCode;
}

namespace {

// A plain reason for the common engine failures; empty for the rest.
QString reasonFor(int engineCode, int systemError)
{
    int primary = engineCode & 0xff;
    // The engine reports a full disk often only as an I/O failure; the system's error
    // number says so. It may be stale after other failures, so it only refines these.
    if ((primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) && isDiskFull(systemError))
        primary = SQLITE_FULL;
    switch (primary) {
    case SQLITE_READONLY: return QStringLiteral("数据库文件是只读的，修改没有保存。");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("数据库正被其他程序使用，请稍后再试。");
    case SQLITE_FULL: return QStringLiteral("磁盘空间已满，修改没有保存。");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return QStringLiteral("数据库文件已损坏。");
    // On an open connection the engine fails to open only the files it keeps beside the
    // database, such as its journal.
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法在数据库所在的文件夹中写入，修改没有保存。请检查该文件夹是否只读。");
    case SQLITE_IOERR:
    case SQLITE_PERM: return QStringLiteral("无法读写数据库文件。");
    default: return {};
    }
}

} // namespace

bool DbError::isReadOnly() const
{
    return m_kind == DbErrorKind::Other && (m_engineCode & 0xff) == SQLITE_READONLY;
}

bool DbError::isBusy() const
{
    const int primary = m_engineCode & 0xff;
    return m_kind == DbErrorKind::Other && (primary == SQLITE_BUSY || primary == SQLITE_LOCKED);
}

bool DbError::isDamaged() const
{
    return m_kind == DbErrorKind::Other && (m_engineCode & 0xff) == SQLITE_CORRUPT;
}

QString DbError::userMessage() const
{
    const QString reason = m_kind == DbErrorKind::Other ? reasonFor(m_engineCode, m_systemError) : QString();
    if (reason.isEmpty())
        return m_message;
    return reason + QStringLiteral("\r\n（") + m_message + QStringLiteral("）");
}

} // namespace ht

#include "foundation/DbError.h"

#include <sqlcipher/sqlite3.h>

namespace ht {

DbError::DbError(DbErrorKind kind, int engineCode, const QString &message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_engineCode(engineCode), m_message(message)
{
}

DbError DbError::fromEngine(int engineCode, const QString &message)
{
    DbErrorKind kind = DbErrorKind::Other;
    if (message.startsWith(QLatin1String("no such column")))
        kind = DbErrorKind::NoSuchColumn;
    else if (message.startsWith(QLatin1String("no such table")))
        kind = DbErrorKind::NoSuchTable;
    return DbError(kind, engineCode, message);
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

QString DbError::userMessage() const
{
    if (m_kind != DbErrorKind::Other)
        return m_message;
    QString reason;
    switch (m_engineCode & 0xff) {
    case SQLITE_READONLY: reason = QStringLiteral("数据库文件是只读的，修改没有保存。"); break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: reason = QStringLiteral("数据库正被其他程序使用，请稍后再试。"); break;
    case SQLITE_FULL: reason = QStringLiteral("磁盘空间已满，修改没有保存。"); break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: reason = QStringLiteral("数据库文件已损坏。"); break;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: reason = QStringLiteral("无法读写数据库文件。"); break;
    default: return m_message;
    }
    return reason + QStringLiteral("\r\n（") + m_message + QStringLiteral("）");
}

} // namespace ht

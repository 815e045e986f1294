#include "DbError.h"

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

} // namespace ht

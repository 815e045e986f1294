#include "foundation/Query.h"

#include "foundation/DbError.h"

#include <QDate>
#include <QDateTime>
#include <sqlcipher/sqlite3.h>

namespace ht {
namespace {

[[noreturn]] void throwEngine(sqlite3 *db, int rc)
{
    const char *msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw DbError::fromEngine(db ? sqlite3_extended_errcode(db) : rc, QString::fromUtf8(msg),
                              db ? sqlite3_system_errno(db) : 0);
}

void bindValue(sqlite3 *db, sqlite3_stmt *stmt, int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: rc = sqlite3_bind_int64(stmt, index, value.toLongLong()); break;
        case QMetaType::Double:
        case QMetaType::Float: rc = sqlite3_bind_double(stmt, index, value.toDouble()); break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDateTime: {
            const QByteArray text = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate: {
            const QByteArray text = value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
            rc = sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throwEngine(db, rc);
}

} // namespace

void Statement::Finalize::operator()(sqlite3_stmt *stmt) const
{
    sqlite3_finalize(stmt);
}

Statement::Statement(sqlite3 *db, const QString &sql, const QVariantList &values) : m_db(db)
{
    if (!db)
        throw DbError(DbErrorKind::Other, SQLITE_MISUSE, QStringLiteral("数据库未打开"));
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &raw, nullptr);
    m_stmt.reset(raw);
    if (rc != SQLITE_OK)
        throwEngine(db, rc);
    if (!raw)
        throw DbError(DbErrorKind::Other, SQLITE_MISUSE, QStringLiteral("空语句"));
    const int wanted = sqlite3_bind_parameter_count(raw);
    if (wanted != values.size())
        throw DbError(DbErrorKind::Other, SQLITE_RANGE,
                      QStringLiteral("语句需要 %1 个值，给了 %2 个").arg(wanted).arg(values.size()));
    for (int i = 0; i < values.size(); ++i)
        bindValue(db, raw, i + 1, values.at(i));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwEngine(m_db, rc);
}

Query::Query(sqlite3 *db, const QString &sql, const QVariantList &values) : m_stmt(db, sql, values)
{
    const int n = sqlite3_column_count(m_stmt.get());
    for (int i = 0; i < n; ++i)
        m_columns.insert(QString::fromUtf8(sqlite3_column_name(m_stmt.get(), i)).toLower(), i);
}

bool Query::next()
{
    return m_stmt.get() && m_stmt.step();
}

int Query::columnCount() const
{
    return m_stmt.get() ? sqlite3_column_count(m_stmt.get()) : 0;
}

QString Query::columnName(int index) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), index));
}

int Query::column(const QString &name) const
{
    return m_columns.value(name.toLower(), -1);
}

QVariant Query::value(int index) const
{
    sqlite3_stmt *s = m_stmt.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(s, index)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, index));
    case SQLITE_TEXT: return QVariant(text(index));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(s, index)), sqlite3_column_bytes(s, index)));
    default: return QVariant();
    }
}

QVariant Query::value(const QString &name) const
{
    const int index = column(name);
    if (index < 0)
        throw DbError(DbErrorKind::NoSuchColumn, SQLITE_ERROR, QStringLiteral("no such column: ") + name);
    return value(index);
}

bool Query::isNull(int index) const
{
    return sqlite3_column_type(m_stmt.get(), index) == SQLITE_NULL;
}

qint64 Query::int64(int index) const
{
    return sqlite3_column_int64(m_stmt.get(), index);
}

double Query::real(int index) const
{
    return sqlite3_column_double(m_stmt.get(), index);
}

QString Query::text(int index) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt.get(), index));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt.get(), index));
}

std::string_view Query::utf8(int index) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt.get(), index));
    return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(m_stmt.get(), index))) : std::string_view();
}

} // namespace ht

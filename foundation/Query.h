#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace ht {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3 *db, const QString &sql, const QVariantList &values);

    sqlite3_stmt *get() const { return m_stmt.get(); }
    // Runs one step; true while a row is available. Throws DbError on failure.
    bool step();

private:
    struct Finalize {
        void operator()(sqlite3_stmt *stmt) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalize> m_stmt;
    sqlite3 *m_db = nullptr;
};

// Rows of a SELECT, walked in order, columns read by name or by index.
class Query {
public:
    Query() = default;
    Query(sqlite3 *db, const QString &sql, const QVariantList &values);

    bool next();
    int columnCount() const;
    QString columnName(int index) const;
    // Index of a column by name ignoring letter case, -1 when the result has none.
    int column(const QString &name) const;

    QVariant value(int index) const;
    QVariant value(const QString &name) const; // throws DbError for an unknown name
    bool isNull(int index) const;
    qint64 int64(int index) const;
    double real(int index) const;
    QString text(int index) const;
    // The stored bytes of a text column without a copy; valid until the next step.
    std::string_view utf8(int index) const;

private:
    Statement m_stmt;
    QHash<QString, int> m_columns;
};

} // namespace ht

#pragma once

#include "DbError.h"
#include "Query.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace ht {

// Named column values in the order they are written.
using Columns = QList<QPair<QString, QVariant>>;

class Transaction;

// The data store: one object for the program, a fresh connection per operation.
class clsADO {
public:
    // The fixed password of the shipped database file.
    static constexpr const char *password = "quorn!@#7146";
    // Larger pages than the engine's default make reading a long ledger much cheaper.
    static constexpr int pageSize = 4096;

    // An empty path means syslibs.dll in the program folder.
    explicit clsADO(QString path = {});
    ~clsADO();
    clsADO(const clsADO &) = delete;
    clsADO &operator=(const clsADO &) = delete;

    QString dbDir() const;

    // Opens a fresh connection; on failure tells the user and ends the program.
    void OpenDB();
    // The same without the message: false and the reason when the file cannot be opened.
    bool tryOpen(QString *error = nullptr);
    void CloseDB();
    bool isOpen() const { return m_db != nullptr; }

    // A statement that returns no rows; the number of rows it changed.
    int execute(const QString &sql, const QVariantList &values = {});
    // The first column of the first row as an integer (0 when there is no row).
    qint64 count(const QString &sql, const QVariantList &values = {});
    Query query(const QString &sql, const QVariantList &values = {});
    // Appends a row of named columns; the new row's ID.
    qint64 insert(const QString &table, const Columns &values);
    // Changes named columns of the rows the condition picks; the number changed.
    int update(const QString &table, const Columns &values, const QString &condition,
               const QVariantList &conditionValues);

    sqlite3 *handle() const { return m_db; }

    // Writes a new encrypted database from the schema script (used by the build and tests).
    static void createDatabase(const QString &path, const QString &schemaSql);

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(clsADO &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    clsADO &m_db;
    bool m_done = false;
};

// Tells whether a table has a column of exactly that name (letter case counts). Never throws.
bool ColumnExists(clsADO &db, const QString &column, const QString &table);

} // namespace ht

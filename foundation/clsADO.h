#pragma once

#include "foundation/DbError.h"
#include "foundation/Query.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <functional>

struct sqlite3;

namespace ht {

// Named column values in the order they are written.
using Columns = QList<QPair<QString, QVariant>>;

// The data store: one object for the program, a fresh connection per operation.
class clsADO {
public:
    // The fixed password of the shipped database file.
    static constexpr const char *password = "quorn!@#7146";
    // Larger pages than the engine's default make reading a long ledger much cheaper.
    static constexpr int pageSize = 4096;
    // How long a statement waits for another program's lock before it fails as busy.
    static constexpr int busyTimeoutMs = 3000;

    explicit clsADO(QString path);
    ~clsADO();
    clsADO(const clsADO &) = delete;
    clsADO &operator=(const clsADO &) = delete;

    // The database file.
    QString dbDir() const { return m_path; }

    // Opens a fresh connection. On failure runs the handler that start-up installed
    // (which tells the user and ends the program), then throws DbError.
    void OpenDB();
    // The same without the handler: false and the reason when the file cannot be opened.
    bool tryOpen(QString *error = nullptr);
    // The same, throwing the engine's error, so a caller can tell a busy file from a damaged one.
    void open();
    // An empty database in memory, private to this object, filled by the script: what a file
    // of this program holds, for comparing another file with.
    void openScratch(const QString &script);
    void CloseDB();
    // For a connection that reads in the background: a write of this program that finds
    // it holding the file stops its statement (which then fails as interrupted) rather
    // than waiting for it. Until the connection closes.
    void yieldToWriters();
    bool isOpen() const { return m_db != nullptr; }
    // Whether statements prepared from now on fire the schema's triggers, until the
    // connection closes. For a batch that does itself what they would, in one transaction.
    void setTriggersEnabled(bool on);

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

    // Writes a new encrypted database from the schema script (used by the build and tests).
    static void createDatabase(const QString &path, const QString &schemaSql);

    // Told which database could not be opened, and why.
    using OpenFailureHandler = std::function<void(const QString &path, const QString &reason)>;
    static void setOpenFailureHandler(OpenFailureHandler handler);

private:
    friend class Transaction;
    // A read whose rows are not all walked keeps the file locked for reading.
    bool readsInProgress() const;
    void rollback();

    QString m_path;
    sqlite3 *m_db = nullptr;
};

// Opens the store for one piece of work and closes it after, unless it was open
// already: an inner scope inside an outer one shares the outer connection.
class Connection {
public:
    explicit Connection(clsADO &db) : m_db(db), m_opened(!db.isOpen())
    {
        if (m_opened)
            m_db.OpenDB();
    }
    ~Connection()
    {
        if (m_opened)
            m_db.CloseDB();
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    clsADO &db() const { return m_db; }

private:
    clsADO &m_db;
    bool m_opened;
};

// Rolls back unless committed. Begins by taking the write lock, waiting for other
// programs as long as the busy time-out allows; every read must be finished before.
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
bool columnExists(clsADO &db, const QString &column, const QString &table);

namespace program {
// The shared data store: syslibs.dll in the program folder.
clsADO &db();
} // namespace program

} // namespace ht

#include "foundation/clsADO.h"

#include "foundation/Money.h"
#include "foundation/Program.h"
#include "foundation/TextOrder.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPasswordDigestor>
#include <QStringList>
#include <sqlcipher/sqlite3.h>

#include <map>
#include <set>
#include <memory>

namespace ht {
namespace {

constexpr int saltSize = 16;
constexpr int kdfRounds = 64000; // the engine's default for this file format
constexpr int keySize = 32;

// Deriving the key costs tens of milliseconds; do it once per salt, so that
// every later connection opens with the raw key in well under a millisecond.
QByteArray rawKeyFor(const QByteArray &salt)
{
    static QMutex mutex;
    static std::map<QByteArray, QByteArray> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.find(salt);
    if (it == cache.end()) {
        const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(
            QCryptographicHash::Sha1, QByteArray(clsADO::password), salt, kdfRounds, keySize);
        it = cache.emplace(salt, "x'" + key.toHex() + "'").first;
    }
    return it->second;
}

void execRaw(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString message = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw DbError::fromEngine(sqlite3_extended_errcode(db), message, sqlite3_system_errno(db));
    }
}

QByteArray pageSizePragma()
{
    return "PRAGMA cipher_page_size = " + QByteArray::number(clsADO::pageSize);
}

QString quoteName(const QString &name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

clsADO::OpenFailureHandler g_openFailure;

// Connections that read in the background and give way to any writer of this program.
QMutex g_yieldingMutex;
std::set<sqlite3 *> g_yielding;

// As the engine's own timeout, except that a writer first stops this program's
// background reads, whose locks could outlast the wait.
int waitForLock(void *self, int count)
{
    constexpr int stepMs = 5;
    if (count == 0) {
        QMutexLocker lock(&g_yieldingMutex);
        if (!g_yielding.count(static_cast<sqlite3 *>(self))) {
            for (sqlite3 *reader : g_yielding)
                sqlite3_interrupt(reader);
        }
    }
    if (count * stepMs >= clsADO::busyTimeoutMs)
        return 0;
    sqlite3_sleep(stepMs);
    return 1;
}

// cents(money): a stored amount in cents exactly as the program rounds it, so that sums
// and the amount order in the engine agree with the lists to the cent.
void centsOf(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int64(context, qint64(Money::fromDouble(sqlite3_value_double(argv[0])).cents()));
}

// textkey(text): bytes in the lists' text order; no text sorts as an empty one. Remarks
// repeat ("午饭" on thousands of rows), so recent keys are kept rather than made again.
void textKeyOf(sqlite3_context *context, int, sqlite3_value **argv)
{
    thread_local QHash<QByteArray, QByteArray> recent;
    const auto *text = static_cast<const char *>(sqlite3_value_blob(argv[0]));
    const QByteArray utf8 = QByteArray::fromRawData(text ? text : "", text ? sqlite3_value_bytes(argv[0]) : 0);
    auto it = recent.constFind(utf8);
    if (it == recent.constEnd()) {
        if (recent.size() >= 4096)
            recent.clear();
        it = recent.insert(QByteArray(utf8.constData(), utf8.size()), textSortKey(QString::fromUtf8(utf8)));
    }
    sqlite3_result_blob(context, it->constData(), int(it->size()), SQLITE_TRANSIENT);
}

// The indexes and triggers of the schema use these; every connection has them.
void addFunctions(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "cents", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, centsOf, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "textkey", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, textKeyOf, nullptr,
                               nullptr, nullptr);
}

} // namespace

clsADO::clsADO(QString path) : m_path(std::move(path))
{
}

clsADO::~clsADO()
{
    CloseDB();
}

bool clsADO::tryOpen(QString *error)
{
    try {
        open();
        return true;
    } catch (const DbError &e) {
        if (error)
            *error = e.userMessage();
        return false;
    }
}

void clsADO::open()
{
    CloseDB();
    auto fail = [this](const DbError &e) {
        CloseDB();
        throw e;
    };

    const QString &path = m_path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(DbError(DbErrorKind::Other, SQLITE_ERROR, QStringLiteral("无法读取文件：") + path));
    const QByteArray salt = file.read(saltSize);
    file.close();
    if (salt.size() != saltSize)
        fail(DbError(DbErrorKind::Other, SQLITE_ERROR, QStringLiteral("数据库文件已损坏：") + path));

    const QByteArray name = path.toUtf8();
    // Never create: a missing file must stay missing, not become an empty database.
    if (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        fail(DbError(DbErrorKind::Other, SQLITE_ERROR, QString::fromUtf8(sqlite3_errmsg(m_db))));

    // Before the first read: a program holding a short lock must make us wait, not fail.
    sqlite3_busy_handler(m_db, waitForLock, m_db);
    addFunctions(m_db);
    const QByteArray key = rawKeyFor(salt);
    sqlite3_key(m_db, key.constData(), int(key.size()));
    try {
        execRaw(m_db, pageSizePragma().constData());
        // A wrong key or a damaged file shows here, not at the first later query.
        execRaw(m_db, "SELECT count(*) FROM sqlite_master");
    } catch (const DbError &e) {
        fail(e);
    }
}

void clsADO::openScratch(const QString &script)
{
    CloseDB();
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw DbError(DbErrorKind::Other, SQLITE_NOMEM, QString::fromUtf8(sqlite3_errmsg(m_db)));
    addFunctions(m_db);
    execRaw(m_db, script.toUtf8().constData());
}

void clsADO::OpenDB()
{
    QString why;
    if (tryOpen(&why))
        return;
    if (g_openFailure)
        g_openFailure(dbDir(), why);
    throw DbError(DbErrorKind::Other, SQLITE_CANTOPEN, why);
}

void clsADO::setOpenFailureHandler(OpenFailureHandler handler)
{
    g_openFailure = std::move(handler);
}

bool clsADO::readsInProgress() const
{
    for (sqlite3_stmt *s = sqlite3_next_stmt(m_db, nullptr); s; s = sqlite3_next_stmt(m_db, s)) {
        if (sqlite3_stmt_busy(s) && sqlite3_stmt_readonly(s))
            return true;
    }
    return false;
}

void clsADO::rollback()
{
    if (m_db)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void clsADO::yieldToWriters()
{
    QMutexLocker lock(&g_yieldingMutex);
    if (m_db)
        g_yielding.insert(m_db);
}

void clsADO::setTriggersEnabled(bool on)
{
    // The engine recompiles the statements already prepared, so none keeps the old choice.
    if (m_db)
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, on ? 1 : 0, nullptr);
}

void clsADO::CloseDB()
{
    if (m_db) {
        {
            QMutexLocker lock(&g_yieldingMutex);
            g_yielding.erase(m_db);
        }
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int clsADO::execute(const QString &sql, const QVariantList &values)
{
    Statement stmt(m_db, sql, values);
    while (stmt.step()) { }
    return sqlite3_changes(m_db);
}

qint64 clsADO::count(const QString &sql, const QVariantList &values)
{
    Query q(m_db, sql, values);
    return q.next() ? q.int64(0) : 0;
}

Query clsADO::query(const QString &sql, const QVariantList &values)
{
    return Query(m_db, sql, values);
}

qint64 clsADO::insert(const QString &table, const Columns &values)
{
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (const auto &[column, value] : values) {
        names << quoteName(column);
        marks << QStringLiteral("?");
        bound << value;
    }
    execute(QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                .arg(quoteName(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
            bound);
    return sqlite3_last_insert_rowid(m_db);
}

int clsADO::update(const QString &table, const Columns &values, const QString &condition,
                   const QVariantList &conditionValues)
{
    QStringList sets;
    QVariantList bound;
    for (const auto &[column, value] : values) {
        sets << quoteName(column) + QStringLiteral("=?");
        bound << value;
    }
    bound += conditionValues;
    return execute(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(quoteName(table), sets.join(QLatin1Char(',')), condition),
        bound);
}

void clsADO::createDatabase(const QString &path, const QString &schemaSql)
{
    sqlite3 *db = nullptr;
    const QByteArray name = path.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    struct Closer {
        sqlite3 *db;
        ~Closer() { sqlite3_close_v2(db); }
    } closer{db};
    if (rc != SQLITE_OK)
        throw DbError::fromEngine(rc, QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_key(db, password, int(qstrlen(password)));
    addFunctions(db);
    execRaw(db, pageSizePragma().constData());
    execRaw(db, "BEGIN");
    execRaw(db, schemaSql.toUtf8().constData());
    execRaw(db, "COMMIT");
}

Transaction::Transaction(clsADO &db) : m_db(db)
{
    // The engine cannot wait for a lock while this connection still reads; it would
    // fail at once as busy. Finishing reads first is the caller's duty.
    if (m_db.readsInProgress())
        throw DbError(DbErrorKind::Other, SQLITE_MISUSE, QStringLiteral("修改开始时仍有未读完的查询"));
    m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit()
{
    m_db.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

bool columnExists(clsADO &db, const QString &column, const QString &table)
{
    try {
        Query q = db.query(QStringLiteral("SELECT * FROM ") + quoteName(table) + QStringLiteral(" LIMIT 1"));
        for (int i = 0; i < q.columnCount(); ++i) {
            if (q.columnName(i) == column)
                return true;
        }
    } catch (const DbError &) {
    }
    return false;
}

clsADO &program::db()
{
    static std::unique_ptr<clsADO> shared;
    const QString path = program::pathIn(QStringLiteral("syslibs.dll"));
    // Tests point the program folder elsewhere; a closed store follows it.
    if (!shared || (shared->dbDir() != path && !shared->isOpen()))
        shared = std::make_unique<clsADO>(path);
    return *shared;
}

} // namespace ht

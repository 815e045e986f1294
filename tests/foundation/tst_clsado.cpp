#include "tests/support/TestSupport.h"

#include "foundation/DbTask.h"
#include "foundation/Program.h"

#include <QFile>
#include <QSemaphore>
#include <QTest>
#include <sqlcipher/sqlite3.h>

#include <atomic>
#include <thread>

using namespace ht;
using ht::test::ProgramEnded;
using ht::test::ProgramFolder;

namespace {

// Opens a file the way the sqlcipher shell does with the documented password.
bool opensWithPassword(const QString &path, const QByteArray &password)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_key(raw, password.constData(), int(password.size()));
    sqlite3_exec(raw, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    const bool ok = sqlite3_exec(raw, "SELECT count(*) FROM users", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return ok;
}

QStringList firstColumn(clsADO &db, const QString &sql, const QVariantList &values = {}, int column = 0)
{
    QStringList out;
    for (Query q = db.query(sql, values); q.next();)
        out << q.text(column);
    return out;
}

DbError failureOf(clsADO &db, const QString &sql)
{
    try {
        db.execute(sql);
    } catch (const DbError &e) {
        return e;
    }
    return DbError(DbErrorKind::Other, 0, QString());
}

} // namespace

class TestDataStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shippedFileHasTheSchemaUnderTheDocumentedPassword()
    {
        ProgramFolder folder;
        QVERIFY(opensWithPassword(folder.path("syslibs.dll"), "quorn!@#7146"));
        QVERIFY(!opensWithPassword(folder.path("syslibs.dll"), "quorn!@#7145"));
        clsADO &db = folder.openDb();
        // The ledger query is served by an index, not a table scan and a sort.
        const QString ledger =
            "SELECT ID FROM [pursewicks] WHERE username=? AND style=? AND postdate>=? ORDER BY postdate, ID";
        const QString plan = firstColumn(db, "EXPLAIN QUERY PLAN " + ledger, {"admin", 1, "2024"}, 3).join(' ');
        QVERIFY2(plan.contains("INDEX") && !plan.contains("TEMP B-TREE"), qPrintable(plan));

        // A restored backup from elsewhere carries another salt, hence another key.
        QFile schema(QStringLiteral(HT_SCHEMA_FILE));
        QVERIFY(schema.open(QIODevice::ReadOnly));
        db.CloseDB();
        QVERIFY(QFile::remove(db.dbDir()));
        clsADO::createDatabase(db.dbDir(), QString::fromUtf8(schema.readAll()));
        QCOMPARE(folder.openDb().count("SELECT COUNT(*) FROM users"), 1);
    }
    void unopenableFilesEndTheProgramAndAreNeverCreated()
    {
        ProgramFolder folder(false);
        const QString path = folder.path("syslibs.dll");
        clsADO db(path);
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, db.OpenDB());
        QVERIFY2(!QFile::exists(path), "opening must never create the database");
        opensWithPassword(path, "another"); // creates a file under another key
        QString why;
        QVERIFY(!db.tryOpen(&why) && !why.isEmpty() && !db.isOpen());
        // The end of the program is told; a try leaves the telling to its caller.
        QCOMPARE(folder.messages.shown.size(), 1);
    }
    void valuesAreBoundErrorsHaveKindsTransactionsWholeOrAbsent()
    {
        ProgramFolder folder;
        clsADO &db = folder.openDb();
        // A missing column and a missing table are told apart: the upgrades go by that.
        QCOMPARE(failureOf(db, "SELECT nothere FROM autouser").code(), -2147217904);
        QCOMPARE(failureOf(db, "SELECT * FROM myNotesGone").code(), -2147217865);
        QCOMPARE(failureOf(db, "SELEKT 1").kind(), DbErrorKind::Other);
        QVERIFY(!columnExists(db, "UserName", "types") && columnExists(db, "username", "types"));

        const QString nasty = QStringLiteral("o'neil%'; DROP TABLE users; --");
        db.execute("INSERT INTO [pursewicks](ID,username,postdate,style) VALUES(?,?,?,0)",
                   {qint64(5000000000), "x", "2024"});
        const QDateTime when(QDate(2024, 3, 5), QTime(8, 7, 9));
        const qint64 id = db.insert("pursewicks",
                                    {{"username", nasty}, {"memo", nasty}, {"style", 0}, {"postdate", when}});
        QCOMPARE(id, qint64(5000000001));
        QCOMPARE(firstColumn(db, "SELECT username||memo||postdate FROM [pursewicks] WHERE ID=?", {id}),
                 QStringList{nasty + nasty + "2024-03-05 08:07:09"});
        QCOMPARE(db.update("pursewicks", {{"memo", "50%"}}, "ID=? AND username=?", {id, nasty}), 1);

        try {
            Transaction t(db);
            db.execute("UPDATE users SET logintime=7");
            db.execute("UPDATE nosuchtable SET x=1");
            t.commit();
        } catch (const DbError &) {
        }
        QCOMPARE(db.count("SELECT logintime FROM users"), 0);
        {
            // A read still walking its rows would make the engine refuse to wait for the write lock.
            Query open = db.query("SELECT * FROM types");
            QVERIFY(open.next());
            QVERIFY_THROWS_EXCEPTION(DbError, Transaction{db});
        }
        Transaction t(db);
        db.execute("UPDATE users SET logintime=3");
        t.commit();
        db.CloseDB();
        QCOMPARE(folder.openDb().count("SELECT logintime FROM users"), 3);
        db.CloseDB();
        folder.messages.shown.clear();

        // Connections nest; a failure under a window is told once.
        {
            Connection outer(db);
            Connection(db).db().execute("UPDATE users SET logintime=2");
            QVERIFY2(db.isOpen(), "an inner scope closed the outer scope's connection");
        }
        QVERIFY(!db.isOpen());
        QVERIFY(!withDb(nullptr, [](clsADO &d) { d.execute("INSERT INTO users(username) VALUES('admin')"); }));
        QVERIFY(!db.isOpen());
        QCOMPARE(folder.messages.shown.size(), 1);
        QVERIFY(folder.messages.last().text.startsWith(QStringLiteral("操作失败：\r\n")));
        QCOMPARE(folder.openDb().count("SELECT logintime FROM users"), 2);
    }

    // A long read in the background holds the file; a write of this program stops it
    // instead of failing as busy, and the reader learns it was stopped.
    void backgroundReadsGiveWayToWrites()
    {
        ProgramFolder folder;
        clsADO &db = folder.openDb();
        db.execute("INSERT INTO [pursewicks](username,postdate,style) VALUES('x','2024',0)");
        QSemaphore reading;
        std::atomic<bool> stop = false, stopped = false;
        std::thread reader([&] {
            clsADO background(db.dbDir());
            background.open();
            background.yieldToWriters();
            try {
                Query q = background.query("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n) "
                                           "SELECT x FROM n CROSS JOIN pursewicks");
                for (bool first = true; !stop && q.next(); first = false) {
                    if (first)
                        reading.release();
                }
            } catch (const DbError &) {
                stopped = true;
            }
        });
        const bool started = reading.tryAcquire(1, 60'000);
        bool wrote = false;
        try {
            if (!started)
                throw DbError(DbErrorKind::Other, 0, {});
            Transaction t(db);
            db.execute("UPDATE users SET logintime=9");
            t.commit();
            wrote = true;
        } catch (const DbError &) {
        }
        stop = true;
        reader.join();
        QVERIFY(started && wrote && stopped);
        QCOMPARE(db.count("SELECT logintime FROM users"), 9);
    }
};

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_clsado.moc"

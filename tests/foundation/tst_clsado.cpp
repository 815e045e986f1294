#include "MessageBox.h"
#include "Program.h"
#include "TestSupport.h"
#include "clsADO.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace ht;
using ht::test::ProgramFolder;
using ht::test::ProgramEnded;

namespace {

QStringList columnsOf(clsADO &db, const QString &table)
{
    QStringList names;
    Query q = db.query(QStringLiteral("PRAGMA table_info([%1])").arg(table));
    while (q.next())
        names << q.value(QStringLiteral("name")).toString();
    return names;
}

QString readFirstBytes(const QString &path, int n)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromLatin1(f.read(n));
}

// Opens a file the way the sqlcipher shell does with the documented password.
bool opensWithPassword(const QString &path, const QByteArray &password)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_key(raw, password.constData(), int(password.size()));
    sqlite3_exec(raw, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    const bool ok = sqlite3_exec(raw, "SELECT count(*) FROM users", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return ok;
}

} // namespace

class TestDataStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shippedFileIsEncryptedWithTheDocumentedPassword();
    void schemaHasTheDocumentedTablesAndRows();
    void namesMatchIgnoringCase();
    void wrongKeyIsCaughtAtOpen();
    void missingOrDamagedFileEndsTheProgram();
    void restoredFileWithAnotherSaltOpens();
    void engineErrorsHaveDistinctKinds();
    void columnExistsComparesExactly();
    void valuesAreBoundNeverSpliced();
    void transactionRollsBackUnlessCommitted();
    void idsAreSixtyFourBit();
};

void TestDataStore::shippedFileIsEncryptedWithTheDocumentedPassword()
{
    ProgramFolder folder;
    const QString path = folder.path(QStringLiteral("syslibs.dll"));
    QVERIFY(!readFirstBytes(path, 16).startsWith(QLatin1String("SQLite format 3")));
    QVERIFY(opensWithPassword(path, "quorn!@#7146"));
    QVERIFY(!opensWithPassword(path, "quorn!@#7145"));
}

void TestDataStore::schemaHasTheDocumentedTablesAndRows()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    QCOMPARE(columnsOf(db, "users"), QStringList({"username", "userpwd", "regdate", "logintime"}));
    QCOMPARE(columnsOf(db, "autouser"), QStringList({"username", "userpwd", "focusUser", "loginDateTime"}));
    QCOMPARE(columnsOf(db, "pursewicks"), QStringList({"ID", "username", "typeid", "postdate", "money", "style", "memo"}));
    QCOMPARE(columnsOf(db, "types"), QStringList({"ID", "typename", "class", "username"}));
    QCOMPARE(columnsOf(db, "banks"), QStringList({"ID", "username", "bankAddr", "bankRegdate", "bankName", "bankUsername",
                                                   "bankID", "bankCardID", "bankMoney", "bankMemo"}));
    QCOMPARE(columnsOf(db, "MyNotes"), QStringList({"ID", "username", "fontBold", "fontItalic", "fontName", "fontSize",
                                                     "foreColor", "noteDateTime", "noteContent"}));

    Query admin = db.query(QStringLiteral("SELECT userpwd, logintime FROM users WHERE username='admin'"));
    QVERIFY(admin.next());
    QCOMPARE(admin.text(0), QStringLiteral("admin"));
    QCOMPARE(admin.int64(1), 0);

    QSet<QString> income, expense;
    Query types = db.query(QStringLiteral("SELECT typename, class FROM types WHERE username='{system}'"));
    while (types.next())
        (types.int64(1) == 1 ? income : expense).insert(types.text(0));
    QCOMPARE(expense, QSet<QString>({"日常", "手机/上网", "房租", "房贷", "交通/旅游", "礼物", "休闲/娱乐", "吃", "其他开支"}));
    QCOMPARE(income, QSet<QString>({"工资", "股市/证券", "外汇", "奖金", "补助/福利", "其他收入"}));

    // The ledger and memo queries are served by indexes, not table scans.
    Query plan = db.query(QStringLiteral("EXPLAIN QUERY PLAN SELECT ID FROM [pursewicks] WHERE username=? AND style=? "
                                         "AND postdate>=? ORDER BY postdate, ID"),
                          {"admin", 1, "2024-01-01"});
    QString detail;
    while (plan.next())
        detail += plan.value(QStringLiteral("detail")).toString();
    QVERIFY2(detail.contains(QLatin1String("INDEX")) && !detail.contains(QLatin1String("TEMP B-TREE")), qPrintable(detail));
}

void TestDataStore::namesMatchIgnoringCase()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    QCOMPARE(db.count(QStringLiteral("SELECT COUNT(*) FROM users WHERE username=?"), {"ADMIN"}), 1);
    try {
        db.insert(QStringLiteral("users"), {{"username", "Admin"}, {"userpwd", "x"}});
        QFAIL("a second user differing only in letter case was accepted");
    } catch (const DbError &e) {
        QCOMPARE(e.kind(), DbErrorKind::Other);
    }
}

void TestDataStore::wrongKeyIsCaughtAtOpen()
{
    ProgramFolder folder;
    const QString path = folder.path(QStringLiteral("syslibs.dll"));
    QFile::remove(path);
    {
        sqlite3 *raw = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        sqlite3_key(raw, "another", 7);
        sqlite3_exec(raw, "PRAGMA cipher_page_size = 4096; CREATE TABLE users(username)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    clsADO db;
    QString why;
    QVERIFY(!db.tryOpen(&why));
    QVERIFY(!db.isOpen());
    QVERIFY(!why.isEmpty());

    try {
        db.OpenDB();
        QFAIL("OpenDB returned on a wrong key");
    } catch (const ProgramEnded &) {
    }
    QCOMPARE(folder.messages.shown.size(), 1);
    const MessageRecord m = folder.messages.last();
    QCOMPARE(m.text, QStringLiteral("操作失败：\r\n数据库打开失败，请重新启动软件！"));
    QCOMPARE(m.title, QStringLiteral("系统错误"));
    QCOMPARE(m.icon, MsgIcon::Critical);
    QCOMPARE(m.buttons, MsgButtons::Ok);
}

void TestDataStore::missingOrDamagedFileEndsTheProgram()
{
    ProgramFolder folder(false);
    const QString path = folder.path(QStringLiteral("syslibs.dll"));
    clsADO db;
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, db.OpenDB());
    QVERIFY2(!QFile::exists(path), "opening must never create the database");

    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'x'));
    junk.close();
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, db.OpenDB());
    QFile tiny(path);
    QVERIFY(tiny.open(QIODevice::WriteOnly | QIODevice::Truncate));
    tiny.write("abc");
    tiny.close();
    QVERIFY(!db.tryOpen());
    QCOMPARE(folder.messages.shown.size(), 2);
}

void TestDataStore::restoredFileWithAnotherSaltOpens()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.CloseDB();
    // A freshly made file carries its own salt, as a restored backup from elsewhere would.
    QFile schema(QStringLiteral(HT_SCHEMA_FILE));
    QVERIFY(schema.open(QIODevice::ReadOnly));
    const QString other = folder.path(QStringLiteral("other.dll"));
    clsADO::createDatabase(other, QString::fromUtf8(schema.readAll()));
    QVERIFY(readFirstBytes(other, 16) != readFirstBytes(db.dbDir(), 16));
    QVERIFY(QFile::remove(db.dbDir()));
    QVERIFY(QFile::rename(other, db.dbDir()));
    QVERIFY(db.tryOpen());
    QCOMPARE(db.count(QStringLiteral("SELECT COUNT(*) FROM types")), 15);
}

void TestDataStore::engineErrorsHaveDistinctKinds()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    auto kindOf = [&](const QString &sql) {
        try {
            db.query(sql).next();
        } catch (const DbError &e) {
            return std::make_pair(e.kind(), e.code());
        }
        return std::make_pair(DbErrorKind::Other, 0);
    };
    QCOMPARE(kindOf("SELECT * FROM [autouser] ORDER BY nothere DESC"),
             std::make_pair(DbErrorKind::NoSuchColumn, -2147217904));
    QCOMPARE(kindOf("SELECT * FROM [myNotesGone]"), std::make_pair(DbErrorKind::NoSuchTable, -2147217865));
    const auto syntax = kindOf("SELEKT 1");
    QCOMPARE(syntax.first, DbErrorKind::Other);
    QVERIFY(syntax.second != 0 && syntax.second != -2147217904 && syntax.second != -2147217865);

    Query q = db.query(QStringLiteral("SELECT username FROM users"));
    QVERIFY(q.next());
    QVERIFY_THROWS_EXCEPTION(DbError, q.value(QStringLiteral("nothere")));
    QVERIFY_THROWS_EXCEPTION(DbError, db.query(QStringLiteral("SELECT ?"), {}));
}

void TestDataStore::columnExistsComparesExactly()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    QVERIFY(ColumnExists(db, "username", "types"));
    QVERIFY(!ColumnExists(db, "UserName", "types"));
    QVERIFY(!ColumnExists(db, "username", "nosuchtable"));
    db.execute(QStringLiteral("CREATE TABLE oldtypes(ID INTEGER, typename TEXT, USERNAME TEXT)"));
    QVERIFY(!ColumnExists(db, "username", "oldtypes"));
    db.CloseDB();
    QVERIFY(!ColumnExists(db, "username", "types")); // closed connection: false, no throw
}

void TestDataStore::valuesAreBoundNeverSpliced()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    const QString nasty = QStringLiteral("o'neil%'; DROP TABLE users; --");
    const qint64 id = db.insert(QStringLiteral("pursewicks"), {{"username", nasty}, {"typeid", 1},
                                                               {"postdate", QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9))},
                                                               {"money", 12.5}, {"style", 0}, {"memo", nasty}});
    Query q = db.query(QStringLiteral("SELECT username, memo, postdate FROM [pursewicks] WHERE ID=?"), {id});
    QVERIFY(q.next());
    QCOMPARE(q.text(0), nasty);
    QCOMPARE(q.text(1), nasty);
    QCOMPARE(q.text(2), QStringLiteral("2024-03-05 08:07:09"));
    QCOMPARE(db.count(QStringLiteral("SELECT COUNT(*) FROM users")), 1);
    QCOMPARE(db.update(QStringLiteral("pursewicks"), {{"memo", "50% off"}}, QStringLiteral("ID=? AND username=?"), {id, nasty}), 1);
    QCOMPARE(db.count(QStringLiteral("SELECT COUNT(*) FROM [pursewicks] WHERE memo=?"), {"50% off"}), 1);
}

void TestDataStore::transactionRollsBackUnlessCommitted()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    {
        Transaction t(db);
        db.execute(QStringLiteral("UPDATE users SET logintime=99"));
    }
    QCOMPARE(db.count(QStringLiteral("SELECT logintime FROM users")), 0);
    try {
        Transaction t(db);
        db.execute(QStringLiteral("UPDATE users SET logintime=7"));
        db.execute(QStringLiteral("UPDATE nosuchtable SET x=1"));
        t.commit();
    } catch (const DbError &) {
    }
    QCOMPARE(db.count(QStringLiteral("SELECT logintime FROM users")), 0);
    {
        Transaction t(db);
        db.execute(QStringLiteral("UPDATE users SET logintime=3"));
        t.commit();
    }
    db.CloseDB();
    folder.openDb();
    QCOMPARE(db.count(QStringLiteral("SELECT logintime FROM users")), 3);
}

void TestDataStore::idsAreSixtyFourBit()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.execute(QStringLiteral("INSERT INTO [pursewicks](ID,username,postdate,money,style) VALUES(?,?,?,?,?)"),
               {qint64(5000000000), "admin", "2024-01-01 00:00:00", 1.0, 1});
    const qint64 next = db.insert(QStringLiteral("pursewicks"),
                                  {{"username", "admin"}, {"postdate", "2024-01-02 00:00:00"}, {"money", 2.0}, {"style", 1}});
    QCOMPARE(next, qint64(5000000001));
    QCOMPARE(db.count(QStringLiteral("SELECT ID FROM [pursewicks] WHERE money=?"), {2.0}), qint64(5000000001));
}

QTEST_GUILESS_MAIN(TestDataStore)
#include "tst_clsado.moc"

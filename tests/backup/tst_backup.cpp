#include "tests/support/TestSupport.h"

#include "backup/AutoBackup.h"
#include "backup/Backup.h"

#include "ledger/MainWindow.h"

#include "foundation/DbFile.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTreeView>

using namespace ht;
using namespace ht::test;

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A database of the program's key holding the given tables.
void makeKeyed(const QString &path, const QString &schema)
{
    QFile::remove(path);
    clsADO::createDatabase(path, schema);
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        program::session().userName = "admin";
        m_db = m_folder->path("syslibs.dll");
    }
    void cleanup() { m_folder.reset(); }

    // Back up through the dialog, change the data, restore: the database is the backup
    // byte for byte, the replaced one kept beside it, the lists show the restored rows.
    void backupAndRestoreRoundTrip()
    {
        addRecord(1, QDateTime::currentDateTime(), 12.5, "工资");
        main *w = openMainWindow({backup::attach});
        auto &messages = m_folder->messages;
        // A larger file under the chosen name, which has no extension, is replaced whole.
        const QString copy = m_folder->path("备份一");
        write(copy, QByteArray(8 << 20, 'x'));

        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
                             QVERIFY(d->findChild<QAbstractButton *>("Option1")->isChecked());
                             // Cancelling the file dialog changes nothing and keeps the dialog open.
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(d->isVisible());
                             QVERIFY(messages.shown.isEmpty());
                             m_folder->fileAnswers << copy;
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(!d->isVisible());
                         }));
        QCOMPARE(messages.last().text, QStringLiteral("备份成功！"));
        QCOMPARE(messages.last().title, QStringLiteral("备份当前收支数据"));
        QCOMPARE(messages.last().icon, MsgIcon::Information);
        const QByteArray backedUp = bytes(m_db);
        QCOMPARE(bytes(copy), backedUp);
        // A failed backup leaves the file under the chosen name as it was.
        QVERIFY(!copyDatabaseFile(m_folder->path("无此文件.dll"), copy).isEmpty());
        QCOMPARE(bytes(copy), backedUp);
        QVERIFY(!copyDatabaseFile(m_db, m_folder->path("无此文件夹/x.dbk")).isEmpty());

        addRecord(1, QDateTime::currentDateTime(), 99, "后来的");
        w->reload(1);
        QCOMPARE(w->ListView1->model()->rowCount(), 2);
        const QByteArray before = bytes(m_db);
        m_folder->fileAnswers << copy;
        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
                             d->findChild<QAbstractButton *>("Option2")->click();
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(!d->isVisible());
                         }));
        QVERIFY(messages.last().text.startsWith(QStringLiteral("恢复成功！")));
        QVERIFY(messages.last().text.contains("syslibs.dll.bak"));
        QCOMPARE(messages.last().title, QStringLiteral("恢复当前收支数据"));
        QCOMPARE(bytes(m_db), backedUp);
        QCOMPARE(bytes(m_db + ".bak"), before);
        QCOMPARE(columnTexts(w->ListView1->model(), 3), QStringList{"工资"});
        delete w;
    }

    // Files that are not databases of this program are refused before anything changes.
    void foreignFilesAreRefused()
    {
        addRecord(0, QDateTime::currentDateTime(), 3, "午饭");
        const QByteArray original = bytes(m_db);
        const QString dir = m_folder->dir();
        const QString empty = dir + "/empty.dbk", truncated = dir + "/half.dbk", text = dir + "/text.dbk",
                      plain = dir + "/plain.dbk", other = dir + "/other.dbk";
        write(empty, {});
        write(truncated, original.left(original.size() / 2));
        write(text, QByteArray("这不是数据库\r\n").repeated(400));
        // The program's tables, but without the key.
        QCOMPARE(QProcess::execute("sqlcipher",
                                   {plain,
                                    "CREATE TABLE users(a);CREATE TABLE autouser(a);"
                                    "CREATE TABLE pursewicks(a);CREATE TABLE types(a);"
                                    "CREATE TABLE banks(a);"}),
                 0);
        makeKeyed(other, "CREATE TABLE users(a); CREATE TABLE ledger(b);");

        for (const QString &candidate : {empty, truncated, text, plain, other}) {
            const QString why = replaceDatabaseFile(m_db, candidate, m_db + ".bak");
            QVERIFY2(!why.isEmpty(), qPrintable(candidate));
            QCOMPARE(bytes(m_db), original);
        }
        QCOMPARE(QDir(dir).entryList({"syslibs.dll*"}, QDir::Files), QStringList{"syslibs.dll"});

        // Through the dialog: the reason with the program's title, no icon; the dialog stays.
        main *w = openMainWindow({backup::attach});
        m_folder->fileAnswers << other;
        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
                             d->findChild<QAbstractButton *>("Option2")->click();
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(d->isVisible());
                         }));
        const MessageRecord shown = m_folder->messages.last();
        QVERIFY(shown.text.startsWith(QStringLiteral("恢复失败，当前数据未作任何改动。")));
        QVERIFY(shown.text.contains("autouser"));
        QCOMPARE(shown.title, QString(program::title));
        QCOMPARE(shown.icon, MsgIcon::None);
        QCOMPARE(bytes(m_db), original);
        delete w;
    }

    // A database from before the upgrades (no memo table, older categories and
    // remembered logins) is a good backup; its upgrades run later as usual.
    void olderDatabaseIsAccepted()
    {
        const QString old = m_folder->path("old.dbk");
        makeKeyed(old,
                  "CREATE TABLE users(ID INTEGER PRIMARY KEY, username TEXT, userpwd TEXT, logintimes INT);"
                  "CREATE TABLE autouser(username TEXT, userpwd TEXT);"
                  "CREATE TABLE pursewicks(ID INTEGER PRIMARY KEY, username TEXT, typeid INT, postdate TEXT,"
                  " money REAL, style INT, memo TEXT);"
                  "CREATE TABLE types(ID INTEGER PRIMARY KEY, typename TEXT, class INT);"
                  "CREATE TABLE banks(ID INTEGER PRIMARY KEY, username TEXT);");
        QCOMPARE(replaceDatabaseFile(m_db, old, m_db + ".bak"), QString());
        QCOMPARE(bytes(m_db), bytes(old));
    }

    // One copy a day, the newest ten kept; a failure is noted, told once at the next start.
    void dailyBackups()
    {
        const QString folder = backup::dailyBackupFolder(m_db);
        const QDate first(2026, 3, 1);
        for (int day = 0; day < 12; ++day)
            QCOMPARE(backup::writeDailyBackup(m_db, first.addDays(day)), QString());
        const QStringList kept = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), backup::keptDailyBackups);
        QCOMPARE(kept.first(), QStringLiteral("syslibs-2026-03-03.dbk"));
        QCOMPARE(kept.last(), QStringLiteral("syslibs-2026-03-12.dbk"));
        const QByteArray morning = bytes(m_db);
        addRecord(1, QDateTime::currentDateTime(), 1);
        QCOMPARE(backup::writeDailyBackup(m_db, first.addDays(11)), QString());
        QCOMPARE(bytes(folder + "/" + kept.last()), morning);

        // Closing the main window writes today's copy.
        program::setToday(QDate(2026, 4, 1));
        main *w = openMainWindow({backup::attach});
        QCoreApplication::processEvents();
        w->close();
        resumeAfterQuit();
        QCOMPARE(bytes(folder + "/syslibs-2026-04-01.dbk"), bytes(m_db));

        // A folder that cannot be made: the program still closes, the next start tells it once.
        QDir(folder).removeRecursively();
        write(folder, "挡住");
        w = openMainWindow({backup::attach});
        QCoreApplication::processEvents();
        w->close();
        resumeAfterQuit();
        QVERIFY(m_folder->messages.shown.isEmpty());
        for (int start = 0; start < 2; ++start) {
            std::unique_ptr<main> again(openMainWindow({backup::attach}));
            QCoreApplication::processEvents();
            again.reset();
        }
        QCOMPARE(m_folder->messages.shown.size(), 1);
        QVERIFY(m_folder->messages.last().text.contains(QStringLiteral("未能自动备份")));
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
    QString m_db;
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"

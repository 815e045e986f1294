#include "tests/support/TestSupport.h"

#include "backup/AutoBackup.h"
#include "backup/Backup.h"
#include "ledger/MainWindow.h"
#include "login/frmLogin.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace ht;
using namespace ht::test;

namespace {

// Permissions bind root only through another identity (user and group "nogroup"): the
// suite runs as root on CI.
struct AsOtherUser {
    bool switched = geteuid() == 0 && setegid(65534) == 0 && seteuid(65534) == 0;
    ~AsOtherUser()
    {
        if (switched && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot return to the test's own user");
    }
};

// A full disk as a file-size limit: a write that would pass it fails with EFBIG.
struct DiskFull {
    rlimit before{};
    explicit DiskFull(rlim_t bytes = 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit now = before;
        now.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~DiskFull() { setrlimit(RLIMIT_FSIZE, &before); }
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ProgramFolder> m_folder;
    QString m_db;

    // Types an expense in the record editor and presses OK; true when it was saved (the
    // editor is then ready for the next one). A refused one stays typed, to try again.
    bool saveExpense(MainWindow *w)
    {
        bool saved = false;
        const bool shown = runModal([&] { triggerAction(w, "mm_out"); },
                                    [&](QDialog *d) {
            d->findChild<QComboBox *>("Combo1")->setCurrentIndex(1);
            auto *amount = d->findChild<QLineEdit *>("Text1");
            amount->setText("3.5");
            d->findChild<QPlainTextEdit *>("Text2")->setPlainText(QStringLiteral("午饭"));
            d->findChild<QAbstractButton *>("OKButton")->click();
            saved = amount->text() == "0.00";
            QVERIFY(saved || amount->text() == "3.5");
        });
        return shown && saved;
    }
    QString lastMessage() const { return m_folder->messages.last().text; }
#define SAID(text) QVERIFY2(lastMessage().contains(text), qPrintable(lastMessage()))

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_db = m_folder->path("syslibs.dll");
        program::session().userName = "admin";
        test::addRecord(0, QDateTime::currentDateTime(), 12.5, "早饭");
    }
    void cleanup()
    {
        delete MainWindow::instance();
        m_folder.reset();
    }

    void readOnlyDatabaseAndFolder()
    {
        const auto othersMayEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(m_folder->dir(), othersMayEnter | QFile::WriteOwner);
        const QByteArray before = test::fileContents(m_db);
        QFile::setPermissions(m_db, QFile::ReadOwner | QFile::ReadOther);
        {
            AsOtherUser other;
            // Looking is still possible; only the login's own bookkeeping is left out.
            frmLogin login;
            QVERIFY(login.load());
            QObject::connect(&login, &frmLogin::loggedIn, [] { openMainWindow({backup::attach}); });
            login.txtUserName->setEditText("admin");
            login.txtPassword->setText("admin");
            login.cmdOK->click();
            SAID(QStringLiteral("数据库文件是只读的：可以查看记录"));
            MainWindow *w = MainWindow::instance();
            QCOMPARE(w->list(0)->model()->rowCount(), 1);
            QVERIFY(!saveExpense(w));
            SAID(QStringLiteral("数据库文件是只读的，修改没有保存。"));
            delete w;
        }
        QCOMPARE(test::fileContents(m_db), before);

        // The file may be written, the folder may not: no room for the engine's journal.
        QVERIFY(chown(QFile::encodeName(m_db).constData(), 65534, 65534) == 0);
        QFile::setPermissions(m_db, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(m_folder->dir(), othersMayEnter);
        {
            AsOtherUser other;
            MainWindow *w = openMainWindow({backup::attach});
            QVERIFY(!saveExpense(w));
            SAID(QStringLiteral("无法在数据库所在的文件夹中写入"));
            delete w;
        }
        QFile::setPermissions(m_folder->dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(test::fileContents(m_db), before);
    }

    // Another program's lock: a change waits, then says so; a restore and a backup are
    // refused the same way and write nothing.
    void busyDatabaseWaitsThenSaysSo()
    {
        MainWindow *w = openMainWindow({backup::attach});
        const QString copy = m_folder->path("备份.dbk");
        test::writeFile(copy, test::fileContents(m_db));
        const QByteArray before = test::fileContents(m_db);
        clsADO other(m_db);
        other.OpenDB();
        other.execute("BEGIN IMMEDIATE");
        QVERIFY(!saveExpense(w));
        SAID(QStringLiteral("数据库正被其他程序使用"));
        other.execute("COMMIT");
        other.execute("BEGIN EXCLUSIVE");
        m_folder->fileAnswers << copy;
        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
            d->findChild<QAbstractButton *>("Option2")->click();
            d->findChild<QAbstractButton *>("OKButton")->click();
        }));
        SAID(QStringLiteral("恢复失败，当前数据未作任何改动。\r\n\r\n数据库正被其他程序使用"));
        QVERIFY(
            backup::writeDailyBackup(m_db, QDate(2026, 12, 1)).startsWith(QStringLiteral("数据库正被其他程序使用")));
        QCOMPARE(QDir(m_folder->dir()).entryList({"syslibs*"}, QDir::Files | QDir::Dirs), QStringList{"syslibs.dll"});
        QVERIFY(QDir(m_folder->path("backups")).isEmpty());
        other.execute("COMMIT");
        QCOMPARE(test::fileContents(m_db), before);
        QVERIFY(saveExpense(w));
        QCOMPARE(test::scalar("SELECT COUNT(*) FROM pursewicks"), QStringLiteral("2"));
    }

    void fullDiskLosesNothing()
    {
        MainWindow *w = openMainWindow({backup::attach});
        const QByteArray before = test::fileContents(m_db);
        const QStringList files = QDir(m_folder->dir()).entryList(QDir::Files);
        const QString copy = m_folder->path("备份.dbk");
        {
            DiskFull full;
            QVERIFY(!saveExpense(w));
            SAID(QStringLiteral("磁盘空间已满，修改没有保存。"));
            m_folder->fileAnswers << copy;
            QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                             [&](QDialog *d) { d->findChild<QAbstractButton *>("OKButton")->click(); }));
            SAID(QStringLiteral("备份失败。\r\n\r\n无法写入文件：") + copy + QStringLiteral("（磁盘空间已满）"));
            const QString sheet = m_folder->path("导出.xlsx");
            m_folder->fileAnswers << sheet;
            w->list(0)->selectAll();
            QVERIFY(runModal([&] { triggerAction(w, "mm_export"); },
                             [&](QDialog *d) {
                d->findChild<QAbstractButton *>("Option2")->click();
                d->findChild<QAbstractButton *>("OKButton")->click();
            }));
            SAID(QStringLiteral("导出失败，原因如下：\r\n\r\n5:   磁盘空间已满"));
            QVERIFY(!QFile::exists(sheet));
        }
        QCOMPARE(QDir(m_folder->dir()).entryList(QDir::Files), files);
        QCOMPARE(test::fileContents(m_db), before);
        QCOMPARE(test::scalar("PRAGMA integrity_check"), QStringLiteral("ok"));
    }

    void damagedDatabaseIsNamed()
    {
        const QByteArray good = test::fileContents(m_db);
        QList<qsizetype> ledgerPages;
        for (const char *part : {"pursewicks", "pursewicks_owner_class_date"})
            ledgerPages << test::scalar("SELECT rootpage FROM sqlite_master WHERE name=?", {part}).toInt();
        program::db().CloseDB();
        QVERIFY(QDir().mkpath(m_folder->path("backups")));
        test::writeFile(m_folder->path("backups/syslibs-2026-12-01.dbk"), good);
        // What killed copies left beside the database goes at the start; the user's files stay.
        const QStringList left{"syslibs.dll.part-a1B2c3", "syslibs.dll.bak.part-Zz9yX8",
                               "backups/syslibs-2026-12-02.dbk.part-q0W1e2"};
        const QStringList kept{"syslibs.dll.backup", "syslibs.dll.part-1", "备份.dbk.part-a1B2c3"};
        for (const QString &name : left + kept)
            test::writeFile(m_folder->path(name), good);
        for (const QByteArray &damaged : {QByteArray(), good.left(100), QByteArray(good.size(), '\x5a')}) {
            test::writeFile(m_db, damaged);
            frmLogin login;
            try {
                login.load();
                QFAIL("the program went on with a damaged database");
            } catch (const test::ProgramEnded &) {
            }
            SAID(QStringLiteral("数据库打开失败，请重新启动软件！\r\n\r\n数据库文件已损坏"));
            SAID(QStringLiteral("最近的自动备份是 ") + m_folder->path("backups/syslibs-2026-12-01.dbk"));
        }
        for (const QString &name : left + kept)
            QVERIFY2(QFile::exists(m_folder->path(name)) == kept.contains(name), qPrintable(name));
        // Damage in the ledger's pages shows only when they are read.
        QByteArray torn = good;
        for (const qsizetype page : ledgerPages) {
            for (qsizetype at = (page - 1) * 4096; at < page * 4096; ++at)
                torn[at] = char(at * 7);
        }
        test::writeFile(m_db, torn);
        MainWindow *w = openMainWindow({backup::attach});
        SAID(QStringLiteral("数据库文件已损坏。"));
        delete w;
    }

    void garbageSettingsAreIgnored()
    {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 131) ^ (i >> 3));
        test::writeFile(m_folder->path("config.ini"),
                        "[client]\r\nwindowstate=2x\r\n" + junk + "\n[client\nwindowstate");
        test::writeFile(m_folder->path("update.ini"), junk + "\r\n[config]\r\nVersion=\xff\xfe\r\nserver=::::\r\n");
        MainWindow *w = openMainWindow({backup::attach});
        QCOMPARE(w->list(0)->model()->rowCount(), 1);
        QVERIFY(m_folder->messages.shown.isEmpty());
        QVERIFY(w->close());
        test::resumeAfterQuit();
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"

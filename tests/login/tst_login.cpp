#include "tests/support/TestSupport.h"

#include "login/frmLogin.h"

#include "book/LoginStore.h"
#include "book/Passwords.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <future>
#include <thread>

using namespace ht;
using namespace ht::test;

namespace {

qint64 logins(const QString &name)
{
    return Connection(program::db()).db().count(QStringLiteral("SELECT logintime FROM users WHERE username=?"), {name});
}

// Every value of every table, as the decrypted file would show them.
QString wholeDatabase()
{
    Connection c(program::db());
    QString all;
    for (Query t = c.db().query("SELECT name FROM sqlite_master WHERE type='table'"); t.next();)
        for (Query q = c.db().query("SELECT * FROM [" + t.text(0) + "]"); q.next();)
            for (int i = 0; i < q.columnCount(); ++i)
                all += q.text(i) + '|';
    return all;
}

// A login window loaded and shown, as a user sees it.
struct LoginWindow {
    frmLogin window;
    bool loaded = window.load();
    QComboBox *name = window.txtUserName;
    QLineEdit *password = window.txtPassword;
    QCheckBox *remember = window.m_remember;

    LoginWindow()
    {
        window.show();
        window.throttle = LoginThrottle(LoginThrottle::ms(0));
    }
    void logIn(const QString &user, const QString &pwd, bool tick)
    {
        name->setEditText(user);
        password->setText(pwd);
        remember->setChecked(tick);
        QTest::mouseClick(window.cmdOK, Qt::LeftButton);
    }
};

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingDatabaseEndsWithItsMessage()
    {
        ProgramFolder folder(false);
        frmLogin w;
        QVERIFY(!w.load());
        QCOMPARE(folder.messages.shown.size(), 1);
        const QString missing = folder.path("syslibs.dll");
        QCOMPARE(folder.messages.last().text, "错误提示：\r\n系统未找到文件：" + missing + "\r\n点击确定退出");
        QVERIFY(!QFile::exists(missing));
    }
    void refusalsSayWhyAndChangeNothing()
    {
        ProgramFolder folder;
        LoginWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const struct {
            const char *name, *password, *message;
            QWidget *focus;
            const char *selected;
        } cases[] = {{"", "admin", "用户名、密码不能为空", w.name, ""},
                     {"admin", "", "用户名、密码不能为空", w.name, "admin"},
                     {"nobody", "admin", "用户名或密码错误", w.name, "nobody"},
                     {"admin", "Admin", "用户名密码错误", w.password, "Admin"}};
        for (const auto &c : cases) {
            w.logIn(QString::fromUtf8(c.name), QString::fromUtf8(c.password), true);
            QCOMPARE(folder.messages.last().text, QString::fromUtf8(c.message));
            QCOMPARE(QApplication::focusWidget(), c.focus);
            const QString selected = c.focus == w.name ? w.name->lineEdit()->selectedText()
                                                       : w.password->selectedText();
            QCOMPARE(selected, QString::fromUtf8(c.selected));
        }
        QCOMPARE(folder.messages.shown.size(), 4);
        // With a wait, the answer comes later and a click meanwhile is not a second try.
        w.window.throttle = LoginThrottle(LoginThrottle::ms(1));
        w.logIn("admin", "Admin", true);
        QTest::mouseClick(w.window.cmdOK, Qt::LeftButton);
        QCOMPARE(folder.messages.shown.size(), 4);
        QCOMPARE(w.window.throttle.failures("ADMIN"), 1);
        QTRY_COMPARE(folder.messages.shown.size(), 5);
        QCOMPARE(QApplication::focusWidget(), w.password);
        QTest::mouseClick(w.window.cmdCancel, Qt::LeftButton);
        QVERIFY(!w.window.isVisible());
        QCOMPARE(logins("admin"), 0);
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser"), QStringLiteral("0"));
        QVERIFY(program::session().userName.isEmpty());
    }
    // Each failure in a row for a name, in any letter case, waits twice as long, up to a limit.
    void failedLoginsWaitLongerForTheSameName()
    {
        LoginThrottle t;
        for (int wait : {500, 1000, 2000, 4000, 8000, 8000})
            QCOMPARE(t.failed("bob").count(), wait);
        QCOMPARE(t.failed("mary").count(), 500);
        t.succeeded("BOB");
        QCOMPARE(t.failed("Bob").count(), 500);
        QCOMPARE(t.waitAfter(100000).count(), 8000);
    }
    // A password from an older release logs in and is replaced by its hash. A remembered
    // login fills in name and a stand-in for the password, newest first, logs in through its
    // token and is forgotten unticked or once too old. A table from before the remember
    // columns gains them, its rows not remembered, and "admin" is proposed meanwhile.
    void rememberingFillsInAndForgetting()
    {
        ProgramFolder folder;
        execute("INSERT INTO users(username,userpwd) VALUES('kept','p''w%')");
        execute("DROP TABLE autouser");
        execute("CREATE TABLE autouser(username TEXT, userpwd TEXT)");
        execute("INSERT INTO autouser VALUES('old','p''w%')");
        {
            LoginWindow w;
            QCOMPARE(w.name->currentText(), QStringLiteral("admin"));
            w.logIn("KEPT", "p'w%", true);
        }
        QVERIFY(folder.messages.shown.isEmpty());
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser WHERE focusUser=0"), QStringLiteral("1"));
        QVERIFY(!wholeDatabase().contains("p'w%"));
        const QString store = QSettings(QSettings::NativeFormat, QSettings::UserScope, "pursewick").fileName();
        const QString token = program::readStoreValue(LoginStore::tokenKey("kept"));
        QCOMPARE(token.size(), 64);
        QVERIFY(!fileContents(store).contains("p'w%"));
        QCOMPARE(std::filesystem::status(store.toStdString()).permissions(),
                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        {
            LoginWindow w;
            QCOMPARE(columnTexts(w.name->model(), 0), QStringList({"kept", "old"})); // newest first
            QCOMPARE(w.name->currentText(), QStringLiteral("kept"));
            const QString standIn = w.password->text();
            QVERIFY(!standIn.isEmpty() && w.remember->isChecked());
            for (int i : {1, 0}) { // a name without and one with a remembered login
                w.name->setCurrentIndex(i);
                Q_EMIT w.name->activated(i);
                QCOMPARE(w.password->text(), i ? QString() : standIn);
                QCOMPARE(w.remember->isChecked(), i == 0);
            }
            QTest::mouseClick(w.window.cmdOK, Qt::LeftButton);
        }
        QVERIFY(folder.messages.shown.isEmpty());
        QCOMPARE(logins("kept"), 2);
        QVERIFY(program::readStoreValue(LoginStore::tokenKey("kept")) != token); // a new one each login
        execute("UPDATE autouser SET loginDateTime=? WHERE username='kept'",
                {QDateTime::currentDateTime().addDays(-LoginStore::tokenDays - 1)});
        {
            LoginWindow w;
            QVERIFY(w.password->text().isEmpty() && w.remember->isChecked());
            w.logIn("kept", "p'w%", false);
        }
        LoginWindow w;
        QCOMPARE(w.name->count(), 2);
        QVERIFY(w.name->currentText().isEmpty() && w.password->text().isEmpty() && !w.remember->isChecked());
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser WHERE userpwd=''"), QStringLiteral("2"));
        QVERIFY(program::readStoreValue(LoginStore::tokenKey("kept")).isEmpty());
    }
    // The remembered login lets in only with the token this computer keeps, while it is fresh; a
    // remembered password from an older release lets in once and becomes a token.
    void rememberedLoginNeedsItsFreshToken()
    {
        ProgramFolder folder;
        const QString key = LoginStore::tokenKey("admin");
        const QDateTime now = QDateTime::currentDateTime();
        const struct {
            const char *stored, *kept;
            int focus, age;
            bool in;
        } cases[] = {{"admin", "", 1, 0, true},     {"tok", "tok", 1, 0, true},  {"tok", "tok", 1, 31, false},
                     {"tok", "other", 1, 0, false}, {"tok", "tok", 0, 0, false}, {"", "", 1, 0, false},
                     {"wrong", "", 1, 0, false}};
        for (const auto &c : cases) {
            const QString stored = QString::fromLatin1(c.stored);
            execute("DELETE FROM autouser");
            execute("INSERT INTO autouser VALUES('admin',?,?,?)",
                    {stored == "tok" ? passwords::tokenHash("tok") : stored, c.focus, now.addDays(-c.age)});
            program::writeStoreValue(key, QString::fromLatin1(c.kept));
            Connection db(program::db());
            QCOMPARE(LoginStore::login(db.db(), "Admin", {}, true, LoginStore::Proof::Remembered).result,
                     c.in ? LoginResult::Ok : LoginResult::WrongPassword);
            QCOMPARE(passwords::isTokenHash(scalar("SELECT userpwd FROM autouser")), c.in || stored == "tok");
        }
    }
    // Enter in the name box logs in once (Enter in every box: tst_hostile), with exactly the
    // name typed: never completed from the list.
    void enterLogsInOnceWithTheTypedName()
    {
        ProgramFolder folder;
        execute("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES('administrator','',0,'2024')");
        LoginWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.name->setFocus();
        QTest::keyClicks(w.name, "admin");
        w.password->setText("admin");
        QSignalSpy loggedIn(&w.window, &frmLogin::loggedIn);
        QTest::keyClick(w.name, Qt::Key_Enter);
        QCOMPARE(loggedIn.count(), 1);
        QCOMPARE(w.name->count(), 1); // Enter must not add the typed name to the list
        QVERIFY(folder.messages.shown.isEmpty());
        QCOMPARE(logins("admin"), 1);
    }
    // Another program locks the file even against readers for a moment: the login waits, then goes through.
    void aShortLockElsewhereDoesNotRefuseTheLogin()
    {
        ProgramFolder folder;
        LoginWindow w;
        std::promise<void> locked;
        std::thread other([&, path = program::db().dbDir()] {
            clsADO elsewhere(path);
            elsewhere.OpenDB();
            elsewhere.execute("BEGIN EXCLUSIVE");
            elsewhere.execute("UPDATE users SET logintime=logintime+10");
            locked.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            elsewhere.execute("COMMIT");
        });
        locked.get_future().wait();
        w.logIn("admin", "admin", true);
        other.join();
        QVERIFY2(folder.messages.shown.isEmpty(), qPrintable(folder.messages.last().text));
        QCOMPARE(program::session().loginCount, 10);
        QCOMPARE(logins("admin"), 11);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"

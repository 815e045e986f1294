#include "tests/support/TestSupport.h"

#include "login/frmLogin.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <future>
#include <thread>

using namespace ht;
using namespace ht::test;

namespace {

qint64 logins(const QString &name)
{
    return Connection(program::db()).db().count(QStringLiteral("SELECT logintime FROM users WHERE username=?"), {name});
}

// A login window loaded and shown, as a user sees it.
struct LoginWindow {
    frmLogin window;
    bool loaded = window.load();
    QComboBox *name = window.txtUserName;
    QLineEdit *password = window.txtPassword;
    QCheckBox *remember = window.m_remember;

    LoginWindow() { window.show(); }
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
        QTest::mouseClick(w.window.cmdCancel, Qt::LeftButton);
        QVERIFY(!w.window.isVisible());
        QCOMPARE(logins("admin"), 0);
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser"), QStringLiteral("0"));
        QVERIFY(program::session().userName.isEmpty());
    }
    // A remembered login fills in name and password, newest first; unticked it forgets the
    // password. A table from before the remember columns gains them, its rows not remembered,
    // and "admin" is proposed meanwhile.
    void rememberingFillsInAndForgetting()
    {
        ProgramFolder folder;
        execute("INSERT INTO users(username,userpwd) VALUES('kept','p''w%')");
        execute("DROP TABLE autouser");
        execute("CREATE TABLE autouser(username TEXT, userpwd TEXT)");
        execute("INSERT INTO autouser VALUES('old','x')");
        {
            LoginWindow w;
            QCOMPARE(w.name->currentText(), QStringLiteral("admin"));
            w.logIn("KEPT", "p'w%", true);
        }
        QVERIFY(folder.messages.shown.isEmpty());
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser WHERE focusUser=0"), QStringLiteral("1"));
        {
            LoginWindow w;
            QCOMPARE(columnTexts(w.name->model(), 0), QStringList({"kept", "old"})); // newest first
            QCOMPARE(w.name->currentText(), QStringLiteral("kept"));
            QCOMPARE(w.password->text(), QStringLiteral("p'w%"));
            QVERIFY(w.remember->isChecked());
            for (int i : {1, 0}) { // a name without and one with a remembered password
                w.name->setCurrentIndex(i);
                Q_EMIT w.name->activated(i);
                QCOMPARE(w.password->text(), i ? QString() : QStringLiteral("p'w%"));
                QCOMPARE(w.remember->isChecked(), i == 0);
            }
            w.logIn("kept", "p'w%", false);
        }
        LoginWindow w;
        QCOMPARE(w.name->count(), 2);
        QVERIFY(w.name->currentText().isEmpty() && w.password->text().isEmpty() && !w.remember->isChecked());
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser WHERE userpwd=''"), QStringLiteral("1"));
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

#include "LoginStore.h"
#include "Program.h"
#include "TestSupport.h"
#include "clsADO.h"
#include "frmLogin.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace ht;
using ht::test::ProgramFolder;

namespace {

struct UserRow {
    QString password;
    qint64 logins = -1;
};

UserRow userRow(const QString &name)
{
    clsADO &db = program::db();
    db.OpenDB();
    Query q = db.query(QStringLiteral("SELECT userpwd, logintime FROM users WHERE username=?"), {name});
    UserRow row;
    if (q.next())
        row = {q.text(0), q.int64(1)};
    db.CloseDB();
    return row;
}

struct AutoRow {
    bool exists = false;
    QString name, password;
    qint64 focus = -1;
    QString when;
};

AutoRow autoRow(const QString &name)
{
    clsADO &db = program::db();
    db.OpenDB();
    Query q = db.query(QStringLiteral("SELECT username,userpwd,focusUser,loginDateTime FROM autouser WHERE username=?"), {name});
    AutoRow row;
    if (q.next())
        row = {true, q.text(0), q.text(1), q.int64(2), q.text(3)};
    db.CloseDB();
    return row;
}

void addUser(const QString &name, const QString &password, int logins = 0)
{
    clsADO &db = program::db();
    db.OpenDB();
    db.insert(QStringLiteral("users"), {{"username", name}, {"userpwd", password}, {"logintime", logins}});
    db.CloseDB();
}

QStringList listedNames(const frmLogin &w)
{
    QStringList names;
    for (int i = 0; i < w.txtUserName->count(); ++i)
        names << w.txtUserName->itemText(i);
    return names;
}

// A login window loaded and shown, found again by control names as a user would see it.
struct LoginWindow {
    frmLogin window;
    QComboBox *name = nullptr;
    QLineEdit *password = nullptr;
    QCheckBox *remember = nullptr;
    QPushButton *ok = nullptr;
    bool loaded = false;

    LoginWindow()
    {
        loaded = window.load();
        window.show();
        window.activateWindow();
        name = window.findChild<QComboBox *>(QStringLiteral("txtUserName"));
        password = window.findChild<QLineEdit *>(QStringLiteral("txtPassword"));
        remember = window.findChild<QCheckBox *>(QStringLiteral("Check1"));
        ok = window.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    }
    void logIn(const QString &user, const QString &pwd, bool tick)
    {
        name->setEditText(user);
        password->setText(pwd);
        remember->setChecked(tick);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
};

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingDatabaseEndsWithItsMessage();
    void freshDatabaseLogsInAdmin();
    void windowLooksAsDesigned();
    void refusalsKeepEverythingAsItWas();
    void nameMatchesIgnoringCasePasswordExactly();
    void rememberingAndForgetting();
    void newestRememberedUserComesFirst();
    void choosingANameFillsItsPassword();
    void enterLogsInOnce();
    void quotesAndPercentSignsBreakNothing();
    void olderDatabaseGetsTheRememberColumns();
    void cancelWritesNothing();
    void passwordBoxSelectsOnFocus();
};

void TestLogin::missingDatabaseEndsWithItsMessage()
{
    ProgramFolder folder(false);
    frmLogin w;
    QVERIFY(!w.load());
    QCOMPARE(folder.messages.shown.size(), 1);
    const MessageRecord m = folder.messages.last();
    QCOMPARE(m.text, QStringLiteral("错误提示：\r\n系统未找到文件：") + folder.path("syslibs.dll") + QStringLiteral("\r\n点击确定退出"));
    QCOMPARE(m.title, QStringLiteral("系统错误"));
    QCOMPARE(m.icon, MsgIcon::Critical);
    QVERIFY(!QFile::exists(folder.path("syslibs.dll")));
}

void TestLogin::freshDatabaseLogsInAdmin()
{
    ProgramFolder folder;
    LoginWindow w;
    QVERIFY(w.loaded);
    QCOMPARE(w.name->count(), 0);
    QCOMPARE(w.name->currentText(), QString());
    QSignalSpy loggedIn(&w.window, &frmLogin::loggedIn);
    w.logIn("admin", "admin", false);
    QCOMPARE(loggedIn.count(), 1);
    QVERIFY(folder.messages.shown.isEmpty());
    QCOMPARE(w.window.result(), int(QDialog::Accepted));
    QVERIFY(!w.window.isVisible());
    QCOMPARE(program::session().userName, QStringLiteral("admin"));
    QCOMPARE(program::session().loginCount, 0);
    QCOMPARE(userRow("admin").logins, 1);
    QVERIFY(!autoRow("admin").exists);
}

void TestLogin::windowLooksAsDesigned()
{
    ProgramFolder folder;
    LoginWindow w;
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Hearthtally"));
    QCOMPARE(w.window.findChild<QLabel *>("Label1")->text(), QStringLiteral("用户名(&U)："));
    QCOMPARE(w.window.findChild<QLabel *>("Label2")->text(), QStringLiteral("密  码(&P)："));
    QCOMPARE(w.remember->text(), QStringLiteral("记住用户名密码"));
    QCOMPARE(w.password->echoMode(), QLineEdit::Password);
    for (const char *button : {"cmdOK", "cmdCancel"}) {
        auto *b = w.window.findChild<QPushButton *>(button);
        QVERIFY(b->text().isEmpty());
        QVERIFY2(!b->icon().pixmap(24, 24).isNull(), button);
    }
}

void TestLogin::refusalsKeepEverythingAsItWas()
{
    ProgramFolder folder;
    LoginWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));

    w.logIn("", "admin", true);
    QCOMPARE(folder.messages.last().text, QStringLiteral("用户名、密码不能为空"));
    QCOMPARE(folder.messages.last().title, QStringLiteral("登录错误"));
    QCOMPARE(folder.messages.last().icon, MsgIcon::Critical);
    QCOMPARE(QApplication::focusWidget(), w.name);

    w.logIn("admin", "", true);
    QCOMPARE(folder.messages.last().text, QStringLiteral("用户名、密码不能为空"));
    QCOMPARE(QApplication::focusWidget(), w.name);
    QCOMPARE(w.name->lineEdit()->selectedText(), QStringLiteral("admin"));

    w.logIn("nobody", "admin", true);
    QCOMPARE(folder.messages.last().text, QStringLiteral("用户名或密码错误"));
    QCOMPARE(folder.messages.last().title, QStringLiteral("登录错误"));
    QCOMPARE(QApplication::focusWidget(), w.name);
    QCOMPARE(w.name->lineEdit()->selectedText(), QStringLiteral("nobody"));

    w.logIn("admin", "Admin", true);
    QCOMPARE(folder.messages.last().text, QStringLiteral("用户名密码错误"));
    QCOMPARE(folder.messages.last().icon, MsgIcon::Critical);
    QCOMPARE(QApplication::focusWidget(), w.password);
    QCOMPARE(w.password->selectedText(), QStringLiteral("Admin"));

    w.logIn("admin", "admin ", true);
    QCOMPARE(folder.messages.last().text, QStringLiteral("用户名密码错误"));

    QCOMPARE(folder.messages.shown.size(), 5);
    QVERIFY(w.window.isVisible());
    QCOMPARE(userRow("admin").logins, 0);
    QVERIFY(!autoRow("admin").exists);
    QVERIFY(program::session().userName.isEmpty());
}

void TestLogin::nameMatchesIgnoringCasePasswordExactly()
{
    ProgramFolder folder;
    addUser("mary", "Secret", 5);
    LoginWindow w;
    w.logIn("MARY", "Secret", false);
    QVERIFY(folder.messages.shown.isEmpty());
    QCOMPARE(program::session().userName, QStringLiteral("MARY"));
    QCOMPARE(program::session().loginCount, 5);
    QCOMPARE(userRow("mary").logins, 6);
}

void TestLogin::rememberingAndForgetting()
{
    ProgramFolder folder;
    {
        LoginWindow w;
        w.logIn("admin", "admin", true);
    }
    AutoRow row = autoRow("admin");
    QVERIFY(row.exists);
    QCOMPARE(row.password, QStringLiteral("admin"));
    QCOMPARE(row.focus, 1);
    QVERIFY(QDateTime::fromString(row.when, "yyyy-MM-dd HH:mm:ss").secsTo(QDateTime::currentDateTime()) < 60);
    {
        LoginWindow w;
        QCOMPARE(w.name->currentText(), QStringLiteral("admin"));
        QCOMPARE(w.password->text(), QStringLiteral("admin"));
        QVERIFY(w.remember->isChecked());
        // A second remembered login updates the row rather than adding one.
        w.logIn("ADMIN", "admin", true);
    }
    {
        clsADO &db = folder.openDb();
        QCOMPARE(db.count("SELECT COUNT(*) FROM autouser"), 1);
        db.CloseDB();
    }
    {
        LoginWindow w;
        w.logIn("admin", "admin", false);
    }
    row = autoRow("admin");
    QVERIFY(row.exists);
    QCOMPARE(row.password, QString());
    QCOMPARE(row.focus, 0);
    {
        LoginWindow w;
        QCOMPARE(listedNames(w.window), QStringList({"admin"}));
        QCOMPARE(w.name->currentText(), QString());
        QCOMPARE(w.password->text(), QString());
        QVERIFY(!w.remember->isChecked());
    }
    QCOMPARE(userRow("admin").logins, 3);
}

void TestLogin::newestRememberedUserComesFirst()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.execute("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES"
               "('old','p1',1,'2023-01-01 10:00:00'),('newest','p2',1,'2024-06-01 09:00:00'),"
               "('middle','',0,'2024-02-01 09:00:00')");
    db.CloseDB();
    {
        LoginWindow w;
        QCOMPARE(listedNames(w.window), QStringList({"newest", "middle", "old"}));
        QCOMPARE(w.name->currentText(), QStringLiteral("newest"));
        QCOMPARE(w.password->text(), QStringLiteral("p2"));
        QVERIFY(w.remember->isChecked());
    }
    db.OpenDB();
    db.execute("UPDATE autouser SET focusUser=0 WHERE username='newest'");
    db.CloseDB();
    LoginWindow w;
    QCOMPARE(w.name->count(), 3);
    QCOMPARE(w.name->currentText(), QString());
    QVERIFY(!w.remember->isChecked());
}

void TestLogin::choosingANameFillsItsPassword()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.execute("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES"
               "('kept','pw',1,'2023-01-01 10:00:00'),('forgot','',0,'2024-06-01 09:00:00')");
    db.CloseDB();
    LoginWindow w;
    QCOMPARE(listedNames(w.window), QStringList({"forgot", "kept"}));
    w.password->setText("typed");
    w.name->setCurrentIndex(1);
    Q_EMIT w.name->activated(1);
    QCOMPARE(w.password->text(), QStringLiteral("pw"));
    QVERIFY(w.remember->isChecked());
    w.name->setCurrentIndex(0);
    Q_EMIT w.name->activated(0);
    QCOMPARE(w.password->text(), QString());
    QVERIFY(!w.remember->isChecked());
}

void TestLogin::enterLogsInOnce()
{
    ProgramFolder folder;
    {
        LoginWindow w;
        w.name->setEditText("admin");
        w.password->setText("admin");
        QSignalSpy loggedIn(&w.window, &frmLogin::loggedIn);
        QTest::keyClick(w.password, Qt::Key_Return);
        QCOMPARE(loggedIn.count(), 1);
    }
    QCOMPARE(userRow("admin").logins, 1);
    {
        LoginWindow w;
        w.name->setEditText("admin");
        w.password->setText("admin");
        QSignalSpy loggedIn(&w.window, &frmLogin::loggedIn);
        QTest::keyClick(w.name, Qt::Key_Enter); // the combo box holds the focus, as for a user
        QCOMPARE(loggedIn.count(), 1);
        QCOMPARE(w.name->count(), 0); // Enter must not add the typed name to the list
    }
    QCOMPARE(userRow("admin").logins, 2);
}

void TestLogin::quotesAndPercentSignsBreakNothing()
{
    ProgramFolder folder;
    // Names are kept without quotes and percent signs; passwords exactly as typed.
    addUser("oneil", "p'w%d");
    {
        LoginWindow w;
        w.logIn("o'neil%", "p'w%d", true);
        QVERIFY2(folder.messages.shown.isEmpty(), qPrintable(folder.messages.last().text));
        QCOMPARE(program::session().userName, QStringLiteral("o'neil%"));
    }
    const AutoRow row = autoRow("o'neil%");
    QVERIFY(row.exists);
    QCOMPARE(row.password, QStringLiteral("p'w%d"));
    {
        LoginWindow w;
        QCOMPARE(w.name->currentText(), QStringLiteral("o'neil%"));
        QCOMPARE(w.password->text(), QStringLiteral("p'w%d"));
        w.password->clear();
        Q_EMIT w.name->activated(0);
        QCOMPARE(w.password->text(), QStringLiteral("p'w%d"));
        QTest::mouseClick(w.ok, Qt::LeftButton);
        QVERIFY(folder.messages.shown.isEmpty());
    }
    QCOMPARE(userRow("oneil").logins, 2);
}

void TestLogin::olderDatabaseGetsTheRememberColumns()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.execute("DROP TABLE autouser");
    db.execute("CREATE TABLE autouser(username TEXT, userpwd TEXT)");
    db.execute("INSERT INTO autouser VALUES('admin','admin'),('mary','x')");
    db.CloseDB();
    {
        LoginWindow w;
        QVERIFY(w.loaded);
        QCOMPARE(w.name->count(), 0);
        QCOMPARE(w.name->currentText(), QStringLiteral("admin"));
        QVERIFY(folder.messages.shown.isEmpty());
    }
    db.OpenDB();
    QVERIFY(ColumnExists(db, "focusUser", "autouser"));
    QVERIFY(ColumnExists(db, "loginDateTime", "autouser"));
    QCOMPARE(db.count("SELECT COUNT(*) FROM autouser WHERE focusUser=0"), 2);
    db.CloseDB();
    LoginWindow again;
    QCOMPARE(again.name->count(), 2);
}

void TestLogin::cancelWritesNothing()
{
    ProgramFolder folder;
    LoginWindow w;
    QSignalSpy rejected(&w.window, &QDialog::rejected);
    w.name->setEditText("admin");
    w.password->setText("admin");
    w.remember->setChecked(true);
    QTest::mouseClick(w.window.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(userRow("admin").logins, 0);
    QVERIFY(!autoRow("admin").exists);
    QVERIFY(program::session().userName.isEmpty());
}

void TestLogin::passwordBoxSelectsOnFocus()
{
    ProgramFolder folder;
    LoginWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.password->setText("secret");
    w.password->deselect();
    w.name->setFocus();
    QTest::mouseClick(w.password, Qt::LeftButton, {}, QPoint(4, w.password->height() / 2));
    QTRY_COMPARE(w.password->selectedText(), QStringLiteral("secret"));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"

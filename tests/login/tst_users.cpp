#include "tests/support/TestSupport.h"

#include "login/frmPassword.h"
#include "login/usersDialog.h"

#include "book/LoginStore.h"
#include "book/Passwords.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ht;
using namespace ht::test;

class TestUsers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        program::session().userName = QStringLiteral("admin");
    }
    void cleanup() { m_folder.reset(); }

    // The new password kept exactly and logged in with: tst_hostile.
    void passwordChangeIsCheckedAndEndsTheRememberedLogin()
    {
        execute("INSERT INTO autouser VALUES('admin',?,1,'2024')", {passwords::tokenHash("tok")});
        program::writeStoreValue(LoginStore::tokenKey("admin"), "tok");
        frmPassword w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto &messages = m_folder->messages;
        QTest::keyClick(w.m_password, Qt::Key_Return);
        QCOMPARE(messages.last().text, QStringLiteral("请输入新登录密码"));
        QCOMPARE(QApplication::focusWidget(), w.m_password);
        w.m_password->setText("new");
        w.m_passwordAgain->setText("newx");
        QTest::keyClick(w.m_passwordAgain, Qt::Key_Return);
        QCOMPARE(messages.last().text, QStringLiteral("两次密码输入不一致"));
        QCOMPARE(w.m_passwordAgain->selectedText(), QStringLiteral("newx"));
        w.m_passwordAgain->setText("new");
        QTest::keyClick(w.m_passwordAgain, Qt::Key_Enter);
        QCOMPARE(messages.last().text, QStringLiteral("提示：密码修改成功"));
        QVERIFY(!w.isVisible());
        QVERIFY(passwords::check(scalar("SELECT userpwd FROM users WHERE username='admin'"), "new").ok);
        QCOMPARE(scalar("SELECT userpwd||focusUser FROM autouser"), QStringLiteral("0"));
        QVERIFY(program::readStoreValue(LoginStore::tokenKey("admin")).isEmpty());
    }

    // Stored names and passwords and the taken name in other letter case: tst_hostile.
    void registerChecksAndStores()
    {
        usersDialog w;
        auto &messages = m_folder->messages;
        const auto tryRegister = [&](const QString &name, const QString &password, const QString &again) {
            w.m_newName->setText(name);
            w.m_password->setText(password);
            w.m_passwordAgain->setText(again);
            w.BtnOk->click();
            return messages.last().text;
        };
        QCOMPARE(tryRegister(" '% ", "pw", "pw"), QStringLiteral("请输入新登录用户名"));
        QCOMPARE(tryRegister(QString(51, u'长'), "pw", "pw"), QStringLiteral("登录用户名过长，请重新输入"));
        QCOMPARE(tryRegister("mary", " %' ", " %' "), QStringLiteral("请输入登录密码，不能超过50个字符"));
        QCOMPARE(tryRegister("mary", "pw", "pW"), QStringLiteral("两次密码输入不一致"));
        QCOMPARE(w.m_passwordAgain->selectedText(), QStringLiteral("pW"));
        QCOMPARE(tryRegister("{System}", "pw", "pw"), QStringLiteral("用户名【{System}】为系统保留，不能注册"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM users"), QStringLiteral("1"));

        QCOMPARE(tryRegister(QString(50, u'长'), "pw", "pw").left(8), QStringLiteral("新用户注册成功！"));
        QVERIFY(w.m_newName->text().isEmpty() && w.m_passwordAgain->text().isEmpty());
        QCOMPARE(test::columnTexts(w.m_deleteName->model(), 0).last(), QString(50, u'长'));
        QCOMPARE(tryRegister("mary", "pw", "pw").left(8), QStringLiteral("新用户注册成功！"));
        const QString first = scalar("SELECT userpwd FROM users WHERE username=?", {QString(50, u'长')});
        const QString second = scalar("SELECT userpwd FROM users WHERE username='mary'");
        QVERIFY(first != second && passwords::check(first, "pw").ok && passwords::check(second, "pw").ok);
    }

    void deleteKeepsRecordsAndRefusesWhatItCannot()
    {
        execute("INSERT INTO users(username,userpwd) VALUES('mary','pw')");
        execute("INSERT INTO autouser VALUES('mary','x',1,'2024')");
        program::writeStoreValue(LoginStore::tokenKey("mary"), "tok");
        test::addRecord(1, QDateTime::currentDateTime(), 5, {}, 10, "mary");
        usersDialog w;
        auto &messages = m_folder->messages;
        for (const auto &[typed, said] :
             {std::pair("", "请选择要删除的用户"), std::pair("ADMIN", "不能删除系统用户")}) {
            w.m_deleteName->setEditText(QString::fromUtf8(typed));
            w.delBtn->click();
            QCOMPARE(messages.last().text, QString::fromUtf8(said));
        }
        w.m_deleteName->setEditText("MARY");
        QTest::keyClick(w.m_deleteName, Qt::Key_Return); // deletes, never registers
        QCOMPARE(messages.last().text, QStringLiteral("用户【MARY】删除成功！"));
        QCOMPARE(test::columnTexts(w.m_deleteName->model(), 0), QStringList{"admin"});
        QCOMPARE(scalar("SELECT COUNT(*) FROM autouser WHERE username='mary'"), QStringLiteral("0"));
        QVERIFY(program::readStoreValue(LoginStore::tokenKey("mary")).isEmpty());
        QCOMPARE(scalar("SELECT COUNT(*) FROM pursewicks WHERE username='mary'"), QStringLiteral("1"));
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
};

QTEST_MAIN(TestUsers)
#include "tst_users.moc"

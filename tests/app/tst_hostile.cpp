#include "tests/support/TestSupport.h"

#include "app/Subsystems.h"
#include "book/Passwords.h"

#include "backup/dataDialog.h"
#include "backup/exportDialog.h"
#include "backup/printDialog.h"
#include "backup/printpreviewDialog.h"
#include "banks/frmBanks.h"
#include "banks/newbankDialog.h"
#include "categories/frmTypes.h"
#include "categories/newtypeDialog.h"
#include "categories/searchDialog.h"
#include "ledger/MainWindow.h"
#include "ledger/frmAbout.h"
#include "ledger/newInDialog.h"
#include "login/frmLogin.h"
#include "login/frmPassword.h"
#include "login/usersDialog.h"
#include "memos/frmMemoNote.h"
#include "memos/memonoteSearchDialog.h"
#include "memos/newMemoNoteDialog.h"

#include "foundation/DialogKit.h"
#include "foundation/ListKit.h"
#include "foundation/NameText.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

using namespace ht;
using namespace ht::test;

namespace {

// Typed into every box. Each also stands as a decoy for the others: mary owns a row of
// every kind holding each of them, "a_b" is the NUL text's head, and the padded text is what
// a "%" or "_" read as a wildcard would find.
const QStringList hostile = {QStringLiteral("O'Brien \"x\""),
                             QStringLiteral("100%"),
                             QStringLiteral("ma_y"),
                             QStringLiteral("a -- b; DROP TABLE [users];"),
                             QStringLiteral("C:\\new\\t"),
                             QStringLiteral("a_b") + QChar(0) + QStringLiteral("tail"),
                             QStringLiteral("a_b"),
                             QString(10000, QChar(u'长')),
                             QStringLiteral("家😀👨‍👩‍👧"),
                             QStringLiteral("\u200F\u202Eabc\u202C"),
                             QStringLiteral("  Pad 1000 mazy a.b  "),
                             QStringLiteral("\u00A0no-break\u00A0"),
                             QString(50, QChar(u'密'))};

QString other(const QString &t)
{
    return t.toUpper() != t ? t.toUpper() : t.toLower();
}

// As a user types: ASCII key by key; anything else as one key event carrying the text,
// as an input method commits it.
void type(QWidget *box, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(box))
        box = combo->lineEdit();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; });
    if (ascii)
        QTest::keyClicks(box, text);
    else
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, {});
    auto *plain = qobject_cast<QPlainTextEdit *>(box);
    QCOMPARE(plain ? typedText(plain) : static_cast<QLineEdit *>(box)->text(), text);
}

// Every row of mary's, every column, in a fixed order.
QString maryRows()
{
    QString dump;
    Connection c(program::db());
    for (const char *table : {"users", "autouser", "pursewicks", "types", "banks", "MyNotes", "MyNotesCount"}) {
        for (Query q =
                 c.db().query(QStringLiteral("SELECT * FROM [%1] WHERE username='mary' ORDER BY rowid").arg(table));
             q.next();)
            for (int i = 0; i < q.columnCount(); ++i)
                dump += q.value(i).toString() + QChar(1);
    }
    return dump;
}

QStringList containing(QStringList texts, const QString &t)
{
    texts = texts.filter(t, Qt::CaseInsensitive);
    texts.sort();
    return texts;
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;
    QString m_mary;

    QStringList said()
    {
        QStringList texts;
        for (const MessageRecord &m : std::as_const(m_folder->messages.shown))
            texts << m.text;
        m_folder->messages.shown.clear();
        return texts;
    }
    static qint64 newest(const char *table)
    {
        return scalar(QStringLiteral("SELECT max(ID) FROM [%1]").arg(table)).toLongLong();
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        Connection c(program::db());
        c.db().execute("INSERT INTO users(username,userpwd) VALUES('mary','pw')");
        c.db().execute("INSERT INTO autouser(username,userpwd,focusUser) VALUES('mary','pw',1)");
        for (const QString &t : hostile) {
            addRecord(0, QDateTime::currentDateTime(), 1, t, 1, "mary");
            c.db().insert("types", {{"typename", SQLCut(t)}, {"class", 0}, {"username", "mary"}});
            c.db().insert("banks", {{"username", "mary"}, {"bankID", SQLCut(t)}, {"bankMemo", t}});
            c.db().insert("MyNotes",
                          {{"username", "mary"}, {"noteDateTime", "2024-05-06 12:00:00"}, {"noteContent", t}});
        }
        m_mary = maryRows();
        program::session().userName = "admin";
    }
    void cleanup()
    {
        QCOMPARE(maryRows(), m_mary);
        m_folder.reset();
    }

    // Every control Tab reaches has a name of its own for a screen reader. Enter anywhere in a
    // dialog presses its confirm button once; in a multi-line box it starts a line instead, and
    // in the user-deletion box it deletes.
    void everyWindowByKeyboard()
    {
        std::unique_ptr<MainWindow> w(openMainWindow());
        MainWindow *m = w.get();
        auto *login = new frmLogin(m);
        QVERIFY(login->load());
        QList<QWidget *> windows{
            login, new printpreviewDialog(backup::printoutOf(*m->list(0), 0, m->period(), m->total(0)), m)};
        windows << new newInDialog(m, 0) << new frmTypes(m) << new newtypeDialog(m, 0) << new searchDialog(m)
                << new frmBanks(m) << new newbankDialog(m) << new frmMemoNote(m) << new newMemoNoteDialog(m)
                << new memonoteSearchDialog(m, {}) << new dataDialog(m) << new exportDialog(m) << new printDialog(m)
                << new usersDialog(m) << new frmPassword(m) << new frmAbout(m) << m; // last: alone by then
        for (QWidget *window : windows) {
            const std::unique_ptr<QWidget> closed(window != m ? window : nullptr);
            window->show();
            // The confirm button's presses are counted, not acted on.
            int presses = 0;
            auto *ok = window->findChildren<QPushButton *>(QRegularExpression("^(OKButton|BtnOk|cmdOK)$")).value(0);
            if (ok && QObject::disconnect(ok, &QPushButton::clicked, nullptr, nullptr))
                connect(ok, &QPushButton::clicked, this, [&] { ++presses; });
            QStringList names;
            for (QWidget *c = window->nextInFocusChain(); c != window; c = c->nextInFocusChain()) {
                if (!(c->focusPolicy() & Qt::TabFocus) || !c->isVisible() || c->focusProxy())
                    continue;
                names << QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name);
                const QString where = window->objectName() + "/" + c->objectName() + ": " + names.last();
                QVERIFY2(!names.last().isEmpty() && names.indexOf(names.last()) == names.size() - 1, qPrintable(where));
                if (ok && c->isEnabled() && (c == ok || !qobject_cast<QPushButton *>(c))) {
                    const int before = presses;
                    QTest::keyClick(c, Qt::Key_Return);
                    const bool own = qobject_cast<QPlainTextEdit *>(c)
                        || (c == window->findChild<QComboBox *>("Combo1") && qobject_cast<usersDialog *>(window));
                    QVERIFY2(presses == before + !own, qPrintable(where));
                }
            }
        }
    }

    // Each command of the main window opens its window, with the subsystems the program attaches.
    void everyCommandOpensItsWindow()
    {
        std::unique_ptr<MainWindow> w(openMainWindow(subsystems()));
        for (const auto &[command, window] : {std::pair("mm_pwd", "frmPassword"),
                                              {"mm_users", "usersDialog"},
                                              {"mm_types", "frmTypes"},
                                              {"mm_search", "searchDialog"},
                                              {"mm_Del", "searchDialog"},
                                              {"mm_banks", "frmBanks"},
                                              {"mm_memoNote", "frmMemoNote"},
                                              {"mm_data", "dataDialog"},
                                              {"mm_export", "exportDialog"},
                                              {"mm_print", "printDialog"}})
            QVERIFY2(runModal([&] { triggerAction(w.get(), command); },
                              [&](QDialog *d) { QCOMPARE(d->objectName(), QString::fromLatin1(window)); }),
                     command);
    }

    // A name is cleaned and checked trimmed, a password kept exactly; the name in
    // other letter case is the same user.
    void usersLoginAndPassword()
    {
        usersDialog users;
        const auto logIn = [&](const QString &name, const QString &password) {
            frmLogin login;
            login.throttle = LoginThrottle(LoginThrottle::ms(0));
            QVERIFY(login.load());
            type(login.txtUserName, name);
            type(login.txtPassword, password);
            login.cmdOK->click();
        };
        for (const QString &t : hostile) {
            const QString name = SQLCut(t), checked = SQLCut(t.trimmed());
            for (auto [box, text] : {std::pair{users.m_newName, t}, {users.m_password, t}, {users.m_passwordAgain, t}})
                type(box, text);
            users.BtnOk->click();
            const bool tooLong = checked.size() > 50;
            QCOMPARE(said(),
                     QStringList{tooLong ? QStringLiteral("登录用户名过长，请重新输入")
                                         : "新用户注册成功！\r\n登录用户名：" + name + "  登录密码：" + t});
            if (!tooLong) {
                QVERIFY(passwords::check(scalar("SELECT userpwd FROM users WHERE username=?", {name}), t).ok);
                for (QLineEdit *box : {users.m_newName, users.m_password, users.m_passwordAgain})
                    type(box, box == users.m_newName ? other(t) : t);
                users.BtnOk->click();
                QCOMPARE(said(), QStringList{"用户名【" + SQLCut(other(t)) + "】已经存在"});
            }
            logIn(other(t), t);
            QCOMPARE(said(), tooLong ? QStringList{"用户名或密码错误"} : QStringList{});
            QCOMPARE(program::session().userName, tooLong ? QStringLiteral("admin") : name);

            program::session().userName = "admin";
            frmPassword change;
            type(change.m_password, t);
            type(change.m_passwordAgain, t);
            change.OKButton->click();
            QCOMPARE(said(), QStringList{"提示：密码修改成功"});
            QVERIFY(passwords::check(scalar("SELECT userpwd FROM users WHERE username='admin'"), t).ok);
            logIn("admin", t.trimmed() != t ? t.trimmed() : t + "x");
            QCOMPARE(said(), QStringList{"用户名密码错误"});
            logIn("ADMIN", t);
            QCOMPARE(said(), QStringList{});
            program::session().userName = "admin";

            type(users.m_deleteName, t);
            users.delBtn->click();
            QCOMPARE(said(), QStringList{"用户【" + name + (tooLong ? "】尚未注册" : "】删除成功！")});
        }
    }

    // Remarks are kept exactly; a query or batch delete finds what holds the text literally.
    void recordEditorAndQuery()
    {
        std::unique_ptr<MainWindow> w(openMainWindow());
        newInDialog record(w.get(), 0);
        record.m_category->setCurrentIndex(0);
        for (const QString &t : hostile) {
            type(record.m_amount, t);
            record.OKButton->click();
            QCOMPARE(said(), QStringList{"提示：请正确输入金额"});
            type(record.m_amount, "1.00");
            type(record.m_remark, t);
            record.OKButton->click();
            QCOMPARE(said(), QStringList{});
            QCOMPARE(scalar("SELECT memo FROM pursewicks WHERE ID=?", {newest("pursewicks")}), t);
        }
        QStringList left = hostile;
        for (const QString &t : hostile) {
            for (bool deleting : {false, true}) {
                searchDialog query(w.get(), deleting);
                query.m_byAmount->setChecked(true); // an amount that is no number adds nothing
                query.m_byRemark->setChecked(true);
                type(query.m_amount, t);
                type(query.m_remark, t);
                query.OKButton->click();
                const QStringList found = containing(left, t);
                if (deleting) {
                    const QString asked = QStringLiteral("确定要删除此条件的所有记录吗？\r\n共 %1 条记录将被删除（移到回收站，可以恢复）");
                    QCOMPARE(said(),
                             QStringList{found.isEmpty() ? QStringLiteral("提示：没有符合条件的记录，无需删除")
                                                         : asked.arg(found.size())});
                    for (const QString &gone : found)
                        left.removeOne(gone);
                } else {
                    QStringList shown = columnTexts(w->list(0)->model(), 3);
                    shown.sort();
                    QCOMPARE(shown, found);
                    QCOMPARE(said(), QStringList{});
                }
            }
        }
        QCOMPARE(scalar("SELECT COUNT(*) FROM pursewicks WHERE username='admin'"), QString::number(left.size()));
    }

    // Names are cleaned, untrimmed; the same name in other letter case is taken.
    void categoryNames()
    {
        frmTypes manager;
        for (const QString &t : hostile) {
            for (bool again : {false, true}) {
                const QString typed = again ? other(t) : t;
                newtypeDialog d(&manager, 0);
                type(d.m_name, typed);
                d.OKButton->click();
                QCOMPARE(said(),
                         !again ? QStringList{} : QStringList{"您输入的类别名称【" + SQLCut(typed) + "】已经存在"});
            }
            QCOMPARE(scalar("SELECT typename FROM types WHERE ID=?", {newest("types")}), SQLCut(t));
        }
    }

    // Account and card numbers are cleaned; every other text is kept exactly.
    void bankAccounts()
    {
        frmBanks list;
        newbankDialog d(&list);
        for (const QString &t : hostile) {
            for (bool again : {false, true}) {
                for (QLineEdit *box : {d.m_place, d.m_bank, d.m_holder, d.m_card, d.m_balance})
                    type(box, t);
                type(d.m_account, again ? other(t) : t);
                type(d.m_remark, t);
                d.OKButton->click();
                QCOMPARE(said(), QStringList{"请正确输入银行余额"});
                type(d.m_balance, "1.00");
                d.OKButton->click();
                QCOMPARE(said(), !again ? QStringList{} : QStringList{"此银行账户已存在"});
            }
            QCOMPARE(
                scalar("SELECT bankAddr||'|'||bankName||'|'||bankID||'|'||bankUsername||'|'||bankCardID||'|'||bankMemo "
                       "FROM banks WHERE ID=?",
                       {newest("banks")}),
                QStringList({t, t, SQLCut(t), t, SQLCut(t), t}).join('|'));
        }
    }

    // Notes are kept exactly; the quick search and the search dialog find them literally.
    void memoNotes()
    {
        frmMemoNote w;
        for (const QString &t : hostile) {
            newMemoNoteDialog editor(&w);
            type(editor.m_content, t);
            editor.OKButton->click();
            QCOMPARE(scalar("SELECT noteContent FROM MyNotes WHERE ID=?", {newest("MyNotes")}), t);
        }
        const auto shown = [&] {
            QStringList notes;
            for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i)
                notes << scalar("SELECT noteContent FROM MyNotes WHERE ID=?", {rowKeyId(w.ListView1->topLevelItem(i))});
            notes.sort();
            return notes;
        };
        for (const QString &t : hostile) {
            type(w.searchText, t);
            w.searchBtn->click();
            QCOMPARE(shown(), containing(hostile, t));
            type(w.searchText, {}); // the dialog's search starts from every note
            w.searchBtn->click();
            QVERIFY(runModal([&] { w.mnSearch->trigger(); },
                             [&](QDialog *d) {
                auto *s = static_cast<memonoteSearchDialog *>(d);
                s->m_byText->setChecked(true);
                type(s->m_text, t);
                s->OKButton->click();
            }));
            QCOMPARE(shown(), containing(hostile, t));
        }
        QCOMPARE(said(), QStringList{});
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"

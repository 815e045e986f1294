#include "tests/support/TestSupport.h"

#include "banks/frmBanks.h"
#include "banks/newbankDialog.h"

#include "book/BankStore.h"

#include "foundation/DatePicker.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace ht;
using namespace ht::test;

namespace {

qint64 addBank(const QString &user, const QString &addr, double money, const QString &date = "2020-05-01 00:00:00")
{
    execute("INSERT INTO banks(username,bankAddr,bankName,bankID,bankUsername,bankMoney,bankRegdate) "
            "VALUES(?,?,'工行',?,'张三',?,?)",
            {user, addr, addr, money, date});
    return scalar("SELECT max(ID) FROM banks").toLongLong();
}

// One stored row as "addr|account|card|money|date|memo".
QString stored(qint64 id)
{
    return scalar("SELECT bankAddr||'|'||bankID||'|'||ifnull(bankCardID,'')||'|'||bankMoney||'|'||bankRegdate||'|'||"
                  "ifnull(bankMemo,'') FROM banks WHERE ID=?",
                  {id});
}

void fillRequired(QDialog *d, const QString &account)
{
    for (const auto &[name, text] : {std::pair("Text1", "上海"), {"Text2", "建行"}, {"Text4", "李四"}})
        d->findChild<QLineEdit *>(name)->setText(text);
    d->findChild<QLineEdit *>("Text3")->setText(account);
}

} // namespace

class TestBanks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = ProgramFolder::withUser("admin"); }
    void cleanup() { m_folder.reset(); }

    // Mary's account is neither shown nor reachable by a crafted ID: not loaded, saved or deleted.
    void othersAccountsStayOutOfReach()
    {
        const qint64 marys = addBank("mary", "玛丽的", 5);
        const qint64 own = addBank("admin", "北京", 1500);
        const QString before = stored(marys);
        auto &messages = m_folder->messages;
        frmBanks w;
        QCOMPARE(columnTexts(w.ListView1->model(), 0), QStringList{"北京"});

        newbankDialog crafted(&w, marys);
        QCOMPARE(messages.last().text, QStringLiteral("此银行账户已不存在"));
        fillRequired(&crafted, "888"); // OK before it closes adds no account in Mary's place
        crafted.OKButton->click();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(scalar("SELECT count(*) FROM banks"), QStringLiteral("2"));
        BankAccount overMarys;
        overMarys.id = marys;
        overMarys.account = "888";
        QVERIFY(!BankStore::update(Connection(program::db()).db(), "admin", overMarys));

        QTreeWidgetItem *row = w.ListView1->topLevelItem(0);
        row->setData(0, Qt::UserRole, "ID" + QString::number(marys));
        w.ListView1->setCurrentItem(row);
        w.delMenu->trigger();
        QCOMPARE(stored(marys), before);

        // Reloaded, the row carries its own key again: modify shows 1500 as 1500.00; an account
        // deleted meanwhile is told and the dialog closes.
        w.ListView1->setCurrentItem(w.ListView1->topLevelItem(0));
        QVERIFY(runModal([&] { w.modiMenu->trigger(); },
                         [&](QDialog *d) {
            QCOMPARE(d->windowTitle() + d->findChild<QLineEdit *>("Text6")->text(),
                     QStringLiteral("修改银行账号1500.00"));
            Connection(program::db()).db().execute("DELETE FROM banks WHERE ID=?", {own});
            d->findChild<QPushButton *>("OKButton")->click();
            QVERIFY(!d->isVisible());
        }));
        QCOMPARE(messages.last().text, QStringLiteral("此银行账户已不存在"));
        QCOMPARE(w.ListView1->topLevelItemCount(), 0);
    }

    // Tab by Tab from the first box to OK; a missing address is refused, an empty balance saved as zero.
    void addByKeyboardValidatesAndStaysOpen()
    {
        frmBanks w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto &messages = m_folder->messages;
        QVERIFY(runModal([&] { QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier); },
                         [&](QDialog *dialog) {
            auto *d = static_cast<newbankDialog *>(dialog);
            QWidget *order[] = {d->m_place,  d->m_bank,   d->m_account, d->m_balance,
                                d->m_opened, d->m_holder, d->m_card,    d->m_remark};
            const char *typed[] = {"Pudong", "ICBC", "4455", "1,000.50", nullptr, "Li", "9'9", "note"};
            for (int i = 0; i < 8; ++i) {
                QCOMPARE(QApplication::focusWidget(), order[i]);
                if (typed[i])
                    QTest::keyClicks(order[i], typed[i]);
                else
                    QTest::keyClick(order[i], Qt::Key_Up); // 2000-01-01: the year goes up
                QTest::keyClick(order[i], Qt::Key_Tab);
            }
            QCOMPARE(QApplication::focusWidget(), d->OKButton);
            QTest::keyClick(d->OKButton, Qt::Key_Return);
            // Emptied for the next account.
            QCOMPARE(d->m_balance->text() + d->m_account->text(), QStringLiteral("0.00"));
            d->OKButton->click();
            QCOMPARE(messages.last().text + messages.last().title, QStringLiteral("请输入开户地系统提示"));
            QCOMPARE(QApplication::focusWidget(), d->m_place);
            fillRequired(d, "6222");
            d->m_balance->clear();
            d->OKButton->click();
            QVERIFY(d->isVisible());
        }));
        QCOMPARE(stored(1), QStringLiteral("Pudong|4455|99|1000.5|2001-01-01 00:00:00|note"));
        QCOMPARE(stored(2), QStringLiteral("上海|6222||0.0|2000-01-01 00:00:00|"));
        QCOMPARE(w.ListView1->topLevelItemCount(), 2);
    }

    // Money sorts as an amount, not as text; a reload keeps the order.
    void sortsByValue()
    {
        addBank("admin", "B", 1000);
        addBank("admin", "A", 999);
        addBank("admin", "C", 20000.5, "not a date");
        frmBanks w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView *h = w.ListView1->header();
        const auto clickHeader = [h](int c) {
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, {h->sectionViewportPosition(c) + 5, 5});
        };
        QCOMPARE(columnTexts(w.ListView1->model(), 0), QStringList({"A", "B", "C"}));
        clickHeader(0);
        QCOMPARE(columnTexts(w.ListView1->model(), 0), QStringList({"C", "B", "A"}));
        clickHeader(6);
        QCOMPARE(columnTexts(w.ListView1->model(), 6), QStringList({"￥999.00", "￥1,000.00", "￥20,000.50"}));
        w.bankLists();
        clickHeader(6);
        QCOMPARE(columnTexts(w.ListView1->model(), 0), QStringList({"C", "B", "A"}));
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

QTEST_MAIN(TestBanks)
#include "tst_banks.moc"

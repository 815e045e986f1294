#include "tests/support/TestSupport.h"

#include "app/Subsystems.h"
#include "recycle/Recycle.h"
#include "recycle/frmRecycleBin.h"

#include "book/BankStore.h"
#include "book/Changes.h"
#include "book/MemoStore.h"
#include "book/QueryConditions.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"
#include "ledger/MainWindow.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

using namespace ht;
using namespace ht::test;

class TestRecycleBin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = ProgramFolder::withUser("admin"); }
    void cleanup() { m_folder.reset(); }

    // Each kind of delete is one row, newest first, with its texts; Enter restores (under
    // "其他开支" when the category went meanwhile), Delete and 清空回收站 erase after the
    // question; the window follows deletes made while it is open; Mary sees only her own.
    void listsRestoresAndErases()
    {
        const QDateTime today(QDate(2024, 3, 5), QTime(9, 30));
        execute("INSERT INTO types(ID,typename,class,username) VALUES(50,'书',0,'admin')");
        const qint64 novel = addRecord(0, today, 12.5, "小说\n第二册", 50);
        addRecord(0, today.addDays(-40), 0.105, {}, 99); // its category was gone before, and stays so
        addRecord(1, today, 1000, {}, 10);
        const qint64 marys = addRecord(0, today, 99, {}, 1, "mary");
        Connection c(program::db());
        std::unique_ptr<MainWindow> w(openMainWindow(subsystems()));
        const int shown = w->list(0)->model()->rowCount();
        const QString total = w->total(0).text();

        QVERIFY(RecordStore::remove(c.db(), "admin", novel));
        c.db().execute("DELETE FROM types WHERE ID=50");
        QCOMPARE(QueryConditions::deletePicked(c.db(), "admin", {" AND A.money<?", {5000}}), 2);
        BankAccount bank;
        bank.name = "工行";
        bank.account = "6222";
        QVERIFY(BankStore::remove(c.db(), "admin", BankStore::add(c.db(), "admin", bank)));
        QCOMPARE(
            MemoStore::remove(c.db(), "admin", {MemoStore::add(c.db(), "admin", {0, today, "\n 买菜 \n牛奶", {}})}), 1);
        QVERIFY(RecordStore::remove(c.db(), "mary", marys));

        auto &messages = m_folder->messages;
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(runModal([&] { QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier); },
                         [&](QDialog *d) {
            auto *bin = static_cast<frmRecycleBin *>(d);
            QTreeWidget *list = bin->entryList;
            QCOMPARE(columnTexts(list->model(), 0), QStringList({"备忘录", "银行账户", "收支记录", "支出记录"}));
            QCOMPARE(columnTexts(list->model(), 1),
                     QStringList({"买菜", "工行  账号 6222",
                                  "2 条记录，2024年01月25日至2024年03月05日，支出 ￥0.11，收入 ￥1,000.00",
                                  "2024年03月05日  （类别已删除）  ￥12.50  小说"}));
            QCOMPARE(columnTexts(list->model(), 3), QStringList({"单条删除", "删除账户", "批量删除", "单条删除"}));
            for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down})
                QTest::keyClick(list, key);
            QCOMPARE(columnTexts(bin->itemList->model(), 2), QStringList({"（类别已删除）", "工资"}));

            // A delete made meanwhile comes in on top; the selection stays on its entry.
            const qint64 late = addRecord(0, today, 1, {}, 1);
            QVERIFY(RecordStore::remove(c.db(), "admin", late));
            QCOMPARE(list->topLevelItemCount(), 5);
            QCOMPARE(list->currentItem()->text(3), QStringLiteral("批量删除"));

            QTest::keyClick(list, Qt::Key_End);
            QSignalSpy announced(&book::changes(), &book::Changes::changed);
            QTest::keyClick(list, Qt::Key_Return);
            // Only the expense list hears of it, and only of that record.
            QCOMPARE(announced.first(), (QVariantList{QVariant::fromValue(book::Change::Records), 0, novel}));
            QCOMPARE(messages.last().text,
                     QStringLiteral("已恢复 1 条收支记录。\r\n\r\n其中 1 条记录原来的类别已被删除，"
                                    "已归入“其他开支”类别。"));
            QCOMPARE(scalar("SELECT B.typename||A.money||A.memo||A.postdate FROM pursewicks A JOIN types B ON "
                            "A.typeid=B.ID WHERE A.ID=? AND A.username='admin'",
                            {novel}),
                     "其他开支12.5小说\n第二册" + today.toString("yyyy-MM-dd HH:mm:ss"));
            QCOMPARE(list->topLevelItemCount(), 4);

            for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down}) // to the bank account
                QTest::keyClick(list, key);
            messages.answerNext(MsgAnswer::Cancel);
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(messages.last().text, QStringLiteral("确定要彻底删除所选的 1 项吗？彻底删除后将不能恢复。"));
            QCOMPARE(list->topLevelItemCount(), 4);
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(columnTexts(list->model(), 0), QStringList({"支出记录", "备忘录", "收支记录"}));
            QCOMPARE(scalar("SELECT count(*) FROM banksBin"), QStringLiteral("0"));

            list->selectAll();
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(messages.last().text, QStringLiteral("已恢复 3 条收支记录、1 条备忘。"));
            QVERIFY(!bin->emptyButton->isEnabled());
            QTest::keyClick(list, Qt::Key_Escape);
            QVERIFY(!bin->isVisible());
        }));
        QCOMPARE(w->list(0)->model()->rowCount(), shown);
        QCOMPARE(w->total(0).text(), total);

        QVERIFY(RecordStore::remove(c.db(), "admin", novel));
        // Mary's large batch shows its first rows only.
        execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1001) INSERT INTO "
                "pursewicks(username,typeid,postdate,money,style) SELECT 'mary',10,'2024-03-01',1,1 FROM n");
        QCOMPARE(QueryConditions::deletePicked(c.db(), "mary", {" AND A.style=?", {1}}), 1001);
        program::session().userName = "mary";
        frmRecycleBin marysBin;
        QCOMPARE(columnTexts(marysBin.entryList->model(), 1),
                 QStringList({"1001 条记录，2024年03月01日，收入 ￥1,001.00", "2024年03月05日  日常  ￥99.00"}));
        QCOMPARE(marysBin.itemList->topLevelItemCount(), frmRecycleBin::shownItems + 1);
        QCOMPARE(marysBin.itemList->topLevelItem(frmRecycleBin::shownItems)->text(0),
                 QStringLiteral("…… 另有 1 项未列出"));
        messages.answerNext(MsgAnswer::Cancel);
        marysBin.emptyButton->click();
        QCOMPARE(marysBin.entryList->topLevelItemCount(), 2);
        marysBin.emptyButton->click();
        QCOMPARE(marysBin.entryList->topLevelItemCount(), 0);
        QCOMPARE(scalar("SELECT group_concat(username) FROM binEntries"), QStringLiteral("admin"));
    }

    // Ctrl+Z or the status bar's button brings the last delete back whole; a bin emptied
    // meanwhile leaves nothing to undo. At login, what waited longer than config.ini says goes.
    void undoesTheLastDeleteAndExpiresOldOnes()
    {
        const QDateTime now = QDateTime::currentDateTime();
        execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<5000) INSERT INTO "
                "pursewicks(username,typeid,postdate,money,style,memo) SELECT 'admin',1+9*(i%2),datetime(?,'-'||i||' "
                "minutes'),0.01*i,i%2,'批' FROM n",
                {now.toString("yyyy-MM-dd HH:mm:ss")});
        Connection c(program::db());
        for (int days : {31, 29}) {
            QVERIFY(RecordStore::remove(c.db(), "admin", addRecord(0, now, 1)));
            c.db().execute("UPDATE binEntries SET deletedAt=? WHERE ID=(SELECT MAX(ID) FROM binEntries)",
                           {now.addDays(-days)});
        }
        addRecord(0, now, 1, {}, 1, "mary");
        QVERIFY(RecordStore::remove(c.db(), "mary", scalar("SELECT MAX(ID) FROM pursewicks").toLongLong()));
        c.db().execute("UPDATE binEntries SET deletedAt=? WHERE username='mary'", {now.addDays(-90)});
        std::unique_ptr<MainWindow> w(openMainWindow(subsystems()));
        QCOMPARE(scalar("SELECT group_concat(username) FROM binEntries"), QStringLiteral("admin,mary"));
        QCOMPARE(scalar("SELECT deletedAt>? FROM binEntries WHERE username='admin'", {now.addDays(-30)}), "1");
        QFile config(program::pathIn("config.ini"));
        QVERIFY(config.open(QIODevice::ReadOnly) && config.readAll().contains("keepdays=30"));
        QVERIFY(recycle::keepDays("0") == 0 && recycle::keepDays(" 7 ") == 7);
        QVERIFY(recycle::keepDays("-3") == 30 && recycle::keepDays("abc") == 30);

        QAction *undo = w->command("mm_undo");
        auto *offer = w->findChild<QWidget *>("statusOffer");
        auto *offerText = w->findChild<QLabel *>("statusOfferText");
        QVERIFY(!undo->isEnabled() && !offer->isVisible());
        const QString total[] = {w->total(0).text(), w->total(1).text()};
        QCOMPARE(QueryConditions::deletePicked(c.db(), "admin", {" AND A.memo=?", {"批"}}), 5000);
        QCOMPARE(offerText->text(), QStringLiteral("已删除 5000 条收支记录，已移到回收站。"));
        QVERIFY(undo->isEnabled() && offer->isVisible());
        QCOMPARE(w->list(0)->model()->rowCount() + w->list(1)->model()->rowCount(), 0);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(offerText->text(), QStringLiteral("已恢复 5000 条收支记录。"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(w->list(0)->model()->rowCount() + w->list(1)->model()->rowCount(), 5000);
        QCOMPARE(w->total(0).text() + w->total(1).text(), total[0] + total[1]);

        // The button does the same; another user's undo finds nothing of admin's.
        const qint64 one = scalar("SELECT MAX(ID) FROM pursewicks WHERE username='admin'").toLongLong();
        QVERIFY(RecordStore::remove(c.db(), "admin", one));
        w->findChild<QToolButton *>("statusOfferButton")->click();
        QVERIFY(RecordStore::record(c.db(), "admin", one) && !offer->findChild<QToolButton *>()->isVisible());
        QVERIFY(RecordStore::remove(c.db(), "admin", one));
        program::session().userName = "mary";
        undo->trigger();
        QVERIFY(!RecordStore::record(c.db(), "admin", one));
        program::session().userName = "admin";
        QVERIFY(RecordStore::remove(c.db(), "admin", one - 1));
        QVERIFY(offer->isVisible());
        RecycleBin::eraseAll(c.db(), "admin");
        QVERIFY(!undo->isEnabled() && !offer->isVisible());
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

QTEST_MAIN(TestRecycleBin)
#include "tst_recyclebin.moc"

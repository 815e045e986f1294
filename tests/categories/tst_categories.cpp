#include "tests/support/TestSupport.h"

#include "categories/Categories.h"
#include "categories/frmTypes.h"
#include "ledger/MainWindow.h"

#include "book/BuiltIn.h"
#include "book/LedgerStore.h"
#include "book/QueryConditions.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace ht;
using namespace ht::test;

namespace {

// Admin's own income category "兼职", beside two of mary's that admin must never see.
qint64 ownCategory()
{
    Connection c(program::db());
    c.db().execute("INSERT INTO types(typename,class,username) VALUES('兼职',1,'mary'),('玛丽的',1,'mary')");
    return c.db().insert("types", {{"typename", "兼职"}, {"class", 1}, {"username", "admin"}});
}

void click(QDialog *d, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        d->findChild<QAbstractButton *>(name)->click();
}

void select(QListWidget *list, const QString &text)
{
    list->setCurrentItem(list->findItems(text, Qt::MatchEndsWith).value(0));
}

// Types a name into the category dialog that the trigger opens, over the name it showed
// selected, and confirms it.
bool enterName(const std::function<void()> &trigger, const QString &name, const QString &shown = {})
{
    return runModal(trigger, [&](QDialog *d) {
        auto *box = d->findChild<QLineEdit *>("Text1");
        QCOMPARE(box->selectedText(), shown);
        box->setText(name);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

} // namespace

class TestCategories : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        program::session().userName = QStringLiteral("admin");
    }
    void cleanup()
    {
        delete MainWindow::instance();
        m_folder.reset();
    }
    // An older database: categories had no owners. The first opening, from the main window's
    // command, gives them owners, once.
    void olderTableGetsOwnersOnceAndOthersStayHidden()
    {
        execute("DROP TABLE types");
        execute(
            "CREATE TABLE types(ID INTEGER PRIMARY KEY AUTOINCREMENT, typename TEXT NOT NULL, class INTEGER NOT NULL)");
        execute("INSERT INTO types(typename,class) VALUES('工资',1),('吃',0),('宠物',0)");
        std::unique_ptr<MainWindow> w(openMainWindow({categories::attach}));
        QVERIFY(runModal([&] { test::triggerAction(w.get(), "mm_types"); },
                         [](QDialog *d) {
            QCOMPARE(columnTexts(static_cast<frmTypes *>(d)->List2->model(), 0), QStringList({"1.吃", "2.宠物"}));
        }));
        execute("INSERT INTO types(typename,class,username) VALUES('宠物',0,'mary'),('猫粮',0,'mary')");
        frmTypes again;
        QCOMPARE(columnTexts(again.List1->model(), 0), QStringList({"1.工资"}));
        QCOMPARE(columnTexts(again.List2->model(), 0), QStringList({"1.吃", "2.宠物"}));
        QCOMPARE(scalar("SELECT COUNT(*) FROM types WHERE username='{system}'"), QStringLiteral("2"));
    }

    void addRenameDeleteAndBuiltIns()
    {
        QStringList builtIns; // the shipped database holds the built-in categories in their order
        for (const BuiltInCategory &c : builtInCategories)
            builtIns << QString::fromUtf8(c.name) + QString::number(c.cls);
        QCOMPARE(scalar("SELECT group_concat(t, ',') FROM (SELECT typename||class AS t FROM types "
                        "WHERE username='{system}' ORDER BY ID)"),
                 builtIns.join(','));
        frmTypes w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto &messages = m_folder->messages;
        w.findChild<QAction *>("Toolbar2_3")->trigger();
        QCOMPARE(messages.last().text, QStringLiteral("请选择要删除的支出类别项"));
        w.List2->setFocus();
        // Insert in the list opens the dialog too.
        QVERIFY(enterName([&] { QTest::keyClick(w.List2, Qt::Key_Insert); }, "零食"));
        QCOMPARE(columnTexts(w.List2->model(), 0).last(), QStringLiteral("10.零食"));
        QVERIFY(enterName([&] { w.findChild<QAction *>("Toolbar1_1")->trigger(); }, "吃"));
        QCOMPARE(columnTexts(w.List1->model(), 0).last(), QStringLiteral("7.吃")); // the other class has it: no clash
        const std::pair<const char *, const char *> refused[] = {
            {"   ", "请输入类别名称"}, {"'%", "请输入类别名称"}, {"日常", "您输入的类别名称【日常】已经存在"}};
        for (const auto &[name, message] : refused) {
            QVERIFY(runModal([&] { w.findChild<QAction *>("Toolbar2_1")->trigger(); },
                             [&](QDialog *d) {
                d->findChild<QLineEdit *>("Text1")->setText(QString::fromUtf8(name));
                d->findChild<QPushButton *>("OKButton")->click();
                QCOMPARE(messages.last().text, QString::fromUtf8(message));
                QVERIFY(d->isVisible());
            }));
        }
        QCOMPARE(w.List2->count(), 10);

        // Renaming one's own: letter case alone, and unchanged, both simply save.
        execute("INSERT INTO types(typename,class,username) VALUES('Pet',0,'admin')");
        w.typeList(0);
        for (int i = 0; i < 2; ++i) {
            select(w.List2, "Pet");
            select(w.List2, "PET");
            QVERIFY(enterName([&] { QTest::keyClick(w.List2, Qt::Key_Return); }, "PET", i ? "PET" : "Pet"));
            QCOMPARE(columnTexts(w.List2->model(), 0).last(), QStringLiteral("11.PET")); // renamed, not added
        }
        QCOMPARE(messages.last().text, QStringLiteral("您输入的类别名称【日常】已经存在"));

        // Built-in categories stay; deleting one's own asks first.
        select(w.List2, "吃");
        w.findChild<QAction *>("Toolbar2_2")->trigger(); // no dialog opens: no runModal needed
        QCOMPARE(messages.last().text, QStringLiteral("系统内置类别不能修改"));
        w.findChild<QAction *>("Toolbar2_3")->trigger();
        QCOMPARE(messages.last().text, QStringLiteral("系统内置类别不能删除"));
        select(w.List2, "PET");
        messages.answerNext(MsgAnswer::Cancel);
        w.findChild<QAction *>("Toolbar2_3")->trigger();
        QCOMPARE(w.List2->count(), 11);
        w.findChild<QAction *>("Toolbar2_3")->trigger();
        QCOMPARE(w.List2->count(), 10);
        QCOMPARE(test::scalar("SELECT COUNT(*) FROM types"), QStringLiteral("17"));
    }

    void conditionsMatchWholeDaysAndExactCents()
    {
        // What the query picks of admin's records of a class, as the list would show them.
        const auto picked = [](int cls, const SearchConditions &c) {
            Connection db(program::db());
            QList<qint64> ids;
            for (const LedgerRow &r : LedgerStore::load(db.db(), "admin", cls, QueryConditions::forQuery(c).filter))
                ids << r.id;
            return ids;
        };
        const auto may = [](int day, int h = 12, int m = 0) { return QDateTime(QDate(2024, 5, day), QTime(h, m)); };
        const qint64 first = addRecord(1, may(5, 0, 0), 1);
        const qint64 lastMinute = addRecord(1, may(7, 23, 59), 1);
        addRecord(1, may(4, 23, 59), 1);
        addRecord(1, may(8, 0, 0), 1);
        QCOMPARE(picked(1, {.byDate = true, .from = QDate(2024, 5, 5), .to = QDate(2024, 5, 7)}),
                 (QList<qint64>{first, lastMinute}));

        const qint64 half = addRecord(0, may(1), 12.5);
        const qint64 small = addRecord(0, may(1), 0.29); // not exact in binary
        addRecord(0, may(1), 12);
        addRecord(0, may(1), 13);
        QCOMPARE(picked(0, {.byAmount = true, .amount = "12.5"}), QList{half});
        QCOMPARE(picked(0, {.byAmount = true, .amount = " 0.29"}), QList{small});
    }
    void queryNarrowsTheListsAndTellsWhatIsWrong()
    {
        const qint64 own = ownCategory();
        const QDateTime now(program::today(), QTime(9, 0));
        addRecord(1, now, 300, "兼职收入", own);
        addRecord(1, now, 5000, "工资", 10);
        addRecord(0, now, 12.5, "午饭");
        addRecord(0, now, 20, "晚饭");
        auto &messages = m_folder->messages;
        MainWindow *w = openMainWindow({categories::attach});
        QVERIFY(runModal([&] { triggerAction(w, "mm_search"); },
                         [&](QDialog *d) {
            auto *income = d->findChild<QComboBox *>("Combo1");
            const QStringList items = columnTexts(income->model(), 0);
            QVERIFY(!items.contains("玛丽的") && items.count("兼职") == 1);
            click(d, {"Check2"});
            income->setCurrentIndex(income->findData(own));
            d->findChild<QComboBox *>("Combo2")->setCurrentIndex(1); // the income box wins
            click(d, {"OKButton"});
            QCOMPARE(columnTexts(w->list(1)->model(), 3), QStringList{"兼职收入"});
            QCOMPARE(w->list(0)->model()->rowCount(), 2); // not reloaded

            click(d, {"Check2", "OKButton"});
            QCOMPARE(said(), QStringLiteral("提示：请选择要查询的条件项/查询条件错误"));
            click(d, {"Check1"});
            auto *second = d->findChild<QDateTimeEdit *>("DTPicker2");
            d->findChild<QDateTimeEdit *>("DTPicker1")->setDate(second->date().addDays(1));
            click(d, {"OKButton"});
            QCOMPARE(said(), QStringLiteral("两个日期间隔不正确，请确定第二个日期要在第一个日期之后/日期选择错误"));
            QCOMPARE(QApplication::focusWidget(), second);
        }));
        QCOMPARE(messages.shown.size(), 2);
        w->reload(1); // the filter outlasts the dialog and the refused queries
        QCOMPARE(w->list(1)->model()->rowCount(), 1);
    }
    void batchDeleteAsksWithTheCountAndKeepsAllOnFailure()
    {
        const qint64 own = ownCategory();
        const QDateTime now(program::today(), QTime(9, 0));
        for (const auto &[style, type] : {std::pair(0, 1), std::pair(0, 1), std::pair(1, 10)})
            addRecord(style, now, 1, "旧账", type);
        addRecord(1, now, 1, "新", own);
        addRecord(0, now, 1, "新", 2);
        addRecord(0, now, 1, "留", 3);
        auto &messages = m_folder->messages;
        const auto count = [](const char *where = "1") {
            return scalar(QStringLiteral("SELECT COUNT(*) FROM pursewicks WHERE ") + where).toInt();
        };
        MainWindow *w = openMainWindow({categories::attach});
        QVERIFY(runModal([&] { triggerAction(w, "mm_Del"); },
                         [&](QDialog *d) {
            click(d, {"Check3", "OKButton"}); // "0.00" says nothing
            QCOMPARE(said(), QStringLiteral("提示：所选条件不能确定要删除的记录/查询条件错误"));
            QCOMPARE(count(), 6);

            click(d, {"Check4"});
            d->findChild<QLineEdit *>("Text1")->setText("旧账");
            messages.answerNext(MsgAnswer::Cancel);
            click(d, {"OKButton"});
            QCOMPARE(said(), QStringLiteral("确定要删除此条件的所有记录吗？\r\n共 3 条记录将被删除（移到回收站，可以恢复）/系统提示"));
            QCOMPARE(count(), 6);
            click(d, {"OKButton"});
            QCOMPARE(messages.shown.size(), 3); // nothing after the question
            QCOMPARE(count("memo='旧账'"), 0);

            // Both boxes: the records of either category; a statement that fails last keeps them all.
            click(d, {"Check4", "Check2"});
            d->findChild<QComboBox *>("Combo1")->setCurrentIndex(d->findChild<QComboBox *>("Combo1")->findData(own));
            d->findChild<QComboBox *>("Combo2")->setCurrentIndex(2);
            Connection(program::db())
                .db()
                .execute("CREATE TRIGGER no BEFORE UPDATE ON binEntries BEGIN SELECT RAISE(ABORT, 'no'); END");
            click(d, {"OKButton"});
            QCOMPARE(messages.last().title, QStringLiteral("系统错误"));
            QCOMPARE(count(), 3);
            QCOMPARE(w->list(1)->model()->rowCount(), 1);
            test::execute("DROP TRIGGER no");
            click(d, {"OKButton"});
            QCOMPARE(columnTexts(w->list(0)->model(), 3), QStringList{"留"});
            QCOMPARE(w->list(1)->model()->rowCount(), 0);
            click(d, {"OKButton"}); // none left: nothing to ask
            QCOMPARE(said(), QStringLiteral("提示：没有符合条件的记录，无需删除/系统提示"));
        }));
    }

private:
    // The last message, as "text/title".
    QString said() const { return m_folder->messages.last().text + "/" + m_folder->messages.last().title; }
    std::unique_ptr<test::ProgramFolder> m_folder;
};

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"

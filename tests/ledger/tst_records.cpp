#include "LedgerModel.h"
#include "MainWindow.h"
#include "Program.h"
#include "RecordStore.h"
#include "TestSupport.h"
#include "clsADO.h"
#include "newInDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace ht;
using ht::test::ProgramFolder;
using ht::test::runModal;
using ht::test::triggerAction;

namespace {

qint64 addRecord(int style, const QDate &date, double money, const QString &user = QStringLiteral("admin"),
                 qint64 typeId = 1)
{
    clsADO &db = program::db();
    db.OpenDB();
    const qint64 id = db.insert("pursewicks", {{"username", user}, {"typeid", typeId},
                                               {"postdate", QDateTime(date, QTime(10, 0))}, {"money", money},
                                               {"style", style}, {"memo", "原来的"}});
    db.CloseDB();
    return id;
}

// The main window for admin, as after a login.
main *openForAdmin()
{
    program::session().userName = QStringLiteral("admin");
    return openMainWindow();
}

QStringList comboItems(QComboBox *c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i)
        items << c->itemText(i);
    return items;
}

QString cell(QTreeView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

void selectRow(QTreeView *view, int row)
{
    view->setCurrentIndex(view->model()->index(row, 0));
}

void clickOk(QDialog *d)
{
    QTest::mouseClick(d->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = std::make_unique<ProgramFolder>(); }
    void cleanup()
    {
        delete main::instance();
        m_folder.reset();
    }
    void addModeEntersSeveralRecordsInARow();
    void changeModeShowsTheRecordAndCloses();
    void validationMessages();
    void categoriesAreTheUsersOwnAndBuiltIn();
    void deleteAsksAndMatchesTheOwner();
    void sortingTogglesWithHeaderPictures();
    void shortcutsAndDoubleClickOpenTheRightDialog();

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

void TestRecords::addModeEntersSeveralRecordsInARow()
{
    main *w = openForAdmin();
    const QDate day = QDate::currentDate();
    QVERIFY(runModal([&] { QVERIFY(triggerAction(w, "mm_add")); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("增加收入"));
        auto *combo = d->findChild<QComboBox *>("Combo1");
        auto *amount = d->findChild<QLineEdit *>("Text1");
        auto *memo = d->findChild<QPlainTextEdit *>("Text2");
        auto *date = d->findChild<QDateTimeEdit *>("DTPicker1");
        QCOMPARE(amount->text(), QStringLiteral("0.00"));
        QVERIFY(qAbs(date->dateTime().secsTo(QDateTime::currentDateTime())) < 60);
        combo->setCurrentIndex(combo->findText("奖金"));
        date->setDateTime(QDateTime(day, QTime(7, 15)));
        const char *amounts[] = {" 12.5 ", "1,234.5", "-3"};
        const char *memos[] = {"50% 的 'bonus'", "", "退款"};
        for (int i = 0; i < 3; ++i) {
            amount->setText(QString::fromUtf8(amounts[i]));
            memo->setPlainText(QString::fromUtf8(memos[i]));
            clickOk(d);
            QVERIFY(d->isVisible());
            QCOMPARE(amount->text(), QStringLiteral("0.00"));
            QVERIFY(memo->toPlainText().isEmpty());
            QCOMPARE(combo->currentText(), QStringLiteral("奖金"));
            QCOMPARE(date->dateTime(), QDateTime(day, QTime(7, 15)));
            QCOMPARE(w->ListView1->model()->rowCount(), i + 1);
        }
    }));
    QVERIFY(m_folder->messages.shown.isEmpty());
    QCOMPARE(cell(w->ListView1, 0, 2), QStringLiteral("￥12.50"));
    QCOMPARE(cell(w->ListView1, 0, 3), QStringLiteral("50% 的 'bonus'")); // remarks stay as typed
    QCOMPARE(cell(w->ListView1, 1, 2), QStringLiteral("￥1,234.50"));
    QCOMPARE(cell(w->ListView1, 2, 2), QStringLiteral("￥-3.00"));
    QCOMPARE(w->Label2->text(), QStringLiteral("￥1,244.00"));
    QCOMPARE(w->ListView2->model()->rowCount(), 0);
    clsADO &db = m_folder->openDb();
    Query q = db.query("SELECT postdate, style, username FROM pursewicks ORDER BY ID");
    QVERIFY(q.next());
    QCOMPARE(q.text(0), day.toString("yyyy-MM-dd") + " 07:15:00");
    QCOMPARE(q.int64(1), 1);
    QCOMPARE(q.text(2), QStringLiteral("admin"));
}

void TestRecords::changeModeShowsTheRecordAndCloses()
{
    const qint64 id = addRecord(1, QDate::currentDate(), 1234.5, "admin", 10);
    main *w = openForAdmin();
    selectRow(w->ListView1, 0);
    QVERIFY(runModal([&] { QVERIFY(triggerAction(w, "popModi")); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("修改收入记录"));
        QCOMPARE(d->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("1,234.50"));
        QCOMPARE(d->findChild<QComboBox *>("Combo1")->currentText(), QStringLiteral("工资"));
        QCOMPARE(d->findChild<QPlainTextEdit *>("Text2")->toPlainText(), QStringLiteral("原来的"));
        QCOMPARE(d->findChild<QLineEdit *>("modifyId")->text(), QString::number(id));
        d->findChild<QLineEdit *>("Text1")->setText("99");
        clickOk(d);
        QVERIFY(!d->isVisible());
    }));
    QCOMPARE(w->ListView1->model()->rowCount(), 1);
    QCOMPARE(cell(w->ListView1, 0, 2), QStringLiteral("￥99.00"));
    QCOMPARE(w->Label4->text(), QStringLiteral("￥99"));
}

void TestRecords::validationMessages()
{
    main *w = openForAdmin();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto &shown = m_folder->messages.shown;
    QVERIFY(runModal([&] { QVERIFY(triggerAction(w, "mm_out")); }, [&](QDialog *d) {
        auto *combo = d->findChild<QComboBox *>("Combo1");
        auto *amount = d->findChild<QLineEdit *>("Text1");
        combo->setCurrentIndex(-1);
        clickOk(d);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.last().text, QStringLiteral("提示：请选择类别"));
        QCOMPARE(shown.last().title, QStringLiteral("出错了"));
        QCOMPARE(shown.last().icon, MsgIcon::None);
        QCOMPARE(shown.last().buttons, MsgButtons::Ok);
        QCOMPARE(QApplication::focusWidget(), combo);

        combo->setCurrentIndex(0);
        for (const char *bad : {"abc", "", "1.2.3", "12元"}) {
            amount->setText(QString::fromUtf8(bad));
            clickOk(d);
            QCOMPARE(shown.last().text, QStringLiteral("提示：请正确输入金额"));
            QCOMPARE(QApplication::focusWidget(), amount);
            QCOMPARE(amount->selectedText(), QString::fromUtf8(bad));
        }
        QVERIFY(d->isVisible());
    }));
    QCOMPARE(w->ListView2->model()->rowCount(), 0);
    clsADO &db = m_folder->openDb();
    QCOMPARE(db.count("SELECT COUNT(*) FROM pursewicks"), 0);
}

void TestRecords::categoriesAreTheUsersOwnAndBuiltIn()
{
    clsADO &db = m_folder->openDb();
    db.insert("types", {{"typename", "玛丽的宠物"}, {"class", 0}, {"username", "mary"}});
    db.insert("types", {{"typename", "我的爱好"}, {"class", 0}, {"username", "admin"}});
    db.insert("types", {{"typename", "我的副业"}, {"class", 1}, {"username", "admin"}});
    db.CloseDB();
    main *w = openForAdmin();
    QVERIFY(runModal([&] { QVERIFY(triggerAction(w, "mm_out")); }, [&](QDialog *d) {
        const QStringList items = comboItems(d->findChild<QComboBox *>("Combo1"));
        QCOMPARE(items, QStringList({"日常", "手机/上网", "房租", "房贷", "交通/旅游", "礼物", "休闲/娱乐", "吃", "其他开支",
                                     "我的爱好"}));
    }));
    // The lookup at saving is held to the same categories.
    db.OpenDB();
    QVERIFY(!RecordStore::categoryId(db, "admin", 0, "玛丽的宠物"));
    QVERIFY(!RecordStore::categoryId(db, "admin", 0, "工资"));
    QVERIFY(RecordStore::categoryId(db, "admin", 1, "工资"));
    QVERIFY(RecordStore::categoryId(db, "MARY", 0, "玛丽的宠物"));
    db.CloseDB();
}

void TestRecords::deleteAsksAndMatchesTheOwner()
{
    const qint64 first = addRecord(0, QDate::currentDate(), 10);
    addRecord(0, QDate::currentDate(), 20);
    const qint64 marys = addRecord(0, QDate::currentDate(), 30, "mary");
    main *w = openForAdmin();
    auto &messages = m_folder->messages;

    QVERIFY(triggerAction(w, "popDel2"));
    QCOMPARE(messages.last().text, QStringLiteral("提示：未选择要删除的记录"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QVERIFY(triggerAction(w, "popModi2"));
    QCOMPARE(messages.last().text, QStringLiteral("提示：未选择要修改的记录"));
    QCOMPARE(messages.last().title, QStringLiteral("出错了"));

    selectRow(w->ListView2, 0);
    messages.answerNext(MsgAnswer::Cancel);
    QVERIFY(triggerAction(w, "popDel2"));
    QCOMPARE(messages.last().text, QStringLiteral("提示：确定要删除这条记录吗？"));
    QCOMPARE(messages.last().title, QStringLiteral("系统提示"));
    QCOMPARE(messages.last().buttons, MsgButtons::OkCancel);
    QCOMPARE(messages.last().icon, MsgIcon::None);
    QCOMPARE(w->ListView2->model()->rowCount(), 2);

    selectRow(w->ListView2, 0);
    QVERIFY(triggerAction(w, "popDel2"));
    QCOMPARE(w->ListView2->model()->rowCount(), 1);
    QCOMPARE(w->Label6->text(), QStringLiteral("￥20.00"));
    QCOMPARE(w->Label4->text(), QStringLiteral("￥-20.00"));

    clsADO &db = m_folder->openDb();
    QCOMPARE(db.count("SELECT COUNT(*) FROM pursewicks WHERE ID=?", {first}), 0);
    QVERIFY(!RecordStore::remove(db, "admin", marys)); // another user's record stays
    QCOMPARE(db.count("SELECT COUNT(*) FROM pursewicks WHERE ID=?", {marys}), 1);
    db.CloseDB();

    // On an empty list the commands do nothing at all.
    const int before = int(messages.shown.size());
    QVERIFY(triggerAction(w, "popDel"));
    QVERIFY(triggerAction(w, "popModi"));
    QCOMPARE(messages.shown.size(), before);
}

void TestRecords::sortingTogglesWithHeaderPictures()
{
    const QDate d = QDate::currentDate();
    addRecord(0, d.addDays(-1 * (d.day() > 2)), 999);
    addRecord(0, d, 1000);
    addRecord(0, d.addDays(-2 * (d.day() > 2)), 5);
    main *w = openForAdmin();
    QTreeView *view = w->ListView2;
    auto *model = qobject_cast<LedgerModel *>(view->model());
    QCOMPARE(model->headerPicture(0), 2);
    auto clickHeader = [&](int column) {
        QHeaderView *h = view->header();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(column) + 5, h->height() / 2));
    };
    auto amounts = [&] {
        QStringList texts;
        for (int r = 0; r < model->rowCount(); ++r)
            texts << cell(view, r, 2);
        return texts;
    };

    clickHeader(0);
    QCOMPARE(model->headerPicture(0), 1);
    QCOMPARE(model->sortOrder(), Qt::DescendingOrder);
    if (d.day() > 2)
        QCOMPARE(amounts(), QStringList({"￥1,000.00", "￥999.00", "￥5.00"}));
    clickHeader(0);
    QCOMPARE(model->headerPicture(0), 2);
    QCOMPARE(model->sortOrder(), Qt::AscendingOrder);

    clickHeader(2);
    QCOMPARE(model->headerPicture(0), 0);
    QCOMPARE(model->headerPicture(2), 2);
    QCOMPARE(amounts(), QStringList({"￥5.00", "￥999.00", "￥1,000.00"}));
    clickHeader(2);
    QCOMPARE(model->headerPicture(2), 1);
    QCOMPARE(amounts(), QStringList({"￥1,000.00", "￥999.00", "￥5.00"}));
    QVERIFY(!view->header()->model()->headerData(2, Qt::Horizontal, Qt::DecorationRole).value<QIcon>().isNull());

    // The order survives a reload of the list.
    QVERIFY(triggerAction(w, "Toolbar2_1"));
    QCOMPARE(amounts(), QStringList({"￥1,000.00", "￥999.00", "￥5.00"}));
    QCOMPARE(model->headerPicture(2), 1);
}

void TestRecords::shortcutsAndDoubleClickOpenTheRightDialog()
{
    addRecord(0, QDate::currentDate(), 66.6, "admin", 8);
    main *w = openForAdmin();
    QVERIFY(QTest::qWaitForWindowActive(w));
    for (auto [name, key, caption] : {std::tuple{"mm_add", Qt::Key_F4, "增加收入"}, std::tuple{"mm_out", Qt::Key_F5, "增加支出"}}) {
        QCOMPARE(w->findChild<QAction *>(name)->shortcut(), QKeySequence(key));
        QVERIFY(runModal([&] { QVERIFY(triggerAction(w, name)); },
                         [&](QDialog *d) { QCOMPARE(d->windowTitle(), QString::fromUtf8(caption)); }));
    }
    QTreeView *view = w->ListView2;
    const QRect row = view->visualRect(view->model()->index(0, 1));
    QVERIFY(runModal(
        [&] {
            // A double click is a press and release followed by the double-click event.
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row.center());
        },
                     [&](QDialog *d) {
                         QCOMPARE(d->windowTitle(), QStringLiteral("修改支出记录"));
                         QCOMPARE(d->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("66.60"));
                         QCOMPARE(d->findChild<QComboBox *>("Combo1")->currentText(), QStringLiteral("吃"));
                     }));
    QVERIFY(runModal([&] { QTest::mouseClick(w->findChild<QToolButton *>("Toolbar1_8"), Qt::LeftButton); },
                     [&](QDialog *d) { QCOMPARE(d->windowTitle(), QStringLiteral("关于 Hearthtally")); }));
    QCOMPARE(w->mm_print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(w->mm_calc->shortcut(), QKeySequence(Qt::Key_F7));
    QCOMPARE(w->mm_memoNote->shortcut(), QKeySequence(Qt::Key_F8));
    QCOMPARE(w->mm_resume->shortcut(), QKeySequence(Qt::Key_F12));
    QCOMPARE(w->mm_search->shortcut(), QKeySequence(Qt::Key_F6));
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"

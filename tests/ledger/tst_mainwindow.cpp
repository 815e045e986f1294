#include "tests/support/TestSupport.h"

#include "ledger/LedgerModel.h"
#include "ledger/MainWindow.h"
#include "app/Startup.h"
#include "login/frmLogin.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace ht;
using namespace ht::test;

namespace {

// Logs in through the real login window; the main window opens as in the program.
MainWindow *logIn(const QString &user = QStringLiteral("admin"))
{
    frmLogin login;
    if (!login.load())
        return nullptr;
    QObject::connect(&login, &frmLogin::loggedIn, [] { openMainWindow(); });
    login.txtUserName->setEditText(user);
    login.txtPassword->setText(QStringLiteral("admin"));
    login.cmdOK->click();
    return MainWindow::instance();
}

QDateTime today(int hour = 9)
{
    return QDateTime(program::today(), QTime(hour, 30));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = std::make_unique<test::ProgramFolder>(); }
    void cleanup()
    {
        delete MainWindow::instance();
        program::useDataPlace({});
        m_folder.reset();
    }
    void opensWithThisMonthAndKeepsItsSettings()
    {
        addRecord(1, today(), 100);
        addRecord(0, today(), 40.25);
        addRecord(0, today().addYears(-1), 999);
        addRecord(1, today(), 5000, "别人的", 1, "mary");
        test::execute("UPDATE users SET logintime=41");
        // Installed: the settings files go to the user's data folder, and the package manager updates.
        program::useDataPlace({true, m_folder->dir(), {}});
        MainWindow *w = logIn("ADMIN");
        QVERIFY(triggerAction(w, "mm_update"));
        QCOMPARE(m_folder->messages.last().text, QStringLiteral("本程序由系统的软件包管理器安装，请用它来升级。"));
        QCOMPARE(w->list(1)->model()->rowCount(), 1);
        QCOMPARE(labelText(w, "Label2"), QStringLiteral("￥100.00"));
        QCOMPARE(labelText(w, "Label6"), QStringLiteral("￥40.25"));
        QCOMPARE(labelText(w, "Label4"), QStringLiteral("￥59.75"));
        QCOMPARE(labelText(w, "statusPanel2"), QStringLiteral("当前用户：admin  第41次使用"));
        QCOMPARE(test::fileContents(m_folder->path("update.ini")), QByteArray("[config]\r\nVersion=1.2.8\r\n"));
        QCOMPARE(program::readStoreValue("pursewickHwnd"), QString::number(quint64(w->winId())));
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        QTest::mouseClick(w->findChild<QToolButton *>("Toolbar1_12"), Qt::LeftButton); // "退出"
        QTRY_VERIFY(!MainWindow::instance());
        test::resumeAfterQuit();
        QCOMPARE(test::fileContents(m_folder->path("config.ini")), QByteArray("[client]\r\nwindowstate=2\r\n"));
        w = logIn();
        QVERIFY(w->isMaximized());
        // The updater's close request closes it as the user would, saving its state.
        w->showNormal();
        QTRY_VERIFY(!w->isMaximized());
        closeProgramWindows();
        test::resumeAfterQuit();
        QVERIFY(!MainWindow::instance());
        QCOMPARE(test::fileContents(m_folder->path("config.ini")), QByteArray("[client]\r\nwindowstate=0\r\n"));
    }
    void periodsFollowTheCalendarAndQueriesLast()
    {
        program::setToday(QDate(2024, 3, 31));
        addRecord(1, QDateTime(QDate(2024, 3, 31), QTime(23, 0)), 10);
        addRecord(1, QDateTime(QDate(2024, 4, 1), QTime(8, 0)), 20);
        addRecord(1, QDateTime(QDate(2023, 7, 1), QTime(8, 0)), 30);
        MainWindow *w = logIn();
        QCOMPARE(columnTexts(w->list(1)->model(), 2), QStringList({"￥10.00"}));
        triggerAction(w, "Toolbar2_4"); // 今日
        QCOMPARE(w->list(1)->model()->rowCount(), 1);
        program::setToday(QDate(2024, 4, 1)); // past midnight, the window still open
        w->reload(1);
        QCOMPARE(columnTexts(w->list(1)->model(), 2), QStringList({"￥20.00"}));
        SqlFilter amountsOver;
        w->applyQuery(amountsOver.add(QStringLiteral(" AND A.money>?"), {15}));
        w->reload(1);
        QCOMPARE(columnTexts(w->list(1)->model(), 2), QStringList({"￥30.00", "￥20.00"}));
        triggerAction(w, "Toolbar2_1"); // 全部 replaces the query
        QCOMPARE(w->list(1)->model()->rowCount(), 3);
        QCOMPARE(labelText(w, "Label4"), QStringLiteral("￥60"));
    }
    void everythingShowsAtTheSmallestSize()
    {
        addRecord(1, today(), 1, QString(200, QChar(u'长')));
        MainWindow *w = logIn();
        w->showNormal();
        w->resize(1500, 800);
        QHeaderView *h = w->list(1)->header();
        QTRY_VERIFY(w->list(1)->width() > 600);
        const int fixed[3] = {h->sectionSize(0), h->sectionSize(1), h->sectionSize(2)};
        w->resize(10, 10);
        QTRY_COMPARE(w->size(), w->minimumSize().expandedTo(w->minimumSizeHint()));
        for (QToolBar *bar : {w->findChild<QToolBar *>("Toolbar1"), w->findChild<QToolBar *>("Toolbar2")}) {
            for (QAction *a : bar->actions()) {
                QWidget *b = bar->widgetForAction(a);
                QVERIFY2(b->isVisible() && bar->rect().contains(b->geometry()), qPrintable(a->objectName()));
            }
        }
        QApplication::processEvents();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(h->sectionSize(i), fixed[i]);
        QVERIFY(h->sectionViewportPosition(2) + fixed[2] <= w->list(1)->viewport()->width());
    }
    // An expense entered by keyboard alone; an income refused until its amount is a number,
    // offered only this user's categories, then changed.
    void recordsAreEnteredAndChanged()
    {
        Connection(program::db()).db().insert("types", {{"typename", "玛丽的"}, {"class", 1}, {"username", "mary"}});
        MainWindow *w = logIn();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
        QVERIFY(runModal([&] { triggerAction(w, "mm_out"); },
                         [&](QDialog *d) {
            auto *combo = d->findChild<QComboBox *>("Combo1");
            QCOMPARE(QApplication::focusWidget(), combo);
            for (int i = 0; i < 4; ++i) // to OK, nothing chosen
                key(Qt::Key_Tab);
            key(Qt::Key_Return);
            QCOMPARE(m_folder->messages.last().text, QStringLiteral("提示：请选择类别"));
            QCOMPARE(QApplication::focusWidget(), combo);
            key(Qt::Key_Down);
            key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), d->findChild<QDateTimeEdit *>("DTPicker1"));
            key(Qt::Key_Tab);
            auto *amount = d->findChild<QLineEdit *>("Text1");
            QCOMPARE(QApplication::focusWidget(), amount);
            QTRY_COMPARE(amount->selectedText(), QStringLiteral("0.00"));
            QTest::keyClicks(amount, "12.5");
            key(Qt::Key_Tab);
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, "午饭 含\u00a0汤", {});
            key(Qt::Key_Tab);
            key(Qt::Key_Return);
            QCOMPARE(w->list(0)->model()->rowCount(), 1);
        }));
        QCOMPARE(m_folder->messages.shown.size(), 1);
        QCOMPARE(columnTexts(w->list(0)->model(), 1), QStringList({"日常"}));
        QCOMPARE(labelText(w, "Label6"), QStringLiteral("￥12.50"));

        QVERIFY(runModal([&] { triggerAction(w, "mm_add"); },
                         [&](QDialog *d) {
            auto *combo = d->findChild<QComboBox *>("Combo1");
            auto *amount = d->findChild<QLineEdit *>("Text1");
            QCOMPARE(columnTexts(combo->model(), 0),
                     QStringList({"工资", "股市/证券", "外汇", "奖金", "补助/福利", "其他收入"}));
            combo->setCurrentIndex(3);
            for (const char *typed : {"12元", " 12.5 ", "1,234.5"}) {
                amount->setText(QString::fromUtf8(typed));
                d->findChild<QPushButton *>("OKButton")->click();
            }
            QCOMPARE(m_folder->messages.last().text, QStringLiteral("提示：请正确输入金额"));
            QCOMPARE(amount->text(), QStringLiteral("0.00"));
            QCOMPARE(combo->currentText(), QStringLiteral("奖金")); // kept for the next record
        }));
        QCOMPARE(m_folder->messages.shown.size(), 2);
        QCOMPARE(columnTexts(w->list(1)->model(), 2), QStringList({"￥12.50", "￥1,234.50"}));
        w->list(1)->setCurrentIndex(w->list(1)->model()->index(1, 0));
        QVERIFY(runModal([&] { triggerAction(w, "popModi"); },
                         [&](QDialog *d) {
            QCOMPARE(d->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("1,234.50"));
            QCOMPARE(d->findChild<QComboBox *>("Combo1")->currentText(), QStringLiteral("奖金"));
            d->findChild<QLineEdit *>("Text1")->setText("99");
            d->findChild<QPushButton *>("OKButton")->click();
            QVERIFY(!d->isVisible());
        }));
        QCOMPARE(columnTexts(w->list(1)->model(), 2), QStringList({"￥12.50", "￥99.00"}));
        QCOMPARE(labelText(w, "Label4"), QStringLiteral("￥99")); // 111.50 in, 12.50 out
    }
    void deleteAsksAndSortingToggles()
    {
        addRecord(0, today(8), 1000);
        addRecord(0, today(9), 999);
        const qint64 marys = addRecord(0, today(), 30, {}, 1, "mary");
        MainWindow *w = logIn();
        auto &messages = m_folder->messages;
        triggerAction(w, "popDel");
        QVERIFY(messages.shown.isEmpty()); // an empty list: nothing to say
        triggerAction(w, "popDel2");
        QCOMPARE(messages.last().text, QStringLiteral("提示：未选择要删除的记录"));

        // A click on a header sorts by value, a second turns the order and the marker round.
        QTreeView *view = w->list(0);
        auto *model = static_cast<LedgerModel *>(view->model());
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                              QPoint(view->header()->sectionViewportPosition(2) + 5, 5));
        QCOMPARE(columnTexts(model, 2), QStringList({"￥1,000.00", "￥999.00"}));
        QVERIFY(model->headerPicture(2) == 1 && model->headerPicture(0) == 0);

        view->setCurrentIndex(model->index(0, 0));
        messages.answerNext(MsgAnswer::Cancel);
        QVERIFY(QTest::qWaitForWindowActive(w));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(messages.last().text, QStringLiteral("提示：确定要删除这条记录吗？"));
        QCOMPARE(messages.last().buttons, MsgButtons::OkCancel);
        QCOMPARE(model->rowCount(), 2);
        triggerAction(w, "popDel2");
        QCOMPARE(columnTexts(model, 2), QStringList({"￥999.00"}));
        QCOMPARE(labelText(w, "Label4"), QStringLiteral("￥-999.00"));
        QCOMPARE(test::scalar("SELECT COUNT(*) FROM pursewicks WHERE ID=?", {marys}), QStringLiteral("1"));

        // A long list, read a page at a time: a sort finds the selected record again, a
        // delete leaves the rows around it and the totals exact.
        LedgerModel::setWindowing(3, 2);
        for (int i = 1; i <= 12; ++i)
            addRecord(0, today().addDays(-i), i * 7 % 12 + 1);
        triggerAction(w, "Toolbar2_1"); // 全部
        QVERIFY(model->windowed());
        QCOMPARE(model->rowCount(), 13);
        view->setCurrentIndex(model->index(12, 0)); // the last row: read at once
        const qint64 picked = model->index(12, 0).data(LedgerModel::IdRole).toLongLong();
        QSignalSpy located(model, &LedgerModel::located);
        QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                          QPoint(view->header()->sectionViewportPosition(3) + 5, 5));
        QVERIFY(located.wait());
        QCOMPARE(view->currentIndex().data(LedgerModel::IdRole).toLongLong(), picked);
        QVERIFY(view->selectionModel()->isRowSelected(view->currentIndex().row(), {}));
        triggerAction(w, "popDel2");
        QCOMPARE(model->rowCount(), 12);
        const QString sum = test::scalar("SELECT SUM(money) FROM pursewicks WHERE style=0 AND username='admin'");
        QCOMPARE(labelText(w, "Label6"), Money::yuan(Money::parse(sum)->text()));

        // A query is counted on the list's thread: many rows stay windowed, a few are held whole.
        const auto expensesOver = [&](int amount) {
            const QString sql = QStringLiteral(
                "SELECT %1 FROM pursewicks WHERE style=0 AND username='admin' AND money>?");
            return std::pair(test::scalar(sql.arg("COUNT(*)"), {amount}).toInt(),
                             Money::yuan(Money::parse(test::scalar(sql.arg("SUM(money)"), {amount}))->text()));
        };
        for (int amount : {2, 10}) {
            SqlFilter over;
            w->applyQuery(over.add(QStringLiteral(" AND A.money>?"), {amount}), 0);
            QCOMPARE(std::pair(model->rowCount(), labelText(w, "Label6")), std::pair(0, QStringLiteral("计算中…")));
            QTRY_COMPARE(std::pair(model->rowCount(), labelText(w, "Label6")), expensesOver(amount));
            QCOMPARE(model->windowed(), amount == 2);
        }
        LedgerModel::setWindowing(5000, 256);
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

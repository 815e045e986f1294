#include "LedgerModel.h"
#include "MainWindow.h"
#include "Module1.h"
#include "Program.h"
#include "TestSupport.h"
#include "clsADO.h"
#include "frmLogin.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QToolButton>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace ht;
using ht::test::ProgramFolder;

namespace {

qint64 addRecord(int style, const QDate &date, double money, const QString &memo = {}, qint64 typeId = 1,
                 const QString &user = QStringLiteral("admin"))
{
    clsADO &db = program::db();
    const bool wasOpen = db.isOpen();
    if (!wasOpen)
        db.OpenDB();
    const qint64 id = db.insert("pursewicks", {{"username", user}, {"typeid", typeId},
                                               {"postdate", QDateTime(date, QTime(9, 30))}, {"money", money},
                                               {"style", style}, {"memo", memo}});
    if (!wasOpen)
        db.CloseDB();
    return id;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Logs in through the real login window; the main window opens as in the program.
main *logInAndOpen(const QString &user = QStringLiteral("admin"), const QString &password = QStringLiteral("admin"))
{
    frmLogin login;
    if (!login.load())
        return nullptr;
    QObject::connect(&login, &frmLogin::loggedIn, [] { openMainWindow(); });
    login.show();
    login.findChild<QComboBox *>("txtUserName")->setEditText(user);
    login.findChild<QLineEdit *>("txtPassword")->setText(password);
    QTest::mouseClick(login.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    return main::instance();
}

QAction *periodButton(main *w, int index)
{
    return w->findChild<QAction *>(QStringLiteral("Toolbar2_%1").arg(index));
}

int rows(main *w, const char *list)
{
    return w->findChild<QTreeView *>(list)->model()->rowCount();
}

QString label(main *w, const char *name)
{
    return w->findChild<QLabel *>(name)->text();
}

// Closes the main window as a user would and waits until it is gone.
void closeMain(main *w)
{
    QPointer<main> guard(w);
    w->close();
    QTRY_VERIFY(guard.isNull());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loginOpensTheMainWindowWithThisMonth();
    void settingsFilesOnFirstAndLaterStarts();
    void windowStateIsSavedAndRestored();
    void statusBarAndClock();
    void periodButtonsFilterAndTheFilterLasts();
    void listsShowTextsKeysTotalsAndBalance_data();
    void listsShowTextsKeysTotalsAndBalance();
    void hugeTotalsStayExact();
    void onlyTheRemarkColumnTakesSpareWidth();
};

void TestMainWindow::loginOpensTheMainWindowWithThisMonth()
{
    ProgramFolder folder;
    const QDate today = QDate::currentDate();
    addRecord(1, today, 100);
    addRecord(0, today, 40.25);
    addRecord(0, today.addYears(-1), 999);
    addRecord(1, today, 5000, "别人的", 1, "mary");

    main *w = logInAndOpen();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Hearthtally"));
    QCOMPARE(w->findChild<QGroupBox *>("Frame1")->title(), QStringLiteral("收入"));
    QCOMPARE(w->findChild<QGroupBox *>("Frame2")->title(), QStringLiteral("支出"));
    QCOMPARE(rows(w, "ListView1"), 1);
    QCOMPARE(rows(w, "ListView2"), 1);
    QCOMPARE(label(w, "Label2"), QStringLiteral("￥100.00"));
    QCOMPARE(label(w, "Label6"), QStringLiteral("￥40.25"));
    QCOMPARE(label(w, "Label4"), QStringLiteral("￥59.75"));

    QStringList captions;
    for (QToolButton *b : w->findChild<QToolBar *>("Toolbar1")->findChildren<QToolButton *>(QRegularExpression("^Toolbar1_")))
        captions << b->text();
    QCOMPARE(captions, QStringList({"收入", "支出", "查询", "批量删除", "类别管理", "用户管理", "银行账号", "关于", "备忘录",
                                    "计算器", "退出"}));
    QCOMPARE(periodButton(w, 2)->text(), QStringLiteral("本年"));
    QCOMPARE(periodButton(w, 2)->toolTip(), QStringLiteral("查询本年度所有记录"));
    QCOMPARE(periodButton(w, 16)->text(), QStringLiteral("12"));
    QCOMPARE(periodButton(w, 16)->toolTip(), QStringLiteral("今年12月份记录"));

    // "退出" on the toolbar closes the window, which ends the run.
    QPointer<main> guard(w);
    QTest::mouseClick(w->findChild<QToolButton *>("Toolbar1_12"), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
    QVERIFY(!main::instance());
}

void TestMainWindow::settingsFilesOnFirstAndLaterStarts()
{
    ProgramFolder folder;
    const QString config = folder.path("config.ini");
    const QString update = folder.path("update.ini");
    main *w = logInAndOpen();
    QVERIFY(w);
    QCOMPARE(fileBytes(config), QByteArray());
    QCOMPARE(fileBytes(update), QByteArray("[config]\r\nVersion=1.2.8\r\n"));
    QCOMPARE(program::readStoreValue("pursewickPid"), QString::number(QCoreApplication::applicationPid()));
    QCOMPARE(program::readStoreValue("pursewickHwnd"), QString::number(quint64(w->winId())));
    closeMain(w);
    QCOMPARE(fileBytes(config), QByteArray("[client]\r\nwindowstate=0\r\n"));

    // An installed newer version is never overwritten.
    QFile f(update);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[config]\r\nVersion=2.0.1\r\n");
    f.close();
    w = logInAndOpen();
    QVERIFY(w);
    QCOMPARE(fileBytes(update), QByteArray("[config]\r\nVersion=2.0.1\r\n"));
    closeMain(w);
}

void TestMainWindow::windowStateIsSavedAndRestored()
{
    ProgramFolder folder;
    QFile f(folder.path("config.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; kept\r\n[client]\r\nwindowstate=2\r\n");
    f.close();
    main *w = logInAndOpen();
    QVERIFY(w);
    QVERIFY(w->isMaximized());
    closeMain(w);
    QCOMPARE(fileBytes(folder.path("config.ini")), QByteArray("; kept\r\n[client]\r\nwindowstate=2\r\n"));

    w = logInAndOpen();
    QVERIFY(w->isMaximized());
    w->showNormal();
    QTRY_VERIFY(!w->isMaximized());
    closeMain(w);
    QCOMPARE(fileBytes(folder.path("config.ini")), QByteArray("; kept\r\n[client]\r\nwindowstate=0\r\n"));
    w = logInAndOpen();
    QVERIFY(!w->isMaximized() && !w->isMinimized());
    closeMain(w);
}

void TestMainWindow::statusBarAndClock()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    db.execute("UPDATE users SET logintime=41");
    db.CloseDB();
    main *w = logInAndOpen("ADMIN", "admin");
    QVERIFY(w);
    QCOMPARE(label(w, "statusPanel1"), QStringLiteral("欢迎使用 Hearthtally v1.2.8"));
    QCOMPARE(label(w, "statusPanel2"), QStringLiteral("当前用户：ADMIN  第41次使用"));
    static const QRegularExpression clock(
        QStringLiteral("^系统时间：\\d{4}年\\d{2}月\\d{2}日  星期[天一二三四五六] (\\d{2}):(\\d{2}):(\\d{2})$"));
    const QString first = label(w, "statusPanel3");
    QVERIFY2(clock.match(first).hasMatch(), qPrintable(first));
    // Rewritten every half second: the shown seconds follow the clock.
    QTRY_VERIFY_WITH_TIMEOUT(label(w, "statusPanel3") != first, 2500);
    const QTime shown = QTime::fromString(clock.match(label(w, "statusPanel3")).captured(0).right(8), "HH:mm:ss");
    QVERIFY(qAbs(shown.secsTo(QTime::currentTime())) <= 1);
    closeMain(w);
}

void TestMainWindow::periodButtonsFilterAndTheFilterLasts()
{
    ProgramFolder folder;
    const QDate today = QDate::currentDate();
    const int otherMonth = today.month() % 12 + 1; // another month of this year
    const QDate inOtherMonth(today.year(), otherMonth, 10);
    addRecord(1, today, 10);
    addRecord(1, today.addYears(-1), 20);
    addRecord(1, inOtherMonth, 30);
    addRecord(0, today, 1);
    addRecord(0, inOtherMonth, 2);

    main *w = logInAndOpen();
    QVERIFY(w);
    struct Expect {
        int button, income, expense;
        const char *incomeTotal;
    };
    const Expect table[] = {{1, 3, 2, "￥60.00"}, {2, 2, 2, "￥40.00"}, {3, 1, 1, "￥10.00"}, {4, 1, 1, "￥10.00"},
                            {4 + otherMonth, 1, 1, "￥30.00"}, {4 + today.month(), 1, 1, "￥10.00"}};
    for (const Expect &e : table) {
        periodButton(w, e.button)->trigger();
        QVERIFY2(rows(w, "ListView1") == e.income, qPrintable(QString::number(e.button)));
        QCOMPARE(rows(w, "ListView2"), e.expense);
        QCOMPARE(label(w, "Label2"), QString::fromUtf8(e.incomeTotal));
    }

    // A later reload keeps the chosen period: a record of another month stays out.
    periodButton(w, 4 + today.month())->trigger();
    addRecord(1, inOtherMonth, 7);
    clsADO &db = program::db();
    db.OpenDB();
    LoadLedgerList(1, program::session().whereStr);
    db.CloseDB();
    QCOMPARE(rows(w, "ListView1"), 1);
    periodButton(w, 1)->trigger();
    QCOMPARE(rows(w, "ListView1"), 4);
    closeMain(w);
}

void TestMainWindow::listsShowTextsKeysTotalsAndBalance_data()
{
    QTest::addColumn<QList<double>>("income");
    QTest::addColumn<QList<double>>("expense");
    QTest::addColumn<QString>("balance");
    QTest::newRow("nothing") << QList<double>{} << QList<double>{} << "￥0.00";
    QTest::newRow("749.5") << QList<double>{1000} << QList<double>{250.5} << "￥749.5";
    QTest::newRow("negative whole") << QList<double>{100} << QList<double>{300} << "￥-200.00";
    QTest::newRow("positive whole") << QList<double>{300} << QList<double>{100} << "￥200";
    QTest::newRow("cents") << QList<double>{0.1, 0.2} << QList<double>{0.3} << "￥0.00";
    QTest::newRow("negative amounts") << QList<double>{-5.5} << QList<double>{-10} << "￥4.5";
}

void TestMainWindow::listsShowTextsKeysTotalsAndBalance()
{
    QFETCH(QList<double>, income);
    QFETCH(QList<double>, expense);
    QFETCH(QString, balance);
    ProgramFolder folder;
    const QDate day = QDate::currentDate();
    qint64 firstIncome = 0;
    for (double m : income) {
        const qint64 id = addRecord(1, day, m, "工资 '%' 备注", 10);
        if (!firstIncome)
            firstIncome = id;
    }
    for (double m : expense)
        addRecord(0, day, m, {}, 424242); // a category that no longer exists

    main *w = logInAndOpen();
    QVERIFY(w);
    QCOMPARE(label(w, "Label4"), balance);
    QCOMPARE(label(w, "Label1"), QStringLiteral("总收入："));
    QCOMPARE(label(w, "Label3"), QStringLiteral("结余："));
    QCOMPARE(label(w, "Label5"), QStringLiteral("总支出："));
    if (!income.isEmpty()) {
        QAbstractItemModel *m = w->ListView1->model();
        QCOMPARE(m->data(m->index(0, 0)).toString(), day.toString("yyyy年MM月dd日 "));
        QCOMPARE(m->data(m->index(0, 1)).toString(), QStringLiteral("工资"));
        QCOMPARE(m->data(m->index(0, 2)).toString(), QStringLiteral("￥") + Money::fromDouble(income.first()).text());
        QCOMPARE(m->data(m->index(0, 3)).toString(), QStringLiteral("工资 '%' 备注"));
        QCOMPARE(m->data(m->index(0, 0), LedgerModel::KeyRole).toString(), QStringLiteral("ID%1").arg(firstIncome));
    }
    if (!expense.isEmpty()) {
        QAbstractItemModel *m = w->ListView2->model();
        QCOMPARE(m->data(m->index(0, 1)).toString(), QStringLiteral("N/A"));
    }
    closeMain(w);
}

void TestMainWindow::hugeTotalsStayExact()
{
    ProgramFolder folder;
    clsADO &db = folder.openDb();
    {
        Transaction t(db);
        for (int i = 0; i < 1000; ++i)
            addRecord(1, QDate::currentDate(), 12345678.91);
        addRecord(0, QDate::currentDate(), 0.01);
        t.commit();
    }
    db.CloseDB();
    main *w = logInAndOpen();
    QVERIFY(w);
    QCOMPARE(label(w, "Label2"), QStringLiteral("￥12,345,678,910.00"));
    QCOMPARE(label(w, "Label6"), QStringLiteral("￥0.01"));
    QCOMPARE(label(w, "Label4"), QStringLiteral("￥12345678909.99"));
    closeMain(w);
}

void TestMainWindow::onlyTheRemarkColumnTakesSpareWidth()
{
    ProgramFolder folder;
    addRecord(1, QDate::currentDate(), 1, QString(200, QChar(u'长')));
    main *w = logInAndOpen();
    QVERIFY(w);
    w->showNormal();
    w->resize(900, 600);
    QTest::qWait(50);
    QHeaderView *h = w->ListView1->header();
    const int fixed[3] = {h->sectionSize(0), h->sectionSize(1), h->sectionSize(2)};
    const int memo = h->sectionSize(3);
    w->resize(1500, 800);
    QTRY_VERIFY(h->sectionSize(3) > memo + 200);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(h->sectionSize(i), fixed[i]);
    QCOMPARE(w->ListView2->header()->sectionSize(0), fixed[0]);
    // Tiny sizes never break the window.
    w->resize(10, 10);
    QTest::qWait(20);
    QVERIFY(w->width() >= w->minimumWidth());
    closeMain(w);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

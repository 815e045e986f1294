#include "ledger/MainWindow.h"

#include "ledger/LedgerModel.h"
#include "ledger/LedgerLoad.h"

#include "foundation/DateText.h"
#include "foundation/DbTask.h"
#include "foundation/Icons.h"
#include "foundation/Program.h"
#include "foundation/clsRWIni.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSaveFile>
#include <QTimer>

namespace ht {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("main"));
    setWindowIcon(icon(QStringLiteral("app")));
    m_income = new LedgerModel(this);
    m_expense = new LedgerModel(this);
    connect(m_income, &LedgerModel::totalChanged, this, &MainWindow::showTotals);
    connect(m_expense, &LedgerModel::totalChanged, this, &MainWindow::showTotals);
    connect(&book::changes(), &book::Changes::changed, this, &MainWindow::storeChanged);

    buildMenus();
    buildToolbar();
    buildLists();
    connectListCommands();
    buildPeriodStrip();
    buildTotals();
    buildStatusBar();

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(3, 3, 3, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_incomeFrame, 0, 0);
    grid->addWidget(m_periodFrame, 0, 1, 2, 1);
    grid->addWidget(m_expenseFrame, 0, 2);
    grid->addWidget(m_incomeTotalsFrame, 1, 0);
    grid->addWidget(m_expenseTotalsFrame, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(0, 1);
    setCentralWidget(central);
    fitMinimumSize();
    resize(minimumSizeHint().expandedTo(QSize(1000, 640)));

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("Timer1"));
    m_clock->setInterval(500);
    connect(m_clock, &QTimer::timeout, this, [this] { m_clockPanel->setText(clockText()); });
    m_clock->start();
}

MainWindow::~MainWindow()
{
    program::releaseShared();
}

MainWindow *MainWindow::instance()
{
    return dynamic_cast<MainWindow *>(LedgerLists::current());
}

LedgerModel &MainWindow::model(int cls) const
{
    return cls >= 1 ? *m_income : *m_expense;
}

Money MainWindow::total(int cls) const
{
    model(cls).settle(); // a query's total may still be summed on the list's thread
    return model(cls).total();
}

QAction *MainWindow::command(const char *name) const
{
    auto *action = findChild<QAction *>(QLatin1String(name));
    if (!action)
        qFatal("The main window has no command %s", name);
    return action;
}

void MainWindow::whenClosing(std::function<void()> work)
{
    m_closingWork.push_back(std::move(work));
}

void MainWindow::showTotals()
{
    const Money income = m_income->total();
    const Money expense = m_expense->total();
    // A query still being summed on its list's thread has no total yet.
    const QString summing = QStringLiteral("计算中…");
    m_incomeLabel->setText(m_income->counting() ? summing : Money::yuan(income.text()));
    m_expenseLabel->setText(m_expense->counting() ? summing : Money::yuan(expense.text()));
    m_balanceLabel->setText(
        m_income->counting() || m_expense->counting() ? summing : Money::yuan((income - expense).balanceText()));
}

QString MainWindow::clockText()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("系统时间：") + chsDate(now) + QLatin1Char(' ') + chsWeek(now) + QLatin1Char(' ')
        + fullTime(now.time());
}

void MainWindow::load()
{
    const QString title = QString::fromLatin1(program::title);
    setWindowTitle(title);
    QApplication::setApplicationDisplayName(QString());

    const QString exe = QString::fromLatin1(program::exeName);
    program::writeStoreValue(exe + QStringLiteral("Pid"), QString::number(QApplication::applicationPid()));
    program::writeStoreValue(exe + QStringLiteral("Hwnd"), QString::number(quint64(winId())));

    const QString config = program::pathIn(QStringLiteral("config.ini"));
    if (!QFile::exists(config)) {
        QFile create(config);
        create.open(QIODevice::WriteOnly);
    }
    clsRWIni &ini = program::ini();
    ini.SpecifyIni(config);
    m_savedState = ini.ReadInt(QStringLiteral("client"), QStringLiteral("windowstate"));

    m_welcomePanel->setText(QStringLiteral("欢迎使用 ") + title + QStringLiteral(" v") + program::versionText());
    const program::Session &s = program::session();
    m_userPanel->setText(QStringLiteral("当前用户：") + s.userName + QStringLiteral("  第")
                         + QString::number(s.loginCount) + QStringLiteral("次使用"));
    m_clockPanel->setText(clockText());
    fitMinimumSize();

    periodClicked(3);

    // Never rewritten when present: the updater owns the version once it exists.
    const QString update = program::pathIn(QStringLiteral("update.ini"));
    if (!QFile::exists(update)) {
        QSaveFile file(update);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("[config]\r\nVersion=" + program::versionText().toLatin1() + "\r\n");
            file.commit();
        }
    }
}

void MainWindow::showInSavedState()
{
    switch (m_savedState) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default: showNormal(); break;
    }
}

void MainWindow::reload(int cls)
{
    LoadLedgerList(model(cls), cls, ledgerFilter(), this);
}

void MainWindow::reloadBoth()
{
    // Both lists on one connection.
    withDb(this, [this](clsADO &) {
        reload(1);
        reload(0);
    });
}

void MainWindow::refreshRecord(int cls, qint64 id)
{
    withDb(this, [&](clsADO &db) {
        LedgerStore::refreshRecord(model(cls), db, program::session().userName, cls, ledgerFilter(), id);
    });
}

void MainWindow::storeChanged(book::Change what, int cls, qint64 id)
{
    if (what == book::Change::Database) {
        m_income->dropConnection();
        m_expense->dropConnection();
        return reloadBoth();
    }
    if (what != book::Change::Records)
        return;
    withDb(this, [&](clsADO &) {
        for (int c : {1, 0}) {
            if (cls != book::anyClass && c != cls)
                continue;
            if (id > 0)
                refreshRecord(c, id);
            else
                reload(c);
        }
    });
}

SqlFilter MainWindow::ledgerFilter() const
{
    return m_period > 0 ? periodFilter(m_period, program::today()) : m_query;
}

void MainWindow::applyQuery(const SqlFilter &filter, int cls)
{
    const auto before = std::pair(m_period, m_query);
    m_period = 0;
    m_query = filter;
    // A filter that cannot run leaves the lists and the filter they are under as they were.
    bool loaded = true;
    withDb(this, [&](clsADO &) {
        for (int c : {1, 0}) {
            if (loaded && (cls < 0 || c == cls))
                loaded = LoadLedgerList(model(c), c, filter, this);
        }
    });
    if (!loaded)
        std::tie(m_period, m_query) = before;
}

void MainWindow::periodClicked(int index)
{
    m_period = index;
    m_query = {};
    reloadBoth();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    program::ini().WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QString::number(state));
    for (const auto &work : m_closingWork)
        work();
    trimWorkingSet();
    event->accept();
    // Every other window goes with the main window.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

MainWindow *openMainWindow(const QList<Attachment> &subsystems)
{
    auto *w = new MainWindow;
    w->setAttribute(Qt::WA_DeleteOnClose);
    for (const Attachment &attach : subsystems)
        attach(*w);
    w->load();
    w->showInSavedState();
    return w;
}

} // namespace ht

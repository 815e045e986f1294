#include "ledger/MainWindow.h"

#include "ledger/LedgerModel.h"
#include "ledger/LedgerLoad.h"
#include "ledger/Module1.h"

#include "foundation/DateText.h"
#include "foundation/DbTask.h"
#include "foundation/Icons.h"
#include "foundation/Program.h"
#include "foundation/clsRWIni.h"

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

main::main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("main"));
    setWindowIcon(icon(QStringLiteral("app")));
    m_income = new LedgerModel(this);
    m_expense = new LedgerModel(this);
    connect(m_income, &LedgerModel::totalChanged, this, &main::showTotals);
    connect(m_expense, &LedgerModel::totalChanged, this, &main::showTotals);
    connect(&book::changes(), &book::Changes::changed, this, &main::storeChanged);

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
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame5, 0, 1, 2, 1);
    grid->addWidget(Frame2, 0, 2);
    grid->addWidget(Frame3, 1, 0);
    grid->addWidget(Frame4, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(0, 1);
    setCentralWidget(central);
    fitMinimumSize();
    resize(minimumSizeHint().expandedTo(QSize(1000, 640)));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { statusPanel3->setText(clockText()); });
    Timer1->start();
}

main::~main()
{
    program::releaseShared();
}

main *main::instance()
{
    return dynamic_cast<main *>(LedgerLists::current());
}

LedgerModel &main::model(int cls) const
{
    return cls >= 1 ? *m_income : *m_expense;
}

void main::showTotals()
{
    const Money income = m_income->total();
    const Money expense = m_expense->total();
    Label2->setText(Money::yuan(income.text()));
    Label6->setText(Money::yuan(expense.text()));
    Label4->setText(Money::yuan((income - expense).balanceText()));
}

QString main::clockText()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("系统时间：") + chsDate(now) + QLatin1Char(' ') + chsWeek(now) + QLatin1Char(' ')
        + fullTime(now.time());
}

void main::load()
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

    statusPanel1->setText(QStringLiteral("欢迎使用 ") + title + QStringLiteral(" v") + program::versionText());
    const program::Session &s = program::session();
    statusPanel2->setText(QStringLiteral("当前用户：") + s.userName + QStringLiteral("  第")
                          + QString::number(s.loginCount) + QStringLiteral("次使用"));
    statusPanel3->setText(clockText());
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

void main::showInSavedState()
{
    switch (m_savedState) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default: showNormal(); break;
    }
}

void main::reload(int cls)
{
    LoadLedgerList(model(cls), cls, ledgerFilter(), this);
}

void main::reloadBoth()
{
    // Both lists on one connection.
    withDb(this, [this](clsADO &) {
        reload(1);
        reload(0);
    });
}

void main::refreshRecord(int cls, qint64 id)
{
    withDb(this, [&](clsADO &db) {
        LedgerStore::refreshRecord(model(cls), db, program::session().userName, cls, ledgerFilter(), id);
    });
}

void main::storeChanged(book::Change what, int cls, qint64 id)
{
    if (what == book::Change::Database)
        return reloadBoth();
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

SqlFilter main::ledgerFilter() const
{
    return m_period > 0 ? periodFilter(m_period, program::today()) : m_query;
}

void main::applyQuery(const SqlFilter &filter, int cls)
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

void main::periodClicked(int index)
{
    m_period = index;
    m_query = {};
    reloadBoth();
}

void main::closeEvent(QCloseEvent *event)
{
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    program::ini().WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QString::number(state));
    Q_EMIT closing();
    trimWorkingSet();
    event->accept();
    // Every other window goes with the main window.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

main *openMainWindow(const QList<Attachment> &subsystems)
{
    auto *w = new main;
    w->setAttribute(Qt::WA_DeleteOnClose);
    for (const Attachment &attach : subsystems)
        attach(*w);
    w->load();
    w->showInSavedState();
    return w;
}

} // namespace ht

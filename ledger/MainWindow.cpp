#include "MainWindow.h"

#include "LedgerModel.h"
#include "LedgerStore.h"
#include "Module1.h"
#include "Pictures.h"
#include "Program.h"
#include "clsADO.h"
#include "clsRWIni.h"
#include "ctrcls.h"

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
namespace {
main *g_instance = nullptr;
}

main::main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("main"));
    setWindowIcon(picture(Picture::Program));
    m_income = new LedgerModel(this);
    m_expense = new LedgerModel(this);

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
    setMinimumSize(640, 420);
    resize(1000, 640);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { statusPanel3->setText(clockText()); });
    Timer1->start();

    g_instance = this;
}

main::~main()
{
    if (g_instance == this)
        g_instance = nullptr;
    program::releaseShared();
}

main *main::instance()
{
    return g_instance;
}

LedgerModel &main::model(int cls) const
{
    return cls >= 1 ? *m_income : *m_expense;
}

void main::setTotal(int cls, Money total)
{
    (cls >= 1 ? m_incomeTotal : m_expenseTotal) = total;
    (cls >= 1 ? Label2 : Label6)->setText(QStringLiteral("￥") + total.text());
}

QString main::clockText()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QStringLiteral("系统时间：") + ctrcls::chsDate(now) + QLatin1Char(' ') + ctrcls::chsWeek(now) + QLatin1Char(' ')
        + ctrcls::fullTime(now.time());
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
    statusPanel2->setText(QStringLiteral("当前用户：") + s.userName + QStringLiteral("  第") + QString::number(s.loginCount)
                          + QStringLiteral("次使用"));
    statusPanel3->setText(clockText());

    program::session().whereStr = periodFilter(3);
    reloadBoth();

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

void main::reloadBoth()
{
    clsADO &db = program::db();
    db.OpenDB();
    LoadLedgerList(1, program::session().whereStr);
    LoadLedgerList(0, program::session().whereStr);
    db.CloseDB();
}

void main::periodClicked(int index)
{
    program::session().whereStr = periodFilter(index);
    reloadBoth();
}

void main::closeEvent(QCloseEvent *event)
{
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    program::ini().WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QString::number(state));
    trimWorkingSet();
    event->accept();
    // Every other window goes with the main window.
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

main *openMainWindow()
{
    auto *w = new main;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->load();
    w->showInSavedState();
    return w;
}

} // namespace ht

#include "app/Startup.h"

#include "login/frmLogin.h"

#include "ledger/MainWindow.h"

#include "book/LedgerStore.h"
#include "book/RecycleBin.h"

#include "foundation/DbTask.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/SingleInstance.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProgressDialog>
#include <QTranslator>

namespace ht {
void raiseProgramWindows()
{
    QWidget *top = QApplication::activeModalWidget();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() && !w->isMinimized())
            continue;
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        if (!top)
            top = w;
    }
    if (top) {
        top->show();
        top->raise();
        top->activateWindow();
    }
}

void closeProgramWindows()
{
    // As the user would close it: the main window saves its state and ends the run.
    if (MainWindow *w = MainWindow::instance())
        return void(w->close());
    // Still at the login: nothing to save.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

// An older database gets the indexes and per-day sums long lists are read by, once,
// in one transaction; cancelled, it stays as it was and the lists are read whole.
void upgradeBooks()
{
    withDb(nullptr, [](clsADO &db) {
        RecycleBin::upgrade(db);
        if (!LedgerStore::needsUpgrade(db))
            return;
        QProgressDialog progress(QStringLiteral("正在为账目建立索引，请稍候……"), QStringLiteral("取消"), 0, 1);
        progress.setObjectName(QStringLiteral("upgradeProgress"));
        progress.setWindowTitle(QString::fromLatin1(program::title));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(300);
        LedgerStore::upgrade(db, [&progress](int done, int steps) {
            progress.setMaximum(steps);
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    });
}

int runPursewick(int argc, char **argv, const std::function<void()> &afterLogin)
{
    QApplication app(argc, argv);
    // The name also names the user's data folder of an installed program.
    QApplication::setApplicationName(QString::fromLatin1(program::title));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(program::desktopId));
    QApplication::setWindowIcon(icon(QStringLiteral("app")));

    // Qt's own dialogs and standard buttons speak Chinese too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    installDatabaseFailureHandling();

    SingleInstance instance;
    QString why;
    switch (instance.claim(&why)) {
    case SingleInstance::Claim::First: break;
    case SingleInstance::Claim::Running: instance.send("raise"); return 0;
    case SingleInstance::Claim::Failed:
        showMessage(nullptr, QStringLiteral("程序无法启动：\r\n") + why, QStringLiteral("系统错误"), MsgButtons::Ok,
                    MsgIcon::Critical);
        return 1;
    }
    const program::DataPlace place = program::chooseDataPlace();
    if (!place.error.isEmpty()) {
        showMessage(nullptr, QStringLiteral("程序无法启动：\r\n") + place.error, QStringLiteral("系统错误"),
                    MsgButtons::Ok, MsgIcon::Critical);
        return 1;
    }

    QObject::connect(&instance, &SingleInstance::raiseRequested, &app, raiseProgramWindows);
    // Queued, so the updater has its answer before the windows go.
    QObject::connect(&instance, &SingleInstance::closeRequested, &app, closeProgramWindows, Qt::QueuedConnection);

    upgradeBooks();
    frmLogin login;
    if (!login.load())
        return 1;
    QObject::connect(&login, &QDialog::rejected, &app, &QApplication::quit);
    QObject::connect(&login, &frmLogin::loggedIn, &app, afterLogin);
    login.show();
    return app.exec();
}

} // namespace ht

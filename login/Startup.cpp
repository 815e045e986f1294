#include "Startup.h"

#include "Pictures.h"
#include "Program.h"
#include "SingleInstance.h"
#include "frmLogin.h"

#include <QApplication>
#include <QLibraryInfo>
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

int runPursewick(int argc, char **argv, const std::function<void()> &afterLogin)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(program::exeName));
    QApplication::setWindowIcon(picture(Picture::Program));

    // Qt's own dialogs and standard buttons speak Chinese too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    SingleInstance instance;
    if (!instance.claim()) {
        instance.send("raise");
        return 0;
    }
    QObject::connect(&instance, &SingleInstance::raiseRequested, &app, raiseProgramWindows);

    frmLogin login;
    if (!login.load())
        return 1;
    QObject::connect(&login, &QDialog::rejected, &app, &QApplication::quit);
    QObject::connect(&login, &frmLogin::loggedIn, &app, afterLogin);
    login.show();
    return app.exec();
}

} // namespace ht

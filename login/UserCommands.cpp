#include "login/UserCommands.h"

#include "login/frmPassword.h"
#include "login/usersDialog.h"

#include "ledger/MainWindow.h"

#include <QAction>

namespace ht::login {

void attach(MainWindow &window)
{
    QObject::connect(window.mm_pwd, &QAction::triggered, &window, [&window] {
        frmPassword password(&window);
        password.exec();
    });
    QObject::connect(window.mm_users, &QAction::triggered, &window, [&window] {
        usersDialog users(&window);
        users.exec();
    });
}

} // namespace ht::login

#include "login/UserCommands.h"

#include "login/frmPassword.h"
#include "login/usersDialog.h"

#include "ledger/LedgerLists.h"

#include <QAction>

namespace ht::login {

void attach(LedgerLists &lists)
{
    QWidget *window = lists.window();
    QObject::connect(lists.command("mm_pwd"), &QAction::triggered, window, [window] {
        frmPassword password(window);
        password.exec();
    });
    QObject::connect(lists.command("mm_users"), &QAction::triggered, window, [window] {
        usersDialog users(window);
        users.exec();
    });
}

} // namespace ht::login

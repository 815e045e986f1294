#include "login/UserCommands.h"

#include "login/frmPassword.h"
#include "login/usersDialog.h"

#include "ledger/LedgerLists.h"

namespace ht::login {

void attach(LedgerLists &lists)
{
    opensDialog<frmPassword>(lists, "mm_pwd");
    opensDialog<usersDialog>(lists, "mm_users");
}

} // namespace ht::login

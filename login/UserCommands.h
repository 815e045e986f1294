#pragma once

namespace ht {

class LedgerLists;

namespace login {

// Hooks the password change ("修改密码") and user management ("用户管理") to the main window.
void attach(LedgerLists &lists);

} // namespace login
} // namespace ht

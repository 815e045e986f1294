#pragma once

namespace ht {

class LedgerLists;

namespace banks {

// Hooks the bank account list to the main window's "银行账户" command and toolbar button.
void attach(LedgerLists &lists);

} // namespace banks
} // namespace ht

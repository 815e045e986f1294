#pragma once

namespace ht {

class LedgerLists;

namespace billimport {

// Hooks the bill import to the main window's "导入账单…" and "撤销上次导入", and brings
// an older database up to date for it.
void attach(LedgerLists &lists);

} // namespace billimport
} // namespace ht

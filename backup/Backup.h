#pragma once

namespace ht {

class LedgerLists;

namespace backup {

// Hooks backup and restore, export and printing to the main window's commands, and the
// daily backup to its closing.
void attach(LedgerLists &lists);

} // namespace backup
} // namespace ht

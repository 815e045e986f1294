#pragma once

namespace ht {

class LedgerLists;

namespace recycle {

// Hooks the recycle bin window to the main window's "回收站" command.
void attach(LedgerLists &lists);

} // namespace recycle
} // namespace ht

#pragma once

namespace ht {

class LedgerLists;

namespace memos {

// Hooks the memo notes to the main window's "备忘录" command and toolbar button.
void attach(LedgerLists &lists);

} // namespace memos
} // namespace ht

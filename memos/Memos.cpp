#include "memos/Memos.h"

#include "memos/frmMemoNote.h"

#include "ledger/LedgerLists.h"

namespace ht::memos {

void attach(LedgerLists &lists)
{
    opensDialog<frmMemoNote>(lists, "mm_memoNote");
}

} // namespace ht::memos

#include "recycle/Recycle.h"

#include "recycle/frmRecycleBin.h"

#include "ledger/LedgerLists.h"

namespace ht::recycle {

void attach(LedgerLists &lists)
{
    opensDialog<frmRecycleBin>(lists, "mm_bin");
}

} // namespace ht::recycle

#include "banks/Banks.h"

#include "banks/frmBanks.h"

#include "ledger/LedgerLists.h"

namespace ht::banks {

void attach(LedgerLists &lists)
{
    opensDialog<frmBanks>(lists, "mm_banks");
}

} // namespace ht::banks

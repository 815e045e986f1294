#include "categories/Categories.h"

#include "categories/frmTypes.h"
#include "categories/searchDialog.h"

#include "ledger/LedgerLists.h"

namespace ht::categories {

void attach(LedgerLists &lists)
{
    opensDialog<frmTypes>(lists, "mm_types");
    opensDialog<searchDialog>(lists, "mm_search", false);
    opensDialog<searchDialog>(lists, "mm_Del", true);
}

} // namespace ht::categories

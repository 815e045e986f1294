#pragma once

#include "ledger/LedgerLists.h"

namespace ht::charts {

// Opens the income and expense charts on "收支统计".
void attach(LedgerLists &lists);

} // namespace ht::charts

#pragma once

#include "SqlFilter.h"

namespace ht {

// Rebuilds the main window's list of a class (1 income, above 1 counts as 1; 0 expense)
// for the logged-in user under the filter, with its total and the balance.
// The caller holds the shared connection open.
void LoadLedgerList(int cls, const SqlFilter &filter);
// The balance label: income total minus expense total, exactly.
void ShowBalance();

} // namespace ht

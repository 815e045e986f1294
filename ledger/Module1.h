#pragma once

#include "foundation/SqlFilter.h"

class QWidget;

namespace ht {

class LedgerModel;

// Rebuilds a list's rows for the logged-in user: the records of a class (1 income,
// above 1 counts as 1; 0 expense) under the filter. A failure is told the user, with
// parent as the owner of the message, and leaves the list as it was.
bool LoadLedgerList(LedgerModel &model, int cls, const SqlFilter &filter, QWidget *parent);

} // namespace ht

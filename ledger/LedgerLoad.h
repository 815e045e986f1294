#pragma once

#include "ledger/LedgerModel.h"

#include "book/LedgerStore.h"

class QWidget;

namespace ht::LedgerStore {

// load() straight into the model; returns the model's new total.
Money loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// After one record was added, changed or deleted: the model shows that row exactly as
// a full reload would, at the cost of one indexed read.
void refreshRecord(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id);

} // namespace ht::LedgerStore

namespace ht {

// Rebuilds a list's rows for the logged-in user: the records of a class (1 income,
// above 1 counts as 1; 0 expense) under the filter. A failure is told the user, with
// parent as the owner of the message, and leaves the list as it was.
bool LoadLedgerList(LedgerModel &model, int cls, const SqlFilter &filter, QWidget *parent);

} // namespace ht

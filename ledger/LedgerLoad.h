#pragma once

#include "ledger/LedgerModel.h"

#include "book/LedgerStore.h"

namespace ht::LedgerStore {

// load() straight into the model; returns the model's new total.
Money loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// After one record was added, changed or deleted: the model shows that row exactly as
// a full reload would, at the cost of one indexed read.
void refreshRecord(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id);

} // namespace ht::LedgerStore

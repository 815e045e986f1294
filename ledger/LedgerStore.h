#pragma once

#include "ledger/LedgerModel.h"

#include "foundation/SqlFilter.h"

#include <QDate>

#include <optional>
#include <vector>

namespace ht {

class clsADO;

namespace LedgerStore {

// One user's records of one class (1 income, anything above 1 counts as 1; 0 expense)
// under the filter, ordered by date then ID, in one query. The connection must be open.
std::vector<LedgerRow> load(clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// load() straight into the model; returns the model's new total.
Money loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// After one record was added, changed or deleted: the model shows that row exactly as
// a full reload would, at the cost of one indexed read.
void refreshRecord(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter,
                   qint64 id);

} // namespace LedgerStore

// Records from the first day at 00:00 to the end of the last day, in local time.
SqlFilter dateRange(const QDate &first, const QDate &last);

// The filter of a period button (1 "全部", 2 "本年", 3 "本月", 4 "今日", 5..16 months 1..12
// of the current year), as a date range in local time over whole days.
SqlFilter periodFilter(int buttonIndex, const QDate &today);

} // namespace ht

#pragma once

#include "foundation/Money.h"
#include "foundation/SqlFilter.h"

#include <QDate>

#include <optional>
#include <vector>

namespace ht {

class clsADO;

// One ledger record as the lists show it.
struct LedgerRow {
    qint64 id = 0;
    qint32 date = 0;  // yyyymmdd of postdate
    qint32 time = 0;  // hhmmss of postdate
    QString category; // empty with hasCategory false when the category is gone
    bool hasCategory = false;
    Money amount;
    QString memo;
};

namespace LedgerStore {

// One user's records of one class (1 income, anything above 1 counts as 1; 0 expense)
// under the filter, ordered by date then ID, in one query. The connection must be open.
std::vector<LedgerRow> load(clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// The one row of that ID as load() would give it, by one indexed read; none when it is
// gone or not under the filter.
std::optional<LedgerRow> row(clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id);

} // namespace LedgerStore

// Records from the first day at 00:00 to the end of the last day, in local time.
SqlFilter dateRange(const QDate &first, const QDate &last);

// The filter of a period button (1 "全部", 2 "本年", 3 "本月", 4 "今日", 5..16 months 1..12
// of the current year), as a date range in local time over whole days.
SqlFilter periodFilter(int buttonIndex, const QDate &today);

} // namespace ht

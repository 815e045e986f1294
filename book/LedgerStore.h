#pragma once

#include "foundation/Money.h"
#include "foundation/SqlFilter.h"

#include <QDate>

#include <QVariant>

#include <functional>
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

// How many rows a list's filter picks and their exact sum.
struct LedgerSummary {
    qint64 rows = 0;
    Money total;
};

// A list's order: column -1 the load order (by postdate, then ID), 0 by day then ID,
// 2 by amount, 3 by remark in the lists' text order; equal amounts and remarks then in
// load order, whichever way the column runs. The category column (1) has no paged order
// yet: its pages come in load order.
struct LedgerOrder {
    int column = -1;
    bool descending = false;
};

// Where a row stands in an order: the column's value as the engine compares it, then
// postdate and ID.
struct LedgerKey {
    QVariant value;
    QString postdate;
    qint64 id = 0;
};

struct LedgerPage {
    std::vector<LedgerRow> rows;
    std::vector<LedgerKey> keys; // one per row
};

namespace LedgerStore {

// One user's records of one class (1 income, anything above 1 counts as 1; 0 expense)
// under the filter, ordered by date then ID, in one query. The connection must be open.
std::vector<LedgerRow> load(clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// The one row of that ID as load() would give it, by one indexed read; none when it is
// gone or not under the filter.
std::optional<LedgerRow> row(clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id);

// Whether the filter is a period (none, or one dateRange): the per-day sums answer it
// at once and every row along the date index is under it.
bool isPeriod(const SqlFilter &filter);
// The rows and exact total load() would give, without reading the rows: a period (no
// filter, or one dateRange) from the engine's per-day sums, anything else by one query.
LedgerSummary summary(clsADO &db, const QString &user, int cls, const SqlFilter &filter);
// Up to limit rows in that order following the row of key after (from the first row
// without one); backward, the rows just before it (up to the last row), still in list
// order. Each page is a bounded read along an index.
LedgerPage page(clsADO &db, const QString &user, int cls, const SqlFilter &filter, LedgerOrder order,
                const std::optional<LedgerKey> &after, int limit, bool backward = false);
// The key of every step-th row in that order (rows 0, step, 2*step, ...) in one scan of
// the order's index, so that a list can find any row by reading one page.
// When rowOf is given, it is set to the place of row findId (-1 when not listed).
std::vector<LedgerKey> positions(clsADO &db, const QString &user, int cls, const SqlFilter &filter, LedgerOrder order,
                                 int step, qint64 findId = 0, qint64 *rowOf = nullptr);

// How many records of the class the user has in all, from the per-day sums.
qint64 classRows(clsADO &db, const QString &user, int cls);
// The IDs of the rows under the filter ordered by category name in the lists' text order
// (a row without a category as "N/A"), equal names in load order whichever way the names
// run. The engine has no index for that order; this reads the list's IDs once.
std::vector<qint64> categoryOrder(clsADO &db, const QString &user, int cls, const SqlFilter &filter, bool descending);
// The rows of those IDs in the order given, skipping any gone meanwhile.
std::vector<LedgerRow> rowsById(clsADO &db, const QString &user, int cls, const std::vector<qint64> &ids);

// Whether the database lacks the indexes and per-day sums the paged lists read.
bool needsUpgrade(clsADO &db);
// Adds them in one transaction; progress(done, steps) is told after each step and
// returning false abandons the upgrade, leaving the database as it was (then false).
bool upgrade(clsADO &db, const std::function<bool(int done, int steps)> &progress);

} // namespace LedgerStore

// Records from the first day at 00:00 to the end of the last day, in local time.
SqlFilter dateRange(const QDate &first, const QDate &last);

// The filter of a period button (1 "全部", 2 "本年", 3 "本月", 4 "今日", 5..16 months 1..12
// of the current year), as a date range in local time over whole days.
SqlFilter periodFilter(int buttonIndex, const QDate &today);

} // namespace ht

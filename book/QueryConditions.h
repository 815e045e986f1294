#pragma once

#include "foundation/SqlFilter.h"

#include <QDate>
#include <QString>

namespace ht {

class clsADO;

// What the ticked boxes of the query dialog ask for, apart from the window.
struct SearchConditions {
    bool byDate = false;
    QDate from{}, to{};
    bool byCategory = false;
    qint64 incomeType = 0; // 0: no category chosen in that box
    qint64 expenseType = 0;
    bool byAmount = false;
    QString amount{};
    bool byMemo = false;
    QString memo{};

    bool anyTicked() const { return byDate || byCategory || byAmount || byMemo; }
    bool datesReversed() const { return byDate && from > to; }
};

// The query's filter and the list it reloads: 1 income, 0 expense, -1 both.
struct QueryPlan {
    SqlFilter filter;
    int cls = -1;
};

namespace QueryConditions {

// The date range, amount and memo clauses. A ticked box whose field says nothing
// (an empty memo, an amount that is zero or no number) adds none.
SqlFilter common(const SearchConditions &c);
// A chosen category narrows only its own list; the income box wins over the expense box.
QueryPlan forQuery(const SearchConditions &c);
// With both boxes chosen, the records of either category.
SqlFilter forDelete(const SearchConditions &c);

// How many of the user's records the filter picks.
qint64 countPicked(clsADO &db, const QString &user, const SqlFilter &filter);
// Moves them into the user's recycle bin as one entry, in one transaction; the number moved. An empty filter would pick
// every record of the user: nothing is deleted.
qint64 deletePicked(clsADO &db, const QString &user, const SqlFilter &filter);

} // namespace QueryConditions
} // namespace ht

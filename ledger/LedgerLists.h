#pragma once

#include "foundation/SqlFilter.h"

class QTreeView;
class QWidget;

namespace ht {

// The main window's two ledger lists as the windows of other subsystems reach them:
// the query dialog, export and print. 1 is income (ListView1), 0 expense (ListView2).
// They follow the stores' writes on their own, through book::changes().
class LedgerLists {
public:
    // The lists of this run; none before login.
    static LedgerLists *current();

    // A query's filter replaces the period until a period button is chosen. The list of
    // that class reloads (-1: both lists).
    virtual void applyQuery(const SqlFilter &filter, int cls = -1) = 0;
    // The period button the lists are under (1 all, 2 this year, 3 this month, 4 today,
    // 5..16 a month of this year), or 0 under a query.
    virtual int period() const = 0;
    virtual QTreeView *list(int cls) const = 0;
    // The window that owns the lists, as the parent of dialogs and messages.
    virtual QWidget *window() = 0;

protected:
    LedgerLists();
    ~LedgerLists();
};

} // namespace ht

#pragma once

#include "foundation/SqlFilter.h"

class QTreeView;
class QWidget;

namespace ht {

// The main window's two ledger lists as the windows of other subsystems reach them:
// the query dialog, backup, export and print. 1 is income (ListView1), 0 expense (ListView2).
class LedgerLists {
public:
    // The lists of this run; none before login.
    static LedgerLists *current();

    // Reloads a list under the ledger's filter.
    virtual void reload(int cls) = 0;
    // After one record of that class was added, changed or deleted: just its row,
    // the total and the balance, as a reload would show them.
    virtual void refreshRecord(int cls, qint64 id) = 0;
    // A query's filter replaces the period until a period button is chosen. The list of
    // that class reloads (-1: both lists).
    virtual void applyQuery(const SqlFilter &filter, int cls = -1) = 0;
    virtual QTreeView *list(int cls) const = 0;
    // The window that owns the lists, as the parent of dialogs and messages.
    virtual QWidget *window() = 0;

protected:
    LedgerLists();
    ~LedgerLists();
};

} // namespace ht

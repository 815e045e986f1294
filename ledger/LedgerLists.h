#pragma once

#include "foundation/Money.h"
#include "foundation/SqlFilter.h"

#include <QAction>

#include <functional>

class QTreeView;
class QWidget;

namespace ht {

// The main window as other subsystems reach it: the two ledger lists (1 is income,
// ListView1; 0 expense, ListView2) for the query dialog, export and print, and the
// commands a subsystem answers. The lists follow the stores' writes on their own,
// through book::changes().
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
    // The exact total of the records a list shows.
    virtual Money total(int cls) const = 0;
    // The window that owns the lists, as the parent of dialogs and messages.
    virtual QWidget *window() = 0;
    // A menu command by its object name ("mm_data"); the toolbar buttons and pop-up
    // items run the same action. A name the window lacks stops the program.
    virtual QAction *command(const char *name) const = 0;
    // Shows a short message in the status bar for a few seconds, with a button that runs
    // the action when one is given (the undo right after a delete).
    virtual void offer(const QString &message, QAction *action = nullptr) = 0;
    // Work for the moment the window closes and the program ends after it: the last
    // moment for what must run at the end of every session.
    virtual void whenClosing(std::function<void()> work) = 0;

protected:
    LedgerLists();
    ~LedgerLists();
};

// A subsystem's windows hooked to the main window: it connects the commands it answers.
using Attachment = std::function<void(LedgerLists &)>;

// Each time the command is chosen, a modal Dialog(window, args...) runs.
template <typename Dialog, typename... Args> void opensDialog(LedgerLists &lists, const char *command, Args... args)
{
    QWidget *window = lists.window();
    QObject::connect(lists.command(command), &QAction::triggered, window, [window, args...] {
        Dialog dialog(window, args...);
        dialog.exec();
    });
}

} // namespace ht

#include "memos/Memos.h"

#include "memos/frmMemoNote.h"

#include "ledger/LedgerLists.h"

#include <QAction>

namespace ht::memos {

void attach(LedgerLists &lists)
{
    QWidget *window = lists.window();
    QObject::connect(lists.command("mm_memoNote"), &QAction::triggered, window, [window] {
        frmMemoNote notes(window);
        notes.exec();
    });
}

} // namespace ht::memos

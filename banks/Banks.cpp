#include "banks/Banks.h"

#include "banks/frmBanks.h"

#include "ledger/LedgerLists.h"

#include <QAction>

namespace ht::banks {

void attach(LedgerLists &lists)
{
    QWidget *window = lists.window();
    QObject::connect(lists.command("mm_banks"), &QAction::triggered, window, [window] {
        frmBanks list(window);
        list.exec();
    });
}

} // namespace ht::banks

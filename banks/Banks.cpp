#include "banks/Banks.h"

#include "banks/frmBanks.h"

#include "ledger/MainWindow.h"

#include <QAction>

namespace ht::banks {

void attach(MainWindow &window)
{
    QObject::connect(window.mm_banks, &QAction::triggered, &window, [&window] {
        frmBanks list(&window);
        list.exec();
    });
}

} // namespace ht::banks

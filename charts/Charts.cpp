#include "charts/Charts.h"

#include "charts/frmCharts.h"

#include <QPointer>

namespace ht::charts {

void attach(LedgerLists &lists)
{
    // One window at a time beside the main window, so that a drill-down shows in the lists
    // while the charts stay open.
    auto open = std::make_shared<QPointer<frmCharts>>();
    QObject::connect(lists.command("mm_chart"), &QAction::triggered, lists.window(), [&lists, open] {
        if (!*open) {
            *open = new frmCharts(&lists, lists.window());
            (*open)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*open)->show();
        (*open)->raise();
        (*open)->activateWindow();
    });
}

} // namespace ht::charts

#include "categories/Categories.h"

#include "categories/frmTypes.h"
#include "categories/searchDialog.h"

#include "ledger/LedgerLists.h"

#include <QAction>

namespace ht::categories {

void attach(LedgerLists &lists)
{
    QWidget *window = lists.window();
    QObject::connect(lists.command("mm_types"), &QAction::triggered, window, [window] {
        frmTypes types(window);
        types.exec();
    });
    for (const auto &[command, deleting] : {std::pair("mm_search", false), std::pair("mm_Del", true)}) {
        QObject::connect(lists.command(command), &QAction::triggered, window, [window, deleting = deleting] {
            searchDialog search(window, deleting);
            search.exec();
        });
    }
}

} // namespace ht::categories

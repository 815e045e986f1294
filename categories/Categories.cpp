#include "categories/Categories.h"

#include "categories/frmTypes.h"
#include "categories/searchDialog.h"

#include "ledger/MainWindow.h"

#include <QAction>

namespace ht::categories {

void attach(MainWindow &window)
{
    QObject::connect(window.mm_types, &QAction::triggered, &window, [&window] {
        frmTypes types(&window);
        types.exec();
    });
    for (const auto &[action, deleting] : {std::pair(window.mm_search, false), std::pair(window.mm_Del, true)}) {
        QObject::connect(action, &QAction::triggered, &window, [&window, deleting = deleting] {
            searchDialog search(&window, deleting);
            search.exec();
        });
    }
}

} // namespace ht::categories

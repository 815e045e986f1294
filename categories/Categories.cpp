#include "categories/Categories.h"

#include "categories/frmTypes.h"
#include "categories/searchDialog.h"

#include "ledger/MainWindow.h"

#include "foundation/Program.h"

#include <QAction>

namespace ht::categories {

void attach(main &window)
{
    QObject::connect(window.mm_types, &QAction::triggered, &window, [&window] {
        frmTypes types(&window);
        types.exec();
    });
    // The query dialog's mode comes from frmStyle: 0 query, 1 batch delete.
    for (const auto &[action, mode] : {std::pair(window.mm_search, 0), std::pair(window.mm_Del, 1)}) {
        QObject::connect(action, &QAction::triggered, &window, [&window, mode = mode] {
            program::session().frmStyle = qint16(mode);
            searchDialog search(&window);
            search.exec();
        });
    }
}

} // namespace ht::categories

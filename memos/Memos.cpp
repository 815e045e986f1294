#include "memos/Memos.h"

#include "memos/frmMemoNote.h"

#include "ledger/MainWindow.h"

#include <QAction>

namespace ht::memos {

void attach(MainWindow &window)
{
    QObject::connect(window.mm_memoNote, &QAction::triggered, &window, [&window] {
        frmMemoNote notes(&window);
        notes.exec();
    });
}

} // namespace ht::memos

#include "Module1.h"

#include "LedgerStore.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Program.h"
#include "clsADO.h"

#include <QLabel>

namespace ht {

void LoadLedgerList(int cls, const SqlFilter &filter)
{
    main *w = main::instance();
    if (!w)
        return;
    if (cls > 1)
        cls = 1;
    try {
        const Money total = LedgerStore::loadInto(w->model(cls), program::db(), program::session().userName, cls, filter);
        w->setTotal(cls, total);
    } catch (const DbError &e) {
        showFailure(w, e.message());
        return;
    }
    ShowBalance();
}

void ShowBalance()
{
    main *w = main::instance();
    if (!w)
        return;
    w->Label4->setText(QStringLiteral("￥") + (w->total(1) - w->total(0)).balanceText());
}

} // namespace ht

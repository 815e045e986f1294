#include "ledger/LedgerLoad.h"

namespace ht::LedgerStore {

Money loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    model.setRows(load(db, user, cls, filter));
    return model.total();
}

void refreshRecord(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id)
{
    if (const std::optional<LedgerRow> r = row(db, user, cls, filter, id))
        model.putRow(*r);
    else
        model.removeId(id);
}

} // namespace ht::LedgerStore

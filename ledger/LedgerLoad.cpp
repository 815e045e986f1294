#include "ledger/LedgerLoad.h"

#include "foundation/DbTask.h"
#include "foundation/Program.h"

namespace ht::LedgerStore {

Money loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    model.show(db, user, cls, filter);
    return model.total();
}

void refreshRecord(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id)
{
    if (model.windowed())
        return model.refresh(db);
    if (const std::optional<LedgerRow> r = row(db, user, cls, filter, id))
        model.putRow(*r);
    else
        model.removeId(id);
}

} // namespace ht::LedgerStore

namespace ht {

bool LoadLedgerList(LedgerModel &model, int cls, const SqlFilter &filter, QWidget *parent)
{
    return withDb(parent, [&](clsADO &db) {
        LedgerStore::loadInto(model, db, program::session().userName, cls > 1 ? 1 : cls, filter);
    });
}

} // namespace ht

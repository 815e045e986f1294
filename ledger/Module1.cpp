#include "ledger/Module1.h"

#include "ledger/LedgerLoad.h"

#include "foundation/DbTask.h"
#include "foundation/Program.h"

namespace ht {

bool LoadLedgerList(LedgerModel &model, int cls, const SqlFilter &filter, QWidget *parent)
{
    return withDb(parent, [&](clsADO &db) {
        LedgerStore::loadInto(model, db, program::session().userName, cls > 1 ? 1 : cls, filter);
    });
}

} // namespace ht

#include "app/Subsystems.h"

#include "backup/Backup.h"
#include "banks/Banks.h"
#include "categories/Categories.h"
#include "charts/Charts.h"
#include "import/Import.h"
#include "login/UserCommands.h"
#include "memos/Memos.h"
#include "recycle/Recycle.h"

namespace ht {

QList<Attachment> subsystems()
{
    return {login::attach,  categories::attach, banks::attach,      memos::attach,
            backup::attach, charts::attach,     billimport::attach, recycle::attach};
}

} // namespace ht

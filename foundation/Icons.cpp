#include "foundation/Icons.h"

namespace ht {

QIcon icon(const QString &name)
{
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
}

} // namespace ht

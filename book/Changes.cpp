#include "book/Changes.h"

namespace ht::book {

void Changes::announce(Change what, int cls, qint64 id)
{
    Q_EMIT changed(what, cls, id);
}

Changes &changes()
{
    static Changes instance;
    return instance;
}

} // namespace ht::book

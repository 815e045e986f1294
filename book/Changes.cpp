#include "book/Changes.h"

namespace ht::book {

void Changes::announce(Change what, int cls)
{
    Q_EMIT changed(what, cls);
}

Changes &changes()
{
    static Changes instance;
    return instance;
}

} // namespace ht::book

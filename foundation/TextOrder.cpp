#include "foundation/TextOrder.h"

#include <QLocale>

namespace ht {

const QCollator &chineseCollator()
{
    static const QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    return collator;
}

int compareTexts(const QString &a, const QString &b)
{
    const int c = chineseCollator().compare(a, b);
    return c != 0 ? c : (b < a) - (a < b);
}

} // namespace ht

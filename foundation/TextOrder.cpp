#include "foundation/TextOrder.h"

#include <QLocale>

#include <unicode/ucol.h>

#include <memory>

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

QByteArray textSortKey(const QString &text)
{
    // Opened as QCollator opens its ICU collator for that locale, so both give one order.
    thread_local const std::unique_ptr<UCollator, void (*)(UCollator *)> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *c = ucol_open("zh_CN", &status);
        ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(c, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
        ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        return std::unique_ptr<UCollator, void (*)(UCollator *)>(c, ucol_close);
    }();
    const auto *units = reinterpret_cast<const UChar *>(text.utf16());
    QByteArray key(64 + text.size() * 4, Qt::Uninitialized);
    int length = ucol_getSortKey(collator.get(), units, int(text.size()), reinterpret_cast<uint8_t *>(key.data()),
                                 int(key.size()));
    if (length > key.size()) {
        key.resize(length);
        length = ucol_getSortKey(collator.get(), units, int(text.size()), reinterpret_cast<uint8_t *>(key.data()),
                                 int(key.size()));
    }
    // The key ends in its only zero byte; texts the collator calls equal then follow
    // compareTexts' tie order, their UTF-16 code units, high byte first.
    key.resize(length);
    key.reserve(length + text.size() * 2);
    for (const QChar c : text) {
        key.append(char(c.unicode() >> 8));
        key.append(char(c.unicode() & 0xff));
    }
    return key;
}

} // namespace ht

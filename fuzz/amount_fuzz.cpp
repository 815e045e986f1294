// Typed amounts: whatever is accepted must read back from its own text to the same cents.
#include "foundation/Money.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString typed = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<ht::Money> m = ht::Money::parse(typed);
    if (!m)
        return 0;
    for (const QString &shown : {m->text(), m->balanceText()}) {
        const std::optional<ht::Money> again = ht::Money::parse(shown);
        if (!again || again->cents() != m->cents())
            __builtin_trap();
    }
    return 0;
}

// Settings files as another program or a damaged disk may leave them: reading any key
// never fails, and a written value reads back whatever surrounds it.
#include "foundation/clsRWIni.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray contents(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString section = QStringLiteral("config");
    ht::profile::value(contents, section, QStringLiteral("server"));
    const QByteArray written = ht::profile::withValue(contents, section, QStringLiteral("Version"),
                                                      QStringLiteral("1.2.9"));
    if (ht::profile::value(written, QStringLiteral("CONFIG"), QStringLiteral("version")) != QStringLiteral("1.2.9"))
        __builtin_trap();
    return 0;
}

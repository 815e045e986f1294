// The update list as any server may send it: read or refused, never more.
#include "update/updateModule.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // A list is only what names "<files>".
    if (ht::update::offeredVersion(bytes) && !bytes.contains("<files>"))
        __builtin_trap();
    ht::update::parseServer(QString::fromUtf8(bytes), {});
    return 0;
}

// The update list as any server may send it: read or refused, never more; the versions
// compared and the server setting as anyone may write them.
#include "update/UpdateRules.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // A list is only what names "<files>", and offers only a short version or none.
    const std::optional<QString> offered = ht::update::offeredVersion(bytes);
    if (offered && (!bytes.contains("<files>") || (!offered->isEmpty() && !ht::update::readVersion(*offered))))
        __builtin_trap();
    // Versions as update.ini may hold them: never both newer than the other.
    const QString text = QString::fromUtf8(bytes);
    const qsizetype half = text.size() / 2;
    if (ht::update::isNewer(text.left(half), text.mid(half)) && ht::update::isNewer(text.mid(half), text.left(half)))
        __builtin_trap();
    ht::update::parseServer(text, text);
    return 0;
}

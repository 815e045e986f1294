// Workbooks: a damaged archive or sheet is refused with a reason, never read past.
#include "import/XlsxRead.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    if (!ht::bill::readXlsx(bytes, &error) && error.isEmpty())
        __builtin_trap();
    return 0;
}

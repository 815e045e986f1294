// Statements: any bytes give either rows or a reason, never both empty; every row to
// import has a moment, a direction and a positive amount.
#include "import/BillParse.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ht::Bill bill = ht::bill::parse(bytes);
    if (bill.error.isEmpty() == bill.rows.isEmpty())
        __builtin_trap();
    for (const ht::BillRow &r : bill.rows) {
        if (r.skipped.isEmpty()
            && (!r.when.isValid() || r.direction == ht::BillRow::Direction::Neutral || r.amount <= ht::Money()))
            __builtin_trap();
    }
    return 0;
}

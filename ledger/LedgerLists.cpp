#include "ledger/LedgerLists.h"

namespace ht {
namespace {
LedgerLists *g_current = nullptr;
}

LedgerLists::LedgerLists()
{
    g_current = this;
}

LedgerLists::~LedgerLists()
{
    if (g_current == this)
        g_current = nullptr;
}

LedgerLists *LedgerLists::current()
{
    return g_current;
}

} // namespace ht

#pragma once

#include "ledger/LedgerLists.h"

#include <QList>

namespace ht {

// Every subsystem that answers commands of the main window, as the program attaches them.
QList<Attachment> subsystems();

} // namespace ht

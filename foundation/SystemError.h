#pragma once

#include <QString>

namespace ht {

// Why a file operation failed, for the user: the common causes in the program's words,
// the system's own text for the rest.
QString systemErrorText(int errnum);

// A write that failed for want of room: the disk, the user's quota, or a size limit.
bool isDiskFull(int errnum);

} // namespace ht

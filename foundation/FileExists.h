#pragma once

#include <QString>

namespace ht {

// A normal (not hidden) file exists; wildcards match any file.
bool fileExists(const QString &fileName);

} // namespace ht

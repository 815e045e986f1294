#pragma once

#include <QString>

namespace ht {

// Names that identify rows (users, categories, accounts) are kept without "'" and "%",
// as they always have been: stored names and the names typed to find them must agree.
inline QString SQLCut(const QString &name)
{
    QString s = name;
    s.remove(QLatin1Char('\''));
    s.remove(QLatin1Char('%'));
    return s;
}

} // namespace ht

#pragma once

#include <QIcon>
#include <QString>

namespace ht {

// The program's pictures by name: "confirm", "close", "app", "income", ...
QIcon icon(const QString &name);
inline QIcon icon(const char *name)
{
    return icon(QString::fromLatin1(name));
}

} // namespace ht

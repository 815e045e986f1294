#include "foundation/FileExists.h"

#include <QDir>
#include <QFileInfo>

namespace ht {

bool fileExists(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const QFileInfo info(fileName);
    if (fileName.contains(QLatin1Char('*')) || fileName.contains(QLatin1Char('?'))) {
        const QDir dir = info.dir();
        return !dir.entryList({info.fileName()}, QDir::Files).isEmpty();
    }
    return info.isFile() && !info.isHidden();
}

} // namespace ht

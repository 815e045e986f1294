#include "Program.h"

#include "Version.h"
#include "clsADO.h"

#include <QCoreApplication>
#include <QDir>

#include <malloc.h>
#include <memory>

namespace ht {
namespace {
QString g_dirOverride;
std::unique_ptr<clsADO> g_db;
} // namespace

QString program::versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(build::versionMajor)
        .arg(build::versionMinor)
        .arg(build::versionRevision);
}

QString program::dir()
{
    if (!g_dirOverride.isEmpty())
        return g_dirOverride;
    return QCoreApplication::applicationDirPath();
}

QString program::pathIn(const QString &fileName)
{
    return QDir(dir()).filePath(fileName);
}

void program::setDir(const QString &folder)
{
    g_dirOverride = folder;
    g_db.reset();
}

program::Session &program::session()
{
    static Session s;
    return s;
}

clsADO &program::db()
{
    if (!g_db)
        g_db = std::make_unique<clsADO>();
    return *g_db;
}

void program::releaseShared()
{
    g_db.reset();
}

void trimWorkingSet()
{
    malloc_trim(0);
}

} // namespace ht

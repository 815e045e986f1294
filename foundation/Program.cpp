#include "Program.h"

#include "Version.h"
#include "clsADO.h"
#include "clsRWIni.h"

#include <QSettings>

#include <QCoreApplication>
#include <QDir>

#include <malloc.h>
#include <memory>

namespace ht {
namespace {
QString g_dirOverride;
std::unique_ptr<clsADO> g_db;
std::unique_ptr<clsRWIni> g_ini;
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
    releaseShared();
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

clsRWIni &program::ini()
{
    if (!g_ini)
        g_ini = std::make_unique<clsRWIni>();
    return *g_ini;
}

void program::releaseShared()
{
    g_db.reset();
    g_ini.reset();
}

// Application name pursewick, section Hearthtally: where the updater looks for the running program.
void program::writeStoreValue(const QString &key, const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(exeName));
    store.setValue(QString::fromLatin1(title) + QLatin1Char('/') + key, value);
}

QString program::readStoreValue(const QString &key)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(exeName));
    return store.value(QString::fromLatin1(title) + QLatin1Char('/') + key).toString();
}

void trimWorkingSet()
{
    malloc_trim(0);
}

} // namespace ht

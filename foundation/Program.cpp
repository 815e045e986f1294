#include "foundation/Program.h"

#include "foundation/Version.h"
#include "foundation/clsRWIni.h"

#include <QSettings>

#include <QCoreApplication>
#include <QDir>

#include <malloc.h>
#include <memory>

namespace ht {
namespace {
QString g_dirOverride;
QDate g_today;
std::unique_ptr<clsRWIni> g_ini;
} // namespace

QString program::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(build::versionMajor).arg(build::versionMinor).arg(build::versionRevision);
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

QDate program::today()
{
    return g_today.isValid() ? g_today : QDate::currentDate();
}

void program::setToday(const QDate &date)
{
    g_today = date;
}

program::Session &program::session()
{
    static Session s;
    return s;
}

clsRWIni &program::ini()
{
    if (!g_ini)
        g_ini = std::make_unique<clsRWIni>();
    return *g_ini;
}

void program::releaseShared()
{
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

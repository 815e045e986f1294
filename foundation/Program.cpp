#include "foundation/Program.h"

#include "foundation/Version.h"
#include "foundation/clsRWIni.h"

#include <QFile>
#include <QFileInfo>
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

namespace {

// Application name pursewick, section Hearthtally: where the updater looks for the running program.
// The file also keeps remembered logins, so only this system user may read it.
void changeStore(const QString &key, const QVariant *value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(program::exeName));
    const QString path = QString::fromLatin1(program::title) + QLatin1Char('/') + key;
    if (!value && !store.contains(path))
        return;
    const QString file = store.fileName();
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile created(file);
        if (created.open(QIODevice::WriteOnly))
            created.setPermissions(ownerOnly);
    }
    QFile::setPermissions(file, ownerOnly);
    if (value)
        store.setValue(path, *value);
    else
        store.remove(path);
    store.sync();
    QFile::setPermissions(file, ownerOnly);
}

} // namespace

void program::writeStoreValue(const QString &key, const QString &value)
{
    const QVariant v(value);
    changeStore(key, &v);
}

void program::removeStoreValue(const QString &key)
{
    changeStore(key, nullptr);
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

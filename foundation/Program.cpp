#include "foundation/Program.h"

#include "foundation/Version.h"
#include "foundation/clsRWIni.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <malloc.h>
#include <memory>

namespace ht {
namespace {
QString g_dirOverride;
bool g_installed = false;
QDate g_today;
std::unique_ptr<clsRWIni> g_ini;
} // namespace

QString program::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(build::versionMajor).arg(build::versionMinor).arg(build::versionRevision);
}

QString program::dir()
{
    return g_dirOverride.isEmpty() ? exeDir() : g_dirOverride;
}

QString program::exeDir()
{
    return QCoreApplication::applicationDirPath();
}

bool program::keepsDataBeside(const QString &exeDir)
{
    return QFileInfo::exists(QDir(exeDir).filePath(QStringLiteral("syslibs.dll"))) && QFileInfo(exeDir).isWritable();
}

program::DataPlace program::settleDataPlace(const QString &exeDir, const QString &userDir)
{
    if (keepsDataBeside(exeDir))
        return {false, exeDir, {}};
    const QString db = QStringLiteral("syslibs.dll");
    DataPlace place{true, userDir, {}};
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QDir().mkpath(userDir) || !QFile::setPermissions(userDir, ownerOnly | QFileDevice::ExeOwner)) {
        place.error = QStringLiteral("无法建立数据文件夹 %1").arg(QDir::toNativeSeparators(userDir));
        return place;
    }
    const QString target = QDir(userDir).filePath(db);
    if (QFileInfo::exists(target))
        return place;
    const QString shipped = QDir::cleanPath(exeDir + QStringLiteral("/../share/hearthtally/") + db);
    // Copied under another name first, so a failed copy never leaves a half database behind.
    const QString part = target + QStringLiteral(".new");
    QFile::remove(part);
    if (!QFile::copy(shipped, part) || !QFile::setPermissions(part, ownerOnly) || !QFile::rename(part, target)) {
        QFile::remove(part);
        place.error = QStringLiteral("无法从 %1 建立数据库 %2")
                          .arg(QDir::toNativeSeparators(shipped), QDir::toNativeSeparators(target));
    }
    return place;
}

program::DataPlace program::chooseDataPlace()
{
    const DataPlace place = settleDataPlace(exeDir(),
                                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    useDataPlace(place);
    return place;
}

void program::useDataPlace(const DataPlace &place)
{
    g_installed = place.installed;
    setDir(place.folder);
}

bool program::installed()
{
    return g_installed;
}

QString program::updatedByPackageManager()
{
    return QStringLiteral("本程序由系统的软件包管理器安装，请用它来升级。");
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

#include "backup/AutoBackup.h"

#include "foundation/DbFile.h"
#include "foundation/clsRWIni.h"

#include <QDir>
#include <QFileInfo>

namespace ht::backup {
namespace {

const QString section = QStringLiteral("backup");
const QString failureKey = QStringLiteral("lastfailure");

} // namespace

QString writeDailyBackup(const QString &dbPath, const QDate &today)
{
    QDir folder(dailyBackupFolder(dbPath));
    if (!folder.mkpath(QStringLiteral(".")))
        return QStringLiteral("无法创建文件夹：") + folder.path();
    const QString name = QStringLiteral("syslibs-%1.dbk").arg(today.toString(QStringLiteral("yyyy-MM-dd")));
    if (!folder.exists(name)) {
        const QString why = copyDatabaseFile(dbPath, folder.filePath(name));
        if (!why.isEmpty())
            return why;
    }
    // The names sort by date; the oldest go.
    const QStringList all = folder.entryList({QStringLiteral("syslibs-\?\?\?\?-\?\?-\?\?.dbk")}, QDir::Files,
                                             QDir::Name);
    for (qsizetype i = 0; i + keptDailyBackups < all.size(); ++i)
        folder.remove(all[i]);
    return {};
}

void noteBackupFailure(const QString &iniPath, const QString &reason)
{
    clsRWIni ini;
    ini.SpecifyIni(iniPath);
    QString oneLine = reason;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    ini.WriteString(section, failureKey, oneLine);
}

QString takeBackupFailure(const QString &iniPath)
{
    clsRWIni ini;
    ini.SpecifyIni(iniPath);
    const QString reason = ini.ReadString(section, failureKey, 2048);
    if (!reason.isEmpty())
        ini.WriteString(section, failureKey, QString());
    return reason;
}

} // namespace ht::backup

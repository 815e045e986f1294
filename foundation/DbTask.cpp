#include "foundation/DbTask.h"

#include "foundation/DbFile.h"
#include "foundation/MessageBox.h"
#include "foundation/ProgramExit.h"

#include <QDir>

namespace ht {

void reportDbFailure(QWidget *parent, const DbError &error)
{
    showFailure(parent, error.userMessage());
}

void installDatabaseFailureHandling()
{
    clsADO::setOpenFailureHandler([](const QString &dbPath, const QString &why) {
        QString text = QStringLiteral("数据库打开失败，请重新启动软件！\r\n\r\n") + why;
        // The program cannot start without its data, so the way back is told here.
        const QDir backups(dailyBackupFolder(dbPath));
        const QStringList copies = backups.entryList({QStringLiteral("*.dbk")}, QDir::Files, QDir::Name);
        if (!copies.isEmpty())
            text += QStringLiteral("\r\n\r\n最近的自动备份是 %1，可将它复制为 %2，再启动软件。")
                        .arg(QDir::toNativeSeparators(backups.filePath(copies.last())),
                             QDir::toNativeSeparators(dbPath));
        showFailure(nullptr, text);
        endProgram(1);
    });
}

} // namespace ht

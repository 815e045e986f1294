#include "backup/Backup.h"

#include "backup/AutoBackup.h"
#include "backup/dataDialog.h"
#include "backup/exportDialog.h"
#include "backup/printDialog.h"

#include "ledger/LedgerLists.h"

#include "foundation/DbFile.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QTimer>

namespace ht::backup {
namespace {

QString configPath()
{
    return program::pathIn(QStringLiteral("config.ini"));
}

} // namespace

void attach(LedgerLists &lists)
{
    opensDialog<dataDialog>(lists, "mm_data");
    opensDialog<exportDialog>(lists, "mm_export");
    opensDialog<printDialog>(lists, "mm_print");

    lists.whenClosing([] {
        // Never in the way of closing: a failure is only noted for the next start.
        try {
            const QString why = writeDailyBackup(program::db().dbDir(), program::today());
            if (!why.isEmpty())
                noteBackupFailure(configPath(), why);
        } catch (const std::exception &e) {
            noteBackupFailure(configPath(), QString::fromLocal8Bit(e.what()));
        }
    });
    // Told once the window is up, not before it.
    QWidget *window = lists.window();
    QTimer::singleShot(0, window, [window] {
        const QString why = takeBackupFailure(configPath());
        if (!why.isEmpty())
            showMessage(window,
                        QStringLiteral("上次退出时未能自动备份数据（备份文件夹：%1）。\r\n\r\n原因：%2")
                            .arg(dailyBackupFolder(program::db().dbDir()), why),
                        QString::fromLatin1(program::title), MsgButtons::Ok, MsgIcon::Warning);
    });
}

} // namespace ht::backup

#include "backup/Backup.h"

#include "backup/AutoBackup.h"
#include "backup/dataDialog.h"
#include "backup/exportDialog.h"
#include "backup/printDialog.h"

#include "ledger/MainWindow.h"

#include "foundation/DbFile.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAction>
#include <QTimer>

namespace ht::backup {
namespace {

QString configPath()
{
    return program::pathIn(QStringLiteral("config.ini"));
}

template <typename Dialog> void opens(MainWindow &window, QAction *action)
{
    QObject::connect(action, &QAction::triggered, &window, [&window] {
        Dialog dialog(&window);
        dialog.exec();
    });
}

} // namespace

void attach(MainWindow &window)
{
    opens<dataDialog>(window, window.mm_data);
    opens<exportDialog>(window, window.mm_export);
    opens<printDialog>(window, window.mm_print);

    QObject::connect(&window, &MainWindow::closing, &window, [] {
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
    QTimer::singleShot(0, &window, [&window] {
        const QString why = takeBackupFailure(configPath());
        if (!why.isEmpty())
            showMessage(&window,
                        QStringLiteral("上次退出时未能自动备份数据（备份文件夹：%1）。\r\n\r\n原因：%2")
                            .arg(dailyBackupFolder(program::db().dbDir()), why),
                        QString::fromLatin1(program::title), MsgButtons::Ok, MsgIcon::Warning);
    });
}

} // namespace ht::backup

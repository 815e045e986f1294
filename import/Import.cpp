#include "import/Import.h"

#include "import/BillModel.h"
#include "import/BillParse.h"
#include "import/BillPreview.h"
#include "import/ColumnsDialog.h"

#include "ledger/LedgerLists.h"

#include "book/ImportStore.h"
#include "book/RecordStore.h"

#include "foundation/DbTask.h"
#include "foundation/FileDialog.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"
#include "foundation/clsRWIni.h"

#include <QProgressDialog>

namespace ht::billimport {
namespace {

const QString title = QStringLiteral("导入账单");

void tell(QWidget *parent, const QString &text, MsgIcon icon = MsgIcon::Information)
{
    showMessage(parent, text, title, MsgButtons::Ok, icon);
}

void importBill(QWidget *window)
{
    const QString path = chooseFile(window,
                                    {FileDialogKind::Open,
                                     QStringLiteral("选择微信支付或支付宝账单"),
                                     {},
                                     QStringLiteral("账单文件(*.csv *.xlsx);;所有文件(*)")});
    if (path.isEmpty())
        return;
    QList<QStringList> table;
    Bill bill = bill::readFile(path, &table);
    if (bill.unknownKind && !table.isEmpty()) {
        // Another kind of statement: its columns as the user says, remembered per header row.
        const qsizetype header = bill::plainHeader(table).value_or(0);
        const QString key = bill::headerKey(table.at(header));
        clsRWIni config;
        config.SpecifyIni(program::pathIn(QStringLiteral("config.ini")));
        const auto remembered = bill::Columns::fromText(config.ReadString(QStringLiteral("importColumns"), key, 64));
        ColumnsDialog dialog(window, table.at(header), remembered);
        if (dialog.exec() != QDialog::Accepted)
            return;
        config.WriteString(QStringLiteral("importColumns"), key, dialog.columns().text());
        bill = bill::fromColumns(table, header, dialog.columns());
    }
    if (!bill.error.isEmpty())
        return tell(window, bill.error, MsgIcon::Warning);

    const QString &user = program::session().userName;
    QList<ImportStore::Plan> plans;
    QStringList categories[2];
    if (!withDb(window, [&](clsADO &db) {
            plans = ImportStore::plan(db, user, bill.provider, bill.rows);
            for (int cls : {0, 1}) {
                for (const Category &c : RecordStore::categories(db, user, cls))
                    categories[cls] << c.name;
            }
        }))
        return;
    BillPreview preview(window, bill, plans, categories);
    if (preview.exec() != QDialog::Accepted)
        return;
    const QList<ImportStore::Item> items = preview.model()->chosen();
    if (items.isEmpty())
        return tell(window, QStringLiteral("没有勾选要导入的收支，什么也没有写入。"));

    QProgressDialog progress(QStringLiteral("正在导入账单…"), QStringLiteral("取消"), 0, int(items.size()), window);
    progress.setObjectName(QStringLiteral("importProgress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    std::optional<int> added;
    const bool ok = withDb(window, [&](clsADO &db) {
        added = ImportStore::write(db, user, bill.provider, items, [&progress](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    });
    progress.reset();
    if (!ok)
        return;
    if (!added)
        return tell(window, QStringLiteral("导入已取消，没有写入任何记录。"));
    QString text = QStringLiteral("已导入 %1 条收支记录。").arg(*added);
    if (*added < items.size())
        text += QStringLiteral("另有 %1 条此前已经导入，没有重复写入。").arg(items.size() - *added);
    tell(window, text);
}

void undoLastImport(QWidget *window)
{
    if (!askOkCancel(window, QStringLiteral("确定要撤销上次导入的账单吗？导入后修改过的记录会保留。"),
                     QStringLiteral("撤销上次导入"), MsgIcon::Question))
        return;
    std::optional<ImportStore::Undone> undone;
    if (!withDb(window, [&](clsADO &db) { undone = ImportStore::undoLast(db, program::session().userName); }))
        return;
    if (!undone)
        return tell(window, QStringLiteral("没有可以撤销的导入。"));
    QString text = QStringLiteral("已撤销上次导入，删除了 %1 条记录").arg(undone->removed);
    if (undone->kept > 0)
        text += QStringLiteral("；%1 条导入后修改过的记录已保留").arg(undone->kept);
    tell(window, text + QStringLiteral("。"));
}

} // namespace

void attach(LedgerLists &lists)
{
    QWidget *window = lists.window();
    withDb(window, [](clsADO &db) { ImportStore::upgrade(db); });
    QObject::connect(lists.command("mm_import"), &QAction::triggered, window, [window] { importBill(window); });
    QObject::connect(lists.command("mm_undoImport"), &QAction::triggered, window, [window] { undoLastImport(window); });
}

} // namespace ht::billimport

#include "backup/exportDialog.h"

#include "backup/ListTable.h"
#include "backup/XlsxExport.h"

#include "ledger/LedgerLists.h"

#include "foundation/DialogKit.h"
#include "foundation/FileDialog.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QUrl>

namespace ht {
namespace {

FileOpener g_opener;

bool openFile(const QString &path)
{
    return g_opener ? g_opener(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

const QString failureTitle = QStringLiteral("导出失败");

} // namespace

void setFileOpener(FileOpener opener)
{
    g_opener = std::move(opener);
}

void dhListviewToExcel(QWidget *parent, const QTreeView &lvw, const QString &strFilename)
{
    backup::ListTable table = backup::takeList(lvw, true);
    if (table.rows.empty()) {
        showMessage(parent, QStringLiteral("当前没有任何可导出的数据。"), failureTitle, MsgButtons::Ok,
                    MsgIcon::Critical);
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString path = chooseFile(parent,
                                    {FileDialogKind::Save, QStringLiteral("导出数据"),
                                     QDir(folder).filePath(strFilename), QStringLiteral("Excel 工作簿(*.xlsx)")});
    if (path.isEmpty())
        return;

    QProgressDialog progress(QStringLiteral("正在导出数据…"), QStringLiteral("取消"), 0, int(table.rows.size()),
                             parent);
    progress.setWindowTitle(QStringLiteral("导出数据"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const backup::ExportOutcome outcome = backup::writeXlsx(path, table, [&](qsizetype done, qsizetype) {
        progress.setValue(int(done));
        return !progress.wasCanceled();
    });
    progress.reset();
    if (outcome.kind == backup::ExportOutcome::Cancelled)
        return;
    if (outcome.kind == backup::ExportOutcome::Failed) {
        showMessage(parent,
                    QStringLiteral("导出失败，原因如下：\r\n\r\n%1:   %2").arg(outcome.code).arg(outcome.description),
                    failureTitle, MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    if (!openFile(path))
        showMessage(parent,
                    QStringLiteral("您的系统未检测到Office办公软件的Excel\r\n\r\n数据已保存在：%1")
                        .arg(QDir::toNativeSeparators(path)),
                    QStringLiteral("Excel失败"), MsgButtons::Ok, MsgIcon::Critical);
}

exportDialog::exportDialog(QWidget *parent)
    : ChoiceDialog(parent,
                   {"exportDialog", QStringLiteral("导出数据"), QStringLiteral("我想要"),
                    QStringLiteral("导出当前收入记录到Excel"), QStringLiteral("导出当前支出记录到Excel"),
                    QStringLiteral("确定"), QStringLiteral("取消"), backup::incomeColour, backup::expenseColour})
{
    frameOverButtons(this, Frame1, OKButton, CancelButton);
    setUpDialog(this, OKButton, CancelButton);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        const int cls = Option1->isChecked() ? 1 : 0;
        const QString date = QLocale().toString(program::today(), QLocale::ShortFormat);
        const QString name = (cls ? QStringLiteral("当前收入记录_") : QStringLiteral("当前支出记录_"))
            + backup::makeFilename(date) + QStringLiteral(".xlsx");
        if (LedgerLists *lists = LedgerLists::current())
            dhListviewToExcel(this, *lists->list(cls), name);
        // One export per opening, whatever its outcome.
        accept();
    });
}

} // namespace ht

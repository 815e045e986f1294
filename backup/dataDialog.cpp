#include "backup/dataDialog.h"

#include "book/Changes.h"

#include "foundation/DbFile.h"
#include "foundation/DialogKit.h"
#include "foundation/FileDialog.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ht {
namespace {

const QString filter = QStringLiteral("文件类型(*.dbk)");

void showReason(QWidget *parent, const QString &reason)
{
    showMessage(parent, reason, QString::fromLatin1(program::title));
}

} // namespace

dataDialog::dataDialog(QWidget *parent)
    : ChoiceDialog(parent,
                   {"dataDialog", QStringLiteral("数据备份/恢复"), QStringLiteral("我想要"),
                    QStringLiteral("备份当前收支数据"), QStringLiteral("恢复以前备份的收支数据"),
                    QStringLiteral("确定"), QStringLiteral("退出")})
{
    auto *prompt = named(new QLabel(QStringLiteral("请选择要进行的操作："), this), "Label1");

    auto *frame = new QWidget(this);
    auto *column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(prompt);
    column->addWidget(Frame1);
    frameOverButtons(this, frame, OKButton, CancelButton);
    setUpDialog(this, OKButton, CancelButton);
    connect(OKButton, &QPushButton::clicked, this, [this] { Option1->isChecked() ? backUp() : restore(); });
}

void dataDialog::backUp()
{
    const QString caption = QStringLiteral("备份当前收支数据");
    const QString target = chooseFile(this, {FileDialogKind::Save, caption, program::dir(), filter});
    if (target.isEmpty())
        return;
    const QString why = copyDatabaseFile(program::db().dbDir(), target);
    if (!why.isEmpty())
        return showReason(this, QStringLiteral("备份失败。\r\n\r\n") + why);
    showMessage(this, QStringLiteral("备份成功！"), caption, MsgButtons::Ok, MsgIcon::Information);
    accept();
}

void dataDialog::restore()
{
    const QString source = chooseFile(
        this, {FileDialogKind::Open, QStringLiteral("请选择以前备份的数据文件"), program::dir(), filter});
    if (source.isEmpty())
        return;
    // No connection may hold the old file while it is swapped; between two user actions none does.
    program::db().CloseDB();
    const QString db = program::db().dbDir();
    const QString kept = db + QStringLiteral(".bak");
    const QString why = replaceDatabaseFile(db, source, kept);
    if (!why.isEmpty())
        return showReason(this, QStringLiteral("恢复失败，当前数据未作任何改动。\r\n\r\n") + why);
    showMessage(this,
                QStringLiteral("恢复成功！\r\n\r\n原来的数据已保存为 %1，如需找回可将它改名为 %2。")
                    .arg(QFileInfo(kept).fileName(), QFileInfo(db).fileName()),
                QStringLiteral("恢复当前收支数据"), MsgButtons::Ok, MsgIcon::Information);
    // Told once the user has read the outcome: the lists show the restored data as the dialog closes.
    book::changes().announce(book::Change::Database);
    accept();
}

} // namespace ht

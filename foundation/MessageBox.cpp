#include "foundation/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace ht {
namespace {
MessageHandler g_handler;

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void setMessageHandler(MessageHandler handler)
{
    g_handler = std::move(handler);
}

void showFailure(QWidget *parent, const QString &reason)
{
    showMessage(parent, QStringLiteral("操作失败：\r\n") + reason, QStringLiteral("系统错误"), MsgButtons::Ok,
                MsgIcon::Critical);
}

bool askOkCancel(QWidget *parent, const QString &question, const QString &title, MsgIcon icon)
{
    return showMessage(parent, question, title, MsgButtons::OkCancel, icon) == MsgAnswer::Ok;
}

bool confirmDeletingRecord(QWidget *parent)
{
    return askOkCancel(parent, QStringLiteral("提示：确定要删除这条记录吗？"), QStringLiteral("系统提示"));
}

MsgAnswer showMessage(QWidget *parent, const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon)
{
    if (g_handler)
        return g_handler(MessageRecord{text, title, buttons, icon});

    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, parent);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    QPushButton *cancel = nullptr;
    if (buttons == MsgButtons::OkCancel) {
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.exec();
    return box.clickedButton() == ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

} // namespace ht

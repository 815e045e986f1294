#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ht {

enum class MsgButtons { Ok, OkCancel };
enum class MsgIcon { None, Critical, Question, Warning, Information };
enum class MsgAnswer { Ok, Cancel };

struct MessageRecord {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

// Every prompt of the program goes through here; the buttons read "确定" and "取消".
MsgAnswer showMessage(QWidget *parent, const QString &text, const QString &title, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None);

// An OK/cancel question; true when answered OK.
bool askOkCancel(QWidget *parent, const QString &question, const QString &title, MsgIcon icon = MsgIcon::None);
// The question before a record or a note is deleted.
bool confirmDeletingRecord(QWidget *parent);

// A failed operation, told in the program's words: "操作失败：" and the reason.
void showFailure(QWidget *parent, const QString &reason);

// Tests answer prompts through a handler instead of a modal box.
using MessageHandler = std::function<MsgAnswer(const MessageRecord &)>;
void setMessageHandler(MessageHandler handler);

} // namespace ht

#include "categories/newtypeDialog.h"

#include "book/TypesStore.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/NameText.h"
#include "foundation/Program.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ht {

newtypeDialog::newtypeDialog(QWidget *parent, int cls, qint64 id) : QDialog(parent)
{
    setObjectName(QStringLiteral("newtypeDialog"));
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(220);
    auto *box = new QVBoxLayout(Frame1);
    box->addWidget(labelFor(Text1, QStringLiteral("请输入类别名称：")));
    box->addWidget(Text1);
    typeId = hiddenValue(this, "typeId", id);
    classId = hiddenValue(this, "classId", cls);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));
    frameOverButtons(this, Frame1, OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &newtypeDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);

    setWindowTitle(id > 0 ? QStringLiteral("修改类别") : QStringLiteral("添加类别"));
    if (id > 0) {
        withDb(this, [&](clsADO &db) {
            if (const auto type = TypesStore::visible(db, program::session().userName, id))
                Text1->setText(type->name);
        });
        // A rename usually replaces the whole name: typing starts over it.
        Text1->selectAll();
    }
}

void newtypeDialog::OKButton_Click()
{
    const QString name = stripQuotesAndPercents(Text1->text());
    if (stripQuotesAndPercents(Text1->text().trimmed()).isEmpty()) {
        refuse(this, QStringLiteral("请输入类别名称"));
        Text1->setFocus();
        return;
    }
    const QString &user = program::session().userName;
    const qint64 id = typeId->text().toLongLong();
    const int cls = classId->text().toInt() >= 1 ? 1 : 0;
    bool taken = false;
    bool saved = false;
    const bool ok = withDb(this, [&](clsADO &db) {
        // The category being renamed does not count: a change of letter case is a rename.
        taken = TypesStore::nameTaken(db, user, cls, name, id);
        if (!taken)
            saved = id > 0 ? TypesStore::rename(db, user, id, name) : TypesStore::add(db, user, cls, name) > 0;
    });
    if (!ok)
        return;
    if (taken) {
        return refuse(this, QStringLiteral("您输入的类别名称【") + name + QStringLiteral("】已经存在"), Text1);
    }
    if (!saved) {
        return refuse(this, QStringLiteral("系统内置类别不能修改"));
    }
    accept();
}

} // namespace ht

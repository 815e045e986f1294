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

newtypeDialog::newtypeDialog(QWidget *parent, int cls, qint64 id) : QDialog(parent), m_id(id), m_cls(cls >= 1 ? 1 : 0)
{
    setObjectName(QStringLiteral("newtypeDialog"));
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_name = new QLineEdit(frame);
    m_name->setObjectName(QStringLiteral("Text1"));
    m_name->setMinimumWidth(220);
    auto *box = new QVBoxLayout(frame);
    box->addWidget(labelFor(m_name, QStringLiteral("请输入类别名称：")));
    box->addWidget(m_name);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));
    frameOverButtons(this, frame, OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &newtypeDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);

    setWindowTitle(id > 0 ? QStringLiteral("修改类别") : QStringLiteral("添加类别"));
    if (id > 0) {
        withDb(this, [&](clsADO &db) {
            if (const auto type = TypesStore::visible(db, program::session().userName, id))
                m_name->setText(type->name);
        });
        // A rename usually replaces the whole name: typing starts over it.
        m_name->selectAll();
    }
}

void newtypeDialog::OKButton_Click()
{
    const QString name = SQLCut(m_name->text());
    if (SQLCut(m_name->text().trimmed()).isEmpty()) {
        refuse(this, QStringLiteral("请输入类别名称"));
        m_name->setFocus();
        return;
    }
    const QString &user = program::session().userName;
    bool taken = false;
    bool saved = false;
    const bool ok = withDb(this, [&](clsADO &db) {
        // The category being renamed does not count: a change of letter case is a rename.
        taken = TypesStore::nameTaken(db, user, m_cls, name, m_id);
        if (!taken)
            saved = m_id > 0 ? TypesStore::rename(db, user, m_id, name) : TypesStore::add(db, user, m_cls, name) > 0;
    });
    if (!ok)
        return;
    if (taken) {
        return refuse(this, QStringLiteral("您输入的类别名称【") + name + QStringLiteral("】已经存在"), m_name);
    }
    if (!saved) {
        return refuse(this, QStringLiteral("系统内置类别不能修改"));
    }
    accept();
}

} // namespace ht

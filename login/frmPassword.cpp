#include "login/frmPassword.h"

#include "book/UserStore.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ht {

frmPassword::frmPassword(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("修改密码"));
    auto *frame = new QGroupBox(this);
    auto *passwordLabel = named(new QLabel(QStringLiteral("新登录密码："), frame), "Label1");
    auto *againLabel = named(new QLabel(QStringLiteral("确认新密码："), frame), "Label2");
    m_password = named(new QLineEdit(frame), "Text1");
    m_passwordAgain = named(new QLineEdit(frame), "Text2");
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(30, 16, 30, 16);
    grid->setVerticalSpacing(12);
    for (auto [row, label, box] :
         {std::tuple(0, passwordLabel, m_password), std::tuple(1, againLabel, m_passwordAgain)}) {
        usePasswordStars(box);
        box->setMinimumWidth(180);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    }
    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));
    frameOverButtons(this, frame, OKButton, CancelButton);
    connect(OKButton, &QPushButton::clicked, this, &frmPassword::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
}

void frmPassword::OKButton_Click()
{
    if (m_password->text().isEmpty())
        return refuse(this, QStringLiteral("请输入新登录密码"), m_password);
    if (m_passwordAgain->text() != m_password->text())
        return refuse(this, QStringLiteral("两次密码输入不一致"), m_passwordAgain);
    // Stored exactly as typed: the very text typed here is the one that logs in.
    if (!withDb(this, [&](clsADO &db) { UserStore::setPassword(db, program::session().userName, m_password->text()); }))
        return;
    showMessage(this, QStringLiteral("提示：密码修改成功"), QStringLiteral("系统提示"), MsgButtons::Ok,
                MsgIcon::Information);
    accept();
}

} // namespace ht

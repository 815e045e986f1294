#include "login/usersDialog.h"

#include "book/BuiltIn.h"
#include "book/UserStore.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/NameText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ht {
namespace {

const QString systemTitle = QStringLiteral("系统提示");
constexpr int longestName = 50;

} // namespace

usersDialog::usersDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("usersDialog"));
    setWindowTitle(QStringLiteral("用户管理"));

    auto *registerFrame = named(new QGroupBox(QStringLiteral("注册新用户"), this), "Frame1");
    auto *nameLabel = named(new QLabel(QStringLiteral("新用户名："), registerFrame), "Label1");
    auto *passwordLabel = named(new QLabel(QStringLiteral("登录密码："), registerFrame), "Label2");
    auto *againLabel = named(new QLabel(QStringLiteral("确认密码："), registerFrame), "Label3");
    m_newName = named(new QLineEdit(registerFrame), "Text1");
    m_password = named(new QLineEdit(registerFrame), "Text2");
    m_passwordAgain = named(new QLineEdit(registerFrame), "Text3");
    usePasswordStars(m_password);
    usePasswordStars(m_passwordAgain);
    auto *form = new QGridLayout;
    int row = 0;
    for (auto [label, box] : {std::pair(nameLabel, m_newName), std::pair(passwordLabel, m_password),
                              std::pair(againLabel, m_passwordAgain)}) {
        label->setBuddy(box);
        box->setMinimumWidth(180);
        form->addWidget(label, row, 0);
        form->addWidget(box, row++, 1);
    }
    BtnOk = dialogButton(registerFrame, "BtnOk", QStringLiteral("确定"));
    BtnCancel = dialogButton(registerFrame, "BtnCancel", QStringLiteral("退出"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto *register_ = new QVBoxLayout(registerFrame);
    register_->addLayout(form);
    register_->addLayout(buttons);

    auto *deleteFrame = named(new QGroupBox(QStringLiteral("删除已注册用户"), this), "Frame2");
    auto *deleteLabel = named(new QLabel(QStringLiteral("选择要删除的用户名："), deleteFrame), "Label4");
    m_deleteName = named(new QComboBox(deleteFrame), "Combo1");
    m_deleteName->setEditable(true);
    m_deleteName->setInsertPolicy(QComboBox::NoInsert);
    // A name typed for deletion is taken as typed, never completed to another.
    m_deleteName->setCompleter(nullptr);
    m_deleteName->setMinimumWidth(150);
    deleteLabel->setBuddy(m_deleteName);
    delBtn = named(new QPushButton(QStringLiteral("删除"), deleteFrame), "delBtn");
    delBtn->setAutoDefault(false);
    pressOnEnter(delBtn);
    // Enter in the delete box deletes; everywhere else it registers.
    pressOnEnter(delBtn, m_deleteName);
    auto *remove = new QHBoxLayout(deleteFrame);
    remove->addWidget(deleteLabel);
    remove->addWidget(m_deleteName, 1);
    remove->addWidget(delBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(registerFrame);
    layout->addWidget(deleteFrame);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_newName, m_password);
    setTabOrder(m_password, m_passwordAgain);
    setTabOrder(m_passwordAgain, BtnOk);
    setTabOrder(BtnOk, BtnCancel);
    setTabOrder(BtnCancel, m_deleteName);
    setTabOrder(m_deleteName, delBtn);

    connect(BtnOk, &QPushButton::clicked, this, &usersDialog::BtnOk_Click);
    connect(delBtn, &QPushButton::clicked, this, &usersDialog::delBtn_Click);
    setUpDialog(this, BtnOk, BtnCancel);
    fillList();
}

void usersDialog::fillList()
{
    QStringList names;
    withDb(this, [&](clsADO &db) { names = UserStore::names(db); });
    m_deleteName->clear();
    m_deleteName->addItems(names);
    m_deleteName->setCurrentIndex(-1);
}

void usersDialog::BtnOk_Click()
{
    // Checked trimmed, stored as cleaned but untrimmed.
    const QString name = SQLCut(m_newName->text());
    const QString checked = SQLCut(m_newName->text().trimmed());
    if (checked.isEmpty()) {
        refuse(this, QStringLiteral("请输入新登录用户名"));
        m_newName->setFocus();
        return;
    }
    if (checked.size() > longestName)
        return refuse(this, QStringLiteral("登录用户名过长，请重新输入"), m_newName);
    const QString password = SQLCut(m_password->text().trimmed());
    if (password.isEmpty() || password.size() > longestName)
        return refuse(this, QStringLiteral("请输入登录密码，不能超过50个字符"), m_password);
    if (m_passwordAgain->text() != m_password->text())
        return refuse(this, QStringLiteral("两次密码输入不一致"), m_passwordAgain);
    // That name owns the categories every user shares.
    if (name.compare(builtInOwner, Qt::CaseInsensitive) == 0)
        return refuse(this, QStringLiteral("用户名【") + name + QStringLiteral("】为系统保留，不能注册"), m_newName);

    bool taken = false;
    const bool ok = withDb(this, [&](clsADO &db) {
        taken = UserStore::exists(db, name);
        if (!taken)
            UserStore::add(db, name, m_passwordAgain->text()); // the password exactly as typed
    });
    if (!ok)
        return;
    if (taken)
        return refuse(this, QStringLiteral("用户名【") + name + QStringLiteral("】已经存在"), m_newName);
    showMessage(this,
                QStringLiteral("新用户注册成功！\r\n登录用户名：") + name + QStringLiteral("  登录密码：")
                    + m_passwordAgain->text(),
                QStringLiteral("注册成功"), MsgButtons::Ok, MsgIcon::Information);
    for (QLineEdit *box : {m_newName, m_password, m_passwordAgain})
        box->clear();
    fillList();
}

void usersDialog::delBtn_Click()
{
    const QString name = SQLCut(m_deleteName->currentText());
    if (name.isEmpty()) {
        refuse(this, QStringLiteral("请选择要删除的用户"));
        m_deleteName->setFocus();
        return;
    }
    if (name.compare(QStringLiteral("admin"), Qt::CaseInsensitive) == 0) {
        refuse(this, QStringLiteral("不能删除系统用户"));
        m_deleteName->setFocus();
        return;
    }
    bool removed = false;
    if (!withDb(this, [&](clsADO &db) { removed = UserStore::remove(db, name); }))
        return;
    if (!removed)
        return refuse(this, QStringLiteral("用户【") + name + QStringLiteral("】尚未注册"), m_deleteName);
    showMessage(this, QStringLiteral("用户【") + name + QStringLiteral("】删除成功！"), systemTitle, MsgButtons::Ok,
                MsgIcon::Critical);
    fillList();
}

} // namespace ht

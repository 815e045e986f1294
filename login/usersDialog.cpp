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

    Frame1 = named(new QGroupBox(QStringLiteral("注册新用户"), this), "Frame1");
    Label1 = named(new QLabel(QStringLiteral("新用户名："), Frame1), "Label1");
    Label2 = named(new QLabel(QStringLiteral("登录密码："), Frame1), "Label2");
    Label3 = named(new QLabel(QStringLiteral("确认密码："), Frame1), "Label3");
    Text1 = named(new QLineEdit(Frame1), "Text1");
    Text2 = named(new QLineEdit(Frame1), "Text2");
    Text3 = named(new QLineEdit(Frame1), "Text3");
    usePasswordStars(Text2);
    usePasswordStars(Text3);
    auto *form = new QGridLayout;
    int row = 0;
    for (auto [label, box] : {std::pair(Label1, Text1), std::pair(Label2, Text2), std::pair(Label3, Text3)}) {
        label->setBuddy(box);
        box->setMinimumWidth(180);
        form->addWidget(label, row, 0);
        form->addWidget(box, row++, 1);
    }
    BtnOk = dialogButton(Frame1, "BtnOk", QStringLiteral("确定"));
    BtnCancel = dialogButton(Frame1, "BtnCancel", QStringLiteral("退出"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto *register_ = new QVBoxLayout(Frame1);
    register_->addLayout(form);
    register_->addLayout(buttons);

    Frame2 = named(new QGroupBox(QStringLiteral("删除已注册用户"), this), "Frame2");
    Label4 = named(new QLabel(QStringLiteral("选择要删除的用户名："), Frame2), "Label4");
    Combo1 = named(new QComboBox(Frame2), "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // A name typed for deletion is taken as typed, never completed to another.
    Combo1->setCompleter(nullptr);
    Combo1->setMinimumWidth(150);
    Label4->setBuddy(Combo1);
    delBtn = named(new QPushButton(QStringLiteral("删除"), Frame2), "delBtn");
    delBtn->setAutoDefault(false);
    pressOnEnter(delBtn);
    // Enter in the delete box deletes; everywhere else it registers.
    pressOnEnter(delBtn, Combo1);
    auto *remove = new QHBoxLayout(Frame2);
    remove->addWidget(Label4);
    remove->addWidget(Combo1, 1);
    remove->addWidget(delBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, BtnOk);
    setTabOrder(BtnOk, BtnCancel);
    setTabOrder(BtnCancel, Combo1);
    setTabOrder(Combo1, delBtn);

    connect(BtnOk, &QPushButton::clicked, this, &usersDialog::BtnOk_Click);
    connect(delBtn, &QPushButton::clicked, this, &usersDialog::delBtn_Click);
    setUpDialog(this, BtnOk, BtnCancel);
    fillList();
}

void usersDialog::fillList()
{
    QStringList names;
    withDb(this, [&](clsADO &db) { names = UserStore::names(db); });
    Combo1->clear();
    Combo1->addItems(names);
    Combo1->setCurrentIndex(-1);
}

void usersDialog::BtnOk_Click()
{
    // Checked trimmed, stored as cleaned but untrimmed.
    const QString name = stripQuotesAndPercents(Text1->text());
    const QString checked = stripQuotesAndPercents(Text1->text().trimmed());
    if (checked.isEmpty()) {
        refuse(this, QStringLiteral("请输入新登录用户名"));
        Text1->setFocus();
        return;
    }
    if (checked.size() > longestName)
        return refuse(this, QStringLiteral("登录用户名过长，请重新输入"), Text1);
    const QString password = stripQuotesAndPercents(Text2->text().trimmed());
    if (password.isEmpty() || password.size() > longestName)
        return refuse(this, QStringLiteral("请输入登录密码，不能超过50个字符"), Text2);
    if (Text3->text() != Text2->text())
        return refuse(this, QStringLiteral("两次密码输入不一致"), Text3);
    // That name owns the categories every user shares.
    if (name.compare(builtInOwner, Qt::CaseInsensitive) == 0)
        return refuse(this, QStringLiteral("用户名【") + name + QStringLiteral("】为系统保留，不能注册"), Text1);

    bool taken = false;
    const bool ok = withDb(this, [&](clsADO &db) {
        taken = UserStore::exists(db, name);
        if (!taken)
            UserStore::add(db, name, Text3->text()); // the password exactly as typed
    });
    if (!ok)
        return;
    if (taken)
        return refuse(this, QStringLiteral("用户名【") + name + QStringLiteral("】已经存在"), Text1);
    showMessage(this,
                QStringLiteral("新用户注册成功！\r\n登录用户名：") + name + QStringLiteral("  登录密码：")
                    + Text3->text(),
                QStringLiteral("注册成功"), MsgButtons::Ok, MsgIcon::Information);
    for (QLineEdit *box : {Text1, Text2, Text3})
        box->clear();
    fillList();
}

void usersDialog::delBtn_Click()
{
    const QString name = stripQuotesAndPercents(Combo1->currentText());
    if (name.isEmpty()) {
        refuse(this, QStringLiteral("请选择要删除的用户"));
        Combo1->setFocus();
        return;
    }
    if (name.compare(QStringLiteral("admin"), Qt::CaseInsensitive) == 0) {
        refuse(this, QStringLiteral("不能删除系统用户"));
        Combo1->setFocus();
        return;
    }
    bool removed = false;
    if (!withDb(this, [&](clsADO &db) { removed = UserStore::remove(db, name); }))
        return;
    if (!removed)
        return refuse(this, QStringLiteral("用户【") + name + QStringLiteral("】尚未注册"), Combo1);
    showMessage(this, QStringLiteral("用户【") + name + QStringLiteral("】删除成功！"), systemTitle, MsgButtons::Ok,
                MsgIcon::Critical);
    fillList();
}

} // namespace ht

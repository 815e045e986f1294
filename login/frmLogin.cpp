#include "login/frmLogin.h"

#include "book/LoginStore.h"

#include "foundation/DbFile.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/FileExists.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ht {

namespace {
// Shown masked; never a password: the remembered login stands behind it.
const QString placeholder = QStringLiteral("        ");
} // namespace

frmLogin::frmLogin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("登录"));
    setWindowIcon(icon(QStringLiteral("app")));

    auto *banner = new QLabel(this);
    banner->setPixmap(icon(QStringLiteral("app")).pixmap(56, 56));
    auto *heading = new QLabel(QStringLiteral("<b style='font-size:15pt'>%1</b><br>家庭收支，一目了然")
                                   .arg(QString::fromLatin1(program::title)),
                               this);

    auto *userLabel = new QLabel(QStringLiteral("用户名(&U)："), this);
    userLabel->setObjectName(QStringLiteral("Label1"));
    txtUserName = new QComboBox(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtUserName->setEditable(true);
    txtUserName->setInsertPolicy(QComboBox::NoInsert);
    // The name is exactly what was typed or chosen, never completed from the list.
    txtUserName->setCompleter(nullptr);
    txtUserName->setMinimumWidth(180);
    userLabel->setBuddy(txtUserName);

    auto *passwordLabel = new QLabel(QStringLiteral("密  码(&P)："), this);
    passwordLabel->setObjectName(QStringLiteral("Label2"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    usePasswordStars(txtPassword);
    selectAllOnFocus(txtPassword);
    passwordLabel->setBuddy(txtPassword);

    m_remember = new QCheckBox(QStringLiteral("记住用户名密码"), this);
    m_remember->setObjectName(QStringLiteral("Check1"));

    // Enter anywhere but on the exit button logs in, through the default button alone, so one
    // key press never logs in twice.
    cmdOK = dialogButton(this, "cmdOK", QStringLiteral("登录"));
    cmdOK->setDefault(true);
    cmdCancel = dialogButton(this, "cmdCancel", QStringLiteral("退出"));

    auto *top = new QHBoxLayout;
    top->addWidget(banner);
    top->addWidget(heading, 1);

    auto *form = new QGridLayout;
    form->addWidget(userLabel, 0, 0);
    form->addWidget(txtUserName, 0, 1);
    form->addWidget(passwordLabel, 1, 0);
    form->addWidget(txtPassword, 1, 1);
    form->addWidget(m_remember, 2, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, m_remember);
    setTabOrder(m_remember, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(txtUserName, &QComboBox::activated, this, &frmLogin::txtUserName_Click);
    connect(txtPassword, &QLineEdit::textEdited, this, [this] { m_placeholder = false; });
    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    trimWhenClosed(this);
}

bool frmLogin::load()
{
    const QString file = program::db().dbDir();
    if (!fileExists(file)) {
        showMessage(this, QStringLiteral("错误提示：\r\n系统未找到文件：") + file + QStringLiteral("\r\n点击确定退出"),
                    QStringLiteral("系统错误"), MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }
    // Only the first running copy gets here: no other is in the middle of a copy.
    removeLeftoverCopies(file);
    setWindowTitle(QString::fromLatin1(program::title));
    setPictureButtons(cmdOK, cmdCancel);
    loadRemembered();
    return true;
}

void frmLogin::loadRemembered()
{
    QList<RememberedUser> users;
    bool olderTable = false;
    // Any other failure leaves the window as far as it got.
    withDbOr([&](clsADO &db) { users = LoginStore::remembered(db); },
             [&](const DbError &e) { olderTable = e.kind() == DbErrorKind::NoSuchColumn; });
    if (olderTable) {
        withDbOr([](clsADO &db) { LoginStore::upgradeAutouser(db); }, [](const DbError &) {});
        txtUserName->setEditText(QStringLiteral("admin"));
        return;
    }
    for (const RememberedUser &u : users)
        txtUserName->addItem(u.name);
    if (!users.isEmpty() && users.first().focus) {
        txtUserName->setCurrentIndex(0);
        showRemembered(true, users.first().usable);
    } else {
        txtUserName->setCurrentIndex(-1);
        txtUserName->setEditText(QString());
    }
}

void frmLogin::txtUserName_Click()
{
    RememberedUser row;
    withDbOr([&](clsADO &db) { row = LoginStore::rememberedRow(db, txtUserName->currentText()); },
             [](const DbError &) {});
    showRemembered(row.focus, row.usable);
}

// A remembered login that no longer lets the user in leaves the box for the password.
void frmLogin::showRemembered(bool focus, bool usable)
{
    m_placeholder = focus && usable;
    txtPassword->setText(m_placeholder ? placeholder : QString());
    m_remember->setChecked(focus);
}

void frmLogin::cmdOK_Click()
{
    if (result() == QDialog::Accepted || m_answering)
        return; // a key press that reaches both boxes must not count a second login
    const QString name = txtUserName->currentText();
    const QString password = txtPassword->text();
    const QString title = QStringLiteral("登录错误");
    if (name.isEmpty() || password.isEmpty()) {
        showMessage(this, QStringLiteral("用户名、密码不能为空"), title, MsgButtons::Ok, MsgIcon::Critical);
        focusAndSelect(txtUserName);
        return;
    }

    const auto proof = m_placeholder && password == placeholder ? LoginStore::Proof::Remembered
                                                                : LoginStore::Proof::Password;
    LoginStore::LoginOutcome outcome;
    {
        // The hash is slow by design; it stays short enough to wait for here.
        setCursor(Qt::WaitCursor);
        const bool done = withDb(
            this, [&](clsADO &db) { outcome = LoginStore::login(db, name, password, m_remember->isChecked(), proof); });
        unsetCursor();
        if (!done)
            return;
    }
    if (outcome.result != LoginResult::Ok) {
        const bool noSuchUser = outcome.result == LoginResult::NoSuchUser;
        const auto wait = throttle.failed(name);
        if (wait.count() == 0)
            return refuse(noSuchUser);
        m_answering = true;
        setCursor(Qt::WaitCursor);
        QTimer::singleShot(wait, this, [this, noSuchUser] {
            m_answering = false;
            unsetCursor();
            if (isVisible()) // not once the user has left
                refuse(noSuchUser);
        });
        return;
    }
    throttle.succeeded(name);

    if (outcome.readOnly)
        showMessage(this, QStringLiteral("数据库文件是只读的：可以查看记录，但所做的修改无法保存。"),
                    QString::fromLatin1(program::title), MsgButtons::Ok, MsgIcon::Warning);
    program::Session &s = program::session();
    s.userName = outcome.userName;
    s.loginCount = outcome.loginCount;
    Q_EMIT loggedIn();
    accept();
}

void frmLogin::refuse(bool noSuchUser)
{
    const QString title = QStringLiteral("登录错误");
    if (noSuchUser) {
        showMessage(this, QStringLiteral("用户名或密码错误"), title, MsgButtons::Ok, MsgIcon::Critical);
        focusAndSelect(txtUserName);
    } else {
        showMessage(this, QStringLiteral("用户名密码错误"), title, MsgButtons::Ok, MsgIcon::Critical);
        focusAndSelect(txtPassword);
    }
}

} // namespace ht

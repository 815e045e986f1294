#include "frmLogin.h"

#include "LoginStore.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "Program.h"
#include "clsADO.h"
#include "ctrcls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ht {

frmLogin::frmLogin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("登录"));
    setWindowIcon(picture(Picture::Program));

    auto *banner = new QLabel(this);
    banner->setPixmap(picture(Picture::Program).pixmap(56, 56));
    auto *heading = new QLabel(QStringLiteral("<b style='font-size:15pt'>%1</b><br>家庭收支，一目了然")
                                   .arg(QString::fromLatin1(program::title)),
                               this);

    Label1 = new QLabel(QStringLiteral("用户名(&U)："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtUserName = new QComboBox(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtUserName->setEditable(true);
    txtUserName->setInsertPolicy(QComboBox::NoInsert);
    txtUserName->setMinimumWidth(180);
    Label1->setBuddy(txtUserName);

    Label2 = new QLabel(QStringLiteral("密  码(&P)："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->installEventFilter(this);
    Label2->setBuddy(txtPassword);

    Check1 = new QCheckBox(QStringLiteral("记住用户名密码"), this);
    Check1->setObjectName(QStringLiteral("Check1"));

    cmdOK = new QPushButton(QStringLiteral("登录"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("退出"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter is handled by the two boxes alone, so one key press never logs in twice.
    for (QPushButton *b : {cmdOK, cmdCancel}) {
        b->setAutoDefault(false);
        b->setMinimumSize(81, 33);
        b->setIconSize(QSize(24, 24));
    }

    auto *top = new QHBoxLayout;
    top->addWidget(banner);
    top->addWidget(heading, 1);

    auto *form = new QGridLayout;
    form->addWidget(Label1, 0, 0);
    form->addWidget(txtUserName, 0, 1);
    form->addWidget(Label2, 1, 0);
    form->addWidget(txtPassword, 1, 1);
    form->addWidget(Check1, 2, 1);

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
    setTabOrder(txtPassword, Check1);
    setTabOrder(Check1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(txtUserName, &QComboBox::activated, this, &frmLogin::txtUserName_Click);
    connect(txtUserName->lineEdit(), &QLineEdit::returnPressed, cmdOK, &QPushButton::click);
    connect(txtPassword, &QLineEdit::returnPressed, cmdOK, &QPushButton::click);
    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmLogin::load()
{
    clsADO &db = program::db();
    if (!ctrcls::FileExsits(db.dbDir())) {
        showMessage(this, QStringLiteral("错误提示：\r\n系统未找到文件：") + db.dbDir() + QStringLiteral("\r\n点击确定退出"),
                    QStringLiteral("系统错误"), MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }

    setWindowTitle(QString::fromLatin1(program::title));
    cmdOK->setText(QString());
    cmdCancel->setText(QString());
    cmdOK->setIcon(picture(Picture::Confirm));
    cmdCancel->setIcon(picture(Picture::Close));
    cmdOK->setToolTip(QStringLiteral("登录"));
    cmdCancel->setToolTip(QStringLiteral("退出"));

    loadRemembered();
    return true;
}

void frmLogin::loadRemembered()
{
    clsADO &db = program::db();
    db.OpenDB();
    try {
        const QList<RememberedUser> users = LoginStore::remembered(db);
        for (const RememberedUser &u : users)
            txtUserName->addItem(u.name);
        if (!users.isEmpty() && users.first().focus) {
            txtUserName->setCurrentIndex(0);
            txtPassword->setText(users.first().password);
            Check1->setChecked(true);
        } else {
            txtUserName->setCurrentIndex(-1);
            txtUserName->setEditText(QString());
        }
        db.CloseDB();
    } catch (const DbError &e) {
        db.CloseDB();
        if (e.kind() != DbErrorKind::NoSuchColumn)
            return; // the window shows as far as it got
        db.OpenDB();
        try {
            LoginStore::upgradeAutouser(db);
        } catch (const DbError &) {
        }
        db.CloseDB();
        txtUserName->setEditText(QStringLiteral("admin"));
    }
}

void frmLogin::txtUserName_Click()
{
    clsADO &db = program::db();
    db.OpenDB();
    try {
        const RememberedUser row = LoginStore::rememberedRow(db, txtUserName->currentText());
        txtPassword->setText(row.focus ? row.password : QString());
        Check1->setChecked(row.focus);
    } catch (const DbError &) {
        txtPassword->clear();
        Check1->setChecked(false);
    }
    db.CloseDB();
}

void frmLogin::cmdOK_Click()
{
    if (result() == QDialog::Accepted)
        return; // a key press that reaches both boxes must not count a second login
    const QString name = txtUserName->currentText();
    const QString password = txtPassword->text();
    const QString title = QStringLiteral("登录错误");
    if (name.isEmpty() || password.isEmpty()) {
        showMessage(this, QStringLiteral("用户名、密码不能为空"), title, MsgButtons::Ok, MsgIcon::Critical);
        selectField(txtUserName);
        return;
    }

    clsADO &db = program::db();
    db.OpenDB();
    qint32 count = 0;
    LoginResult result;
    try {
        result = LoginStore::login(db, name, password, Check1->isChecked(), &count);
    } catch (const DbError &e) {
        db.CloseDB();
        showFailure(this, e.message());
        return;
    }
    db.CloseDB();

    if (result == LoginResult::NoSuchUser) {
        showMessage(this, QStringLiteral("用户名或密码错误"), title, MsgButtons::Ok, MsgIcon::Critical);
        selectField(txtUserName);
        return;
    }
    if (result == LoginResult::WrongPassword) {
        showMessage(this, QStringLiteral("用户名密码错误"), title, MsgButtons::Ok, MsgIcon::Critical);
        selectField(txtPassword);
        return;
    }

    program::Session &s = program::session();
    s.userName = name;
    s.loginCount = count;
    Q_EMIT loggedIn();
    accept();
}

void frmLogin::selectField(QWidget *field)
{
    field->setFocus();
    if (field == txtUserName)
        txtUserName->lineEdit()->selectAll();
    else if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
}

bool frmLogin::eventFilter(QObject *watched, QEvent *event)
{
    // A mouse click would place the caret after the focus arrives; select once it has settled.
    if (watched == txtPassword && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtPassword, [this] { txtPassword->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

void frmLogin::done(int result)
{
    QDialog::done(result);
    trimWorkingSet();
}

} // namespace ht

#include "banks/newbankDialog.h"

#include "book/BankStore.h"

#include "foundation/DatePicker.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/NameText.h"
#include "foundation/Program.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ht {
namespace {

const QDate firstDate(2000, 1, 1);

QLabel *star(QWidget *parent)
{
    auto *l = new QLabel(QStringLiteral("*"), parent);
    l->setStyleSheet(QStringLiteral("color: red"));
    return l;
}

// The balance as the box shows it: always with a point, so 1500 reads 1500.00.
QString balanceBoxText(Money m)
{
    QString t = m.balanceText();
    if (!t.contains(QLatin1Char('.')))
        t += QStringLiteral(".00");
    return t;
}

} // namespace

newbankDialog::newbankDialog(QWidget *parent, qint64 id) : QDialog(parent), m_id(id)
{
    setObjectName(QStringLiteral("newbankDialog"));
    auto *frame = named(new QGroupBox(QStringLiteral("账户信息"), this), "Frame1");
    const auto box = [frame](const char *name) {
        auto *b = named(new QLineEdit(frame), name);
        b->setFixedWidth(145);
        return b;
    };
    m_place = box("Text1");
    m_bank = box("Text2");
    m_account = box("Text3");
    m_balance = box("Text6");
    m_balance->setText(QStringLiteral("0.00"));
    selectAllOnFocus(m_balance);
    m_opened = named(new DatePicker(frame), "DTPicker1");
    m_opened->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_opened->setFixedWidth(145);
    m_opened->setDate(firstDate);
    m_holder = box("Text4");
    m_card = box("Text5");
    m_remark = named(new QPlainTextEdit(frame), "Text7");
    m_remark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedSize(393, 49);

    // Two columns of label, box and mark; the remark spans both below.
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setVerticalSpacing(10);
    grid->setHorizontalSpacing(6);
    grid->setColumnMinimumWidth(3, 24);
    const auto label = [frame](const char *text) { return new QLabel(QString::fromUtf8(text), frame); };
    const auto labelOf = [](QWidget *box, const char *text) { return labelFor(box, QString::fromUtf8(text)); };
    const auto withStar = [&](QWidget *w, bool required) {
        auto *row = new QHBoxLayout;
        row->setSpacing(3);
        row->addWidget(w);
        if (required)
            row->addWidget(star(frame));
        row->addStretch();
        return row;
    };
    grid->addWidget(labelOf(m_place, "开户地："), 0, 0);
    grid->addLayout(withStar(m_place, true), 0, 1);
    grid->addWidget(labelOf(m_bank, "开户行："), 1, 0);
    grid->addLayout(withStar(m_bank, true), 1, 1);
    grid->addWidget(labelOf(m_account, "账  号："), 2, 0);
    grid->addLayout(withStar(m_account, true), 2, 1);
    grid->addWidget(labelOf(m_balance, "余  额："), 3, 0);
    auto *balance = withStar(m_balance, false);
    balance->insertWidget(1, label("元"));
    grid->addLayout(balance, 3, 1);
    grid->addWidget(labelOf(m_remark, "备  注："), 4, 0, Qt::AlignTop);
    grid->addWidget(m_remark, 4, 1, 1, 4, Qt::AlignLeft);
    grid->addWidget(labelOf(m_opened, "开户日期："), 0, 3);
    grid->addLayout(withStar(m_opened, false), 0, 4);
    grid->addWidget(labelOf(m_holder, "开 户 名："), 1, 3);
    grid->addLayout(withStar(m_holder, true), 1, 4);
    grid->addWidget(labelOf(m_card, "卡    号："), 2, 3);
    grid->addLayout(withStar(m_card, false), 2, 4);
    auto *legend = new QHBoxLayout;
    legend->setSpacing(2);
    legend->addWidget(label("标"));
    legend->addWidget(star(frame));
    legend->addWidget(label("为必填项"));
    legend->addStretch();
    grid->addLayout(legend, 3, 4);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("退出"));
    frameOverButtons(this, frame, OKButton, CancelButton);

    QWidget *order[] = {m_place,  m_bank, m_account, m_balance, m_opened,
                        m_holder, m_card, m_remark,  OKButton,  CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(OKButton, &QPushButton::clicked, this, &newbankDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    setWindowTitle(QStringLiteral("添加银行账户"));
    m_place->setFocus();
    if (id > 0)
        load(id);
}

void newbankDialog::load(qint64 id)
{
    setWindowTitle(QStringLiteral("修改银行账号"));
    std::optional<BankAccount> a;
    if (!withDb(this, [&](clsADO &db) { a = BankStore::load(db, program::session().userName, id); }))
        return;
    if (!a) {
        // Gone since the list was loaded, or never the user's: nothing to modify.
        refuse(this, QStringLiteral("此银行账户已不存在"));
        m_id = -1;
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    m_place->setText(a->addr);
    m_bank->setText(a->name);
    m_account->setText(a->account);
    m_holder->setText(a->holder);
    m_card->setText(a->card);
    if (a->regdate.isValid())
        m_opened->setDate(a->regdate);
    m_remark->setPlainText(a->memo);
    m_balance->setText(balanceBoxText(a->balance));
}

void newbankDialog::OKButton_Click()
{
    const std::pair<QLineEdit *, const char *> required[] = {
        {m_place, "请输入开户地"}, {m_bank, "请输入开户行"}, {m_account, "请输入银行账号"}, {m_holder, "请输入开户名"}};
    for (const auto &[field, text] : required) {
        if (SQLCut(field->text()).isEmpty())
            return refuse(this, QString::fromUtf8(text), field);
    }
    // An empty balance is an account with nothing in it.
    std::optional<Money> balance = Money();
    if (!SQLCut(m_balance->text()).trimmed().isEmpty())
        balance = Money::parse(m_balance->text());
    if (!balance)
        return refuse(this, QStringLiteral("请正确输入银行余额"), m_balance);

    const qint64 id = m_id;
    if (id < 0)
        return;
    const QString &user = program::session().userName;
    BankAccount a;
    a.id = id;
    // The numbers identify the account; the other texts are kept as typed.
    a.addr = m_place->text();
    a.name = m_bank->text();
    a.account = SQLCut(m_account->text());
    a.holder = m_holder->text();
    a.card = SQLCut(m_card->text());
    a.balance = *balance;
    a.regdate = m_opened->date();
    a.memo = typedText(m_remark);

    bool taken = false;
    bool saved = false;
    const bool ok = withDb(this, [&](clsADO &db) {
        if (id == 0) {
            taken = BankStore::accountTaken(db, user, a.account);
            if (!taken)
                saved = BankStore::add(db, user, a) > 0;
        } else {
            saved = BankStore::update(db, user, a);
        }
    });
    if (!ok)
        return;
    if (taken)
        return refuse(this, QStringLiteral("此银行账户已存在"), m_account);
    if (!saved) {
        refuse(this, QStringLiteral("此银行账户已不存在"));
        Q_EMIT gone();
        reject();
        return;
    }
    if (id > 0)
        accept();
    else
        clearForNext();
}

void newbankDialog::clearForNext()
{
    for (QLineEdit *box : {m_place, m_bank, m_account, m_holder, m_card})
        box->clear();
    m_remark->clear();
    m_balance->setText(QStringLiteral("0.00"));
    m_opened->setDate(firstDate);
    m_place->setFocus();
}

} // namespace ht

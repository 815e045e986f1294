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

newbankDialog::newbankDialog(QWidget *parent, qint64 id) : QDialog(parent)
{
    setObjectName(QStringLiteral("newbankDialog"));
    Frame1 = named(new QGroupBox(QStringLiteral("账户信息"), this), "Frame1");
    const auto box = [this](const char *name) {
        auto *b = named(new QLineEdit(Frame1), name);
        b->setFixedWidth(145);
        return b;
    };
    Text1 = box("Text1");
    Text2 = box("Text2");
    Text3 = box("Text3");
    Text6 = box("Text6");
    Text6->setText(QStringLiteral("0.00"));
    selectAllOnFocus(Text6);
    DTPicker1 = named(new DatePicker(Frame1), "DTPicker1");
    DTPicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DTPicker1->setFixedWidth(145);
    DTPicker1->setDate(firstDate);
    Text4 = box("Text4");
    Text5 = box("Text5");
    Text7 = named(new QPlainTextEdit(Frame1), "Text7");
    Text7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text7->setTabChangesFocus(true);
    Text7->setFixedSize(393, 49);
    hdModID = hiddenValue(this, "hdModID", id);

    // Two columns of label, box and mark; the remark spans both below.
    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setVerticalSpacing(10);
    grid->setHorizontalSpacing(6);
    grid->setColumnMinimumWidth(3, 24);
    const auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), Frame1); };
    const auto labelOf = [](QWidget *box, const char *text) { return labelFor(box, QString::fromUtf8(text)); };
    const auto withStar = [&](QWidget *w, bool required) {
        auto *row = new QHBoxLayout;
        row->setSpacing(3);
        row->addWidget(w);
        if (required)
            row->addWidget(star(Frame1));
        row->addStretch();
        return row;
    };
    grid->addWidget(labelOf(Text1, "开户地："), 0, 0);
    grid->addLayout(withStar(Text1, true), 0, 1);
    grid->addWidget(labelOf(Text2, "开户行："), 1, 0);
    grid->addLayout(withStar(Text2, true), 1, 1);
    grid->addWidget(labelOf(Text3, "账  号："), 2, 0);
    grid->addLayout(withStar(Text3, true), 2, 1);
    grid->addWidget(labelOf(Text6, "余  额："), 3, 0);
    auto *balance = withStar(Text6, false);
    balance->insertWidget(1, label("元"));
    grid->addLayout(balance, 3, 1);
    grid->addWidget(labelOf(Text7, "备  注："), 4, 0, Qt::AlignTop);
    grid->addWidget(Text7, 4, 1, 1, 4, Qt::AlignLeft);
    grid->addWidget(labelOf(DTPicker1, "开户日期："), 0, 3);
    grid->addLayout(withStar(DTPicker1, false), 0, 4);
    grid->addWidget(labelOf(Text4, "开 户 名："), 1, 3);
    grid->addLayout(withStar(Text4, true), 1, 4);
    grid->addWidget(labelOf(Text5, "卡    号："), 2, 3);
    grid->addLayout(withStar(Text5, false), 2, 4);
    auto *legend = new QHBoxLayout;
    legend->setSpacing(2);
    legend->addWidget(label("标"));
    legend->addWidget(star(Frame1));
    legend->addWidget(label("为必填项"));
    legend->addStretch();
    grid->addLayout(legend, 3, 4);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("退出"));
    frameOverButtons(this, Frame1, OKButton, CancelButton);

    QWidget *order[] = {Text1, Text2, Text3, Text6, DTPicker1, Text4, Text5, Text7, OKButton, CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(OKButton, &QPushButton::clicked, this, &newbankDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    setWindowTitle(QStringLiteral("添加银行账户"));
    Text1->setFocus();
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
        hdModID->setText(QStringLiteral("-1"));
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    Text1->setText(a->addr);
    Text2->setText(a->name);
    Text3->setText(a->account);
    Text4->setText(a->holder);
    Text5->setText(a->card);
    if (a->regdate.isValid())
        DTPicker1->setDate(a->regdate);
    Text7->setPlainText(a->memo);
    Text6->setText(balanceBoxText(a->balance));
}

void newbankDialog::OKButton_Click()
{
    const std::pair<QLineEdit *, const char *> required[] = {
        {Text1, "请输入开户地"}, {Text2, "请输入开户行"}, {Text3, "请输入银行账号"}, {Text4, "请输入开户名"}};
    for (const auto &[field, text] : required) {
        if (stripQuotesAndPercents(field->text()).isEmpty())
            return refuse(this, QString::fromUtf8(text), field);
    }
    // An empty balance is an account with nothing in it.
    std::optional<Money> balance = Money();
    if (!stripQuotesAndPercents(Text6->text()).trimmed().isEmpty())
        balance = Money::parse(Text6->text());
    if (!balance)
        return refuse(this, QStringLiteral("请正确输入银行余额"), Text6);

    const qint64 id = hdModID->text().toLongLong();
    if (id < 0)
        return;
    const QString &user = program::session().userName;
    BankAccount a;
    a.id = id;
    // The numbers identify the account; the other texts are kept as typed.
    a.addr = Text1->text();
    a.name = Text2->text();
    a.account = stripQuotesAndPercents(Text3->text());
    a.holder = Text4->text();
    a.card = stripQuotesAndPercents(Text5->text());
    a.balance = *balance;
    a.regdate = DTPicker1->date();
    a.memo = typedText(Text7);

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
        return refuse(this, QStringLiteral("此银行账户已存在"), Text3);
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
    for (QLineEdit *box : {Text1, Text2, Text3, Text4, Text5})
        box->clear();
    Text7->clear();
    Text6->setText(QStringLiteral("0.00"));
    DTPicker1->setDate(firstDate);
    Text1->setFocus();
}

} // namespace ht

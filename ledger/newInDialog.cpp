#include "ledger/newInDialog.h"

#include "book/RecordStore.h"

#include "foundation/DatePicker.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/NameText.h"
#include "foundation/Program.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ht {

newInDialog::newInDialog(QWidget *parent, int cls, qint64 id) : QDialog(parent)
{
    setObjectName(QStringLiteral("newInDialog"));
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    DTPicker1 = new DatePicker(Frame1);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    DTPicker1->setMinimumWidth(170);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(185);
    Text1 = new QLineEdit(QStringLiteral("0.00"), Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaximumWidth(145);
    selectAllOnFocus(Text1);
    Text2 = new QPlainTextEdit(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setTabChangesFocus(true);
    Text2->setFixedSize(193, 65);
    modifyId = hiddenValue(this, "modifyId", id);
    hdFrmStyle = hiddenValue(this, "hdFrmStyle", cls);

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(40, 16, 40, 16);
    grid->setVerticalSpacing(14);
    grid->addWidget(labelFor(DTPicker1, QStringLiteral("日期：")), 0, 0);
    grid->addWidget(DTPicker1, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(labelFor(Combo1, QStringLiteral("类别：")), 1, 0);
    grid->addWidget(Combo1, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(labelFor(Text1, QStringLiteral("金额：")), 2, 0);
    auto *amount = new QHBoxLayout;
    amount->addWidget(Text1);
    amount->addWidget(new QLabel(QStringLiteral("元"), Frame1));
    amount->addStretch();
    grid->addLayout(amount, 2, 1, 1, 2);
    grid->addWidget(labelFor(Text2, QStringLiteral("备注：")), 3, 0, Qt::AlignTop);
    grid->addWidget(Text2, 3, 1, 1, 2, Qt::AlignLeft);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));

    frameOverButtons(this, Frame1, OKButton, CancelButton);

    setTabOrder(Combo1, DTPicker1);
    setTabOrder(DTPicker1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &newInDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    load(cls >= 1 ? 1 : 0, id);
}

void newInDialog::load(int cls, qint64 id)
{
    const QString &user = program::session().userName;
    std::optional<Record> existing;
    withDb(this, [&](clsADO &db) {
        for (const Category &c : RecordStore::categories(db, user, cls))
            Combo1->addItem(c.name, c.id);
        if (id > 0)
            existing = RecordStore::record(db, user, id);
    });
    // Nothing is chosen for the user: a category must be picked on purpose.
    Combo1->setCurrentIndex(-1);
    DTPicker1->setDateTime(QDateTime::currentDateTime());

    if (id > 0)
        setWindowTitle(cls == 1 ? QStringLiteral("修改收入记录") : QStringLiteral("修改支出记录"));
    else
        setWindowTitle(cls == 1 ? QStringLiteral("增加收入") : QStringLiteral("增加支出"));

    if (existing) {
        Combo1->setCurrentIndex(existing->category.isEmpty() ? -1 : Combo1->findText(existing->category));
        if (existing->postdate.isValid())
            DTPicker1->setDateTime(existing->postdate);
        Text1->setText(existing->amount.text());
        Text2->setPlainText(existing->memo);
    }
}

void newInDialog::OKButton_Click()
{
    const QString title = QStringLiteral("出错了");
    if (stripQuotesAndPercents(Combo1->currentText()).isEmpty()) {
        showMessage(this, QStringLiteral("提示：请选择类别"), title);
        Combo1->setFocus();
        return;
    }
    const std::optional<Money> amount = Money::parse(Text1->text());
    if (!amount) {
        showMessage(this, QStringLiteral("提示：请正确输入金额"), title);
        focusAndSelect(Text1);
        return;
    }

    const QString &user = program::session().userName;
    const qint64 editing = modifyId->text().toLongLong();
    Record r;
    r.id = editing > 0 ? editing : 0;
    r.style = hdFrmStyle->text().toInt() >= 1 ? 1 : 0;
    r.postdate = DTPicker1->dateTime();
    r.amount = *amount;
    r.memo = typedText(Text2);

    bool known = true;
    const bool ok = withDb(this, [&](clsADO &db) {
        const std::optional<qint64> typeId = RecordStore::categoryId(db, user, r.style, Combo1->currentText());
        known = typeId.has_value();
        if (known)
            RecordStore::save(db, user, r, *typeId);
    });
    if (!ok)
        return;
    if (!known) {
        showMessage(this, QStringLiteral("类别选择错误，请选择下拉列表内的类别"), title);
        return;
    }
    if (editing > 0) {
        accept();
        return;
    }
    // Ready for the next record: the category and the date stay.
    Combo1->setFocus();
    Text1->setText(QStringLiteral("0.00"));
    Text2->clear();
}

} // namespace ht

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

newInDialog::newInDialog(QWidget *parent, int cls, qint64 id) : QDialog(parent), m_id(id), m_cls(cls >= 1 ? 1 : 0)
{
    setObjectName(QStringLiteral("newInDialog"));
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));

    m_date = new DatePicker(frame);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_date->setMinimumWidth(170);
    m_category = new QComboBox(frame);
    m_category->setObjectName(QStringLiteral("Combo1"));
    m_category->setMinimumWidth(185);
    m_amount = new QLineEdit(QStringLiteral("0.00"), frame);
    m_amount->setObjectName(QStringLiteral("Text1"));
    m_amount->setMaximumWidth(145);
    selectAllOnFocus(m_amount);
    m_remark = new QPlainTextEdit(frame);
    m_remark->setObjectName(QStringLiteral("Text2"));
    m_remark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remark->setTabChangesFocus(true);
    m_remark->setFixedSize(193, 65);

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(40, 16, 40, 16);
    grid->setVerticalSpacing(14);
    grid->addWidget(labelFor(m_date, QStringLiteral("日期：")), 0, 0);
    grid->addWidget(m_date, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(labelFor(m_category, QStringLiteral("类别：")), 1, 0);
    grid->addWidget(m_category, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(labelFor(m_amount, QStringLiteral("金额：")), 2, 0);
    auto *amount = new QHBoxLayout;
    amount->addWidget(m_amount);
    amount->addWidget(new QLabel(QStringLiteral("元"), frame));
    amount->addStretch();
    grid->addLayout(amount, 2, 1, 1, 2);
    grid->addWidget(labelFor(m_remark, QStringLiteral("备注：")), 3, 0, Qt::AlignTop);
    grid->addWidget(m_remark, 3, 1, 1, 2, Qt::AlignLeft);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));

    frameOverButtons(this, frame, OKButton, CancelButton);

    setTabOrder(m_category, m_date);
    setTabOrder(m_date, m_amount);
    setTabOrder(m_amount, m_remark);
    setTabOrder(m_remark, OKButton);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &newInDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    load(m_cls, id);
}

void newInDialog::load(int cls, qint64 id)
{
    const QString &user = program::session().userName;
    std::optional<Record> existing;
    withDb(this, [&](clsADO &db) {
        for (const Category &c : RecordStore::categories(db, user, cls))
            m_category->addItem(c.name, c.id);
        if (id > 0)
            existing = RecordStore::record(db, user, id);
    });
    // Nothing is chosen for the user: a category must be picked on purpose.
    m_category->setCurrentIndex(-1);
    m_date->setDateTime(QDateTime::currentDateTime());

    if (id > 0)
        setWindowTitle(cls == 1 ? QStringLiteral("修改收入记录") : QStringLiteral("修改支出记录"));
    else
        setWindowTitle(cls == 1 ? QStringLiteral("增加收入") : QStringLiteral("增加支出"));

    if (existing) {
        m_category->setCurrentIndex(existing->category.isEmpty() ? -1 : m_category->findText(existing->category));
        if (existing->postdate.isValid())
            m_date->setDateTime(existing->postdate);
        m_amount->setText(existing->amount.text());
        m_remark->setPlainText(existing->memo);
    }
}

void newInDialog::OKButton_Click()
{
    const QString title = QStringLiteral("出错了");
    if (SQLCut(m_category->currentText()).isEmpty()) {
        showMessage(this, QStringLiteral("提示：请选择类别"), title);
        m_category->setFocus();
        return;
    }
    const std::optional<Money> amount = Money::parse(m_amount->text());
    if (!amount) {
        showMessage(this, QStringLiteral("提示：请正确输入金额"), title);
        focusAndSelect(m_amount);
        return;
    }

    const QString &user = program::session().userName;
    const qint64 editing = m_id;
    Record r;
    r.id = editing > 0 ? editing : 0;
    r.style = m_cls;
    r.postdate = m_date->dateTime();
    r.amount = *amount;
    r.memo = typedText(m_remark);

    bool known = true;
    const bool ok = withDb(this, [&](clsADO &db) {
        const std::optional<qint64> typeId = RecordStore::categoryId(db, user, r.style, m_category->currentText());
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
    m_category->setFocus();
    m_amount->setText(QStringLiteral("0.00"));
    m_remark->clear();
}

} // namespace ht

#include "categories/searchDialog.h"

#include "ledger/LedgerLists.h"

#include "book/QueryConditions.h"
#include "book/RecordStore.h"

#include "foundation/DatePicker.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ht {
namespace {

QDateTimeEdit *datePicker(QWidget *parent, const char *name)
{
    auto *picker = named(new DatePicker(parent), name);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setMinimumWidth(120);
    return picker;
}

QComboBox *categoryBox(QWidget *parent, const char *name)
{
    auto *box = named(new QComboBox(parent), name);
    box->setMinimumWidth(130);
    return box;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *line = new QHBoxLayout;
    for (QWidget *w : widgets)
        line->addWidget(w);
    line->setSpacing(8);
    line->addStretch();
    return line;
}

} // namespace

searchDialog::searchDialog(QWidget *parent, bool deleting) : QDialog(parent), m_deleting(deleting)
{
    setObjectName(QStringLiteral("searchDialog"));
    setWindowTitle(QStringLiteral("查询记录"));
    m_frame = named(new QGroupBox(QStringLiteral("按条件查询，需要查询的条件请打勾"), this), "Frame1");

    m_byDate = named(new QCheckBox(QStringLiteral("时间范围"), m_frame), "Check1");
    m_from = datePicker(m_frame, "DTPicker1");
    m_to = datePicker(m_frame, "DTPicker2");
    m_byCategory = named(new QCheckBox(QStringLiteral("类别"), m_frame), "Check2");
    m_incomeCategory = categoryBox(m_frame, "Combo1");
    m_expenseCategory = categoryBox(m_frame, "Combo2");
    m_byAmount = named(new QCheckBox(QStringLiteral("金额"), m_frame), "Check3");
    m_amount = named(new QLineEdit(QStringLiteral("0.00"), m_frame), "Text2");
    m_amount->setFixedWidth(110);
    m_byRemark = named(new QCheckBox(QStringLiteral("备注"), m_frame), "Check4");
    m_remark = named(new QLineEdit(m_frame), "Text1");
    m_remark->setMinimumWidth(200);
    selectAllOnFocus(m_remark);

    const auto label = [this](const QString &text) { return new QLabel(text, m_frame); };
    // The dates have no label of their own; every other box is announced by its label.
    m_from->setAccessibleName(QStringLiteral("开始日期"));
    m_to->setAccessibleName(QStringLiteral("结束日期"));
    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(20, 16, 20, 16);
    grid->setVerticalSpacing(14);
    grid->setHorizontalSpacing(16);
    grid->addWidget(m_byDate, 0, 0);
    grid->addLayout(row({m_from, label(QStringLiteral("至")), m_to}), 0, 1);
    grid->addWidget(m_byCategory, 1, 0);
    grid->addLayout(row({labelFor(m_incomeCategory, QStringLiteral("收入类别：")), m_incomeCategory,
                         labelFor(m_expenseCategory, QStringLiteral("支出类别：")), m_expenseCategory}),
                    1, 1);
    grid->addWidget(m_byAmount, 2, 0);
    grid->addLayout(row({labelFor(m_amount, QStringLiteral("请输入金额：")), m_amount}), 2, 1);
    grid->addWidget(m_byRemark, 3, 0);
    grid->addLayout(
        row({labelFor(m_remark, QStringLiteral("请输入备注内容：")), m_remark, label(QStringLiteral("（模糊查询）"))}),
        3, 1);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));

    frameOverButtons(this, m_frame, OKButton, CancelButton);

    QWidget *order[] = {m_byDate,   m_from,   m_to,       m_byCategory, m_incomeCategory, m_expenseCategory,
                        m_byAmount, m_amount, m_byRemark, m_remark,     OKButton,         CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_byDate, &QCheckBox::toggled, this, [this](bool on) {
        m_from->setEnabled(on);
        m_to->setEnabled(on);
    });
    connect(m_byCategory, &QCheckBox::toggled, this, [this](bool on) {
        m_incomeCategory->setEnabled(on);
        m_expenseCategory->setEnabled(on);
    });
    // The caret at the start and the amount's digits selected, blanks around them aside.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now == m_amount)
            QTimer::singleShot(0, m_amount,
                               [this] { m_amount->setSelection(0, int(m_amount->text().trimmed().size())); });
    });
    connect(OKButton, &QPushButton::clicked, this, &searchDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    load();
}

void searchDialog::load()
{
    if (m_deleting) {
        setWindowTitle(QStringLiteral("批量删除记录"));
        m_frame->setTitle(QStringLiteral("按条件批量删除记录，请在需要删除的查询条件打勾"));
    }

    // The first entry stays empty: no category of that class.
    m_incomeCategory->addItem(QString());
    m_expenseCategory->addItem(QString());
    withDb(this, [&](clsADO &db) {
        const QString &user = program::session().userName;
        for (const Category &c : RecordStore::categories(db, user, 1))
            m_incomeCategory->addItem(c.name, c.id);
        for (const Category &c : RecordStore::categories(db, user, 0))
            m_expenseCategory->addItem(c.name, c.id);
    });

    m_from->setDate(program::today());
    m_to->setDate(program::today());
    for (QWidget *w : std::initializer_list<QWidget *>{m_from, m_to, m_incomeCategory, m_expenseCategory})
        w->setEnabled(false);
}

SearchConditions searchDialog::conditions() const
{
    SearchConditions c;
    c.byDate = m_byDate->isChecked();
    c.from = m_from->date();
    c.to = m_to->date();
    c.byCategory = m_byCategory->isChecked();
    c.incomeType = m_incomeCategory->currentData().toLongLong();
    c.expenseType = m_expenseCategory->currentData().toLongLong();
    c.byAmount = m_byAmount->isChecked();
    c.amount = m_amount->text();
    c.byMemo = m_byRemark->isChecked();
    c.memo = m_remark->text();
    return c;
}

void searchDialog::OKButton_Click()
{
    const SearchConditions c = conditions();
    if (!c.anyTicked()) {
        showMessage(this, QStringLiteral("提示：请选择要查询的条件项"), QStringLiteral("查询条件错误"));
        return;
    }
    if (c.datesReversed()) {
        showMessage(this, QStringLiteral("两个日期间隔不正确，请确定第二个日期要在第一个日期之后"),
                    QStringLiteral("日期选择错误"));
        m_to->setFocus();
        return;
    }
    if (m_deleting)
        deleteRecords(c);
    else
        runQuery(c);
}

void searchDialog::runQuery(const SearchConditions &c)
{
    const QueryPlan plan = QueryConditions::forQuery(c);
    if (LedgerLists *lists = LedgerLists::current())
        lists->applyQuery(plan.filter, plan.cls);
}

void searchDialog::deleteRecords(const SearchConditions &c)
{
    const SqlFilter filter = QueryConditions::forDelete(c);
    // Ticked boxes that say nothing would otherwise pick every record of the user.
    if (filter.isEmpty()) {
        showMessage(this, QStringLiteral("提示：所选条件不能确定要删除的记录"), QStringLiteral("查询条件错误"));
        return;
    }
    const QString &user = program::session().userName;
    qint64 count = 0;
    if (!withDb(this, [&](clsADO &db) { count = QueryConditions::countPicked(db, user, filter); }))
        return;
    if (count == 0) {
        showMessage(this, QStringLiteral("提示：没有符合条件的记录，无需删除"), QStringLiteral("系统提示"));
        return;
    }
    // Asked with no lock held: the question may stay open for as long as the user likes.
    const QString question =
        QStringLiteral("确定要删除此条件的所有记录吗？\r\n共 %1 条记录将被删除（移到回收站，可以恢复）").arg(count);
    if (!askOkCancel(this, question, QStringLiteral("系统提示")))
        return;
    const BusyCursor busy;
    withDb(this, [&](clsADO &db) { QueryConditions::deletePicked(db, user, filter); });
}

} // namespace ht

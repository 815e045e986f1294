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
    Frame1 = named(new QGroupBox(QStringLiteral("按条件查询，需要查询的条件请打勾"), this), "Frame1");

    Check1 = named(new QCheckBox(QStringLiteral("时间范围"), Frame1), "Check1");
    DTPicker1 = datePicker(Frame1, "DTPicker1");
    DTPicker2 = datePicker(Frame1, "DTPicker2");
    Check2 = named(new QCheckBox(QStringLiteral("类别"), Frame1), "Check2");
    Combo1 = categoryBox(Frame1, "Combo1");
    Combo2 = categoryBox(Frame1, "Combo2");
    Check3 = named(new QCheckBox(QStringLiteral("金额"), Frame1), "Check3");
    Text2 = named(new QLineEdit(QStringLiteral("0.00"), Frame1), "Text2");
    Text2->setFixedWidth(110);
    Check4 = named(new QCheckBox(QStringLiteral("备注"), Frame1), "Check4");
    Text1 = named(new QLineEdit(Frame1), "Text1");
    Text1->setMinimumWidth(200);
    selectAllOnFocus(Text1);

    const auto label = [this](const QString &text) { return new QLabel(text, Frame1); };
    // The dates have no label of their own; every other box is announced by its label.
    DTPicker1->setAccessibleName(QStringLiteral("开始日期"));
    DTPicker2->setAccessibleName(QStringLiteral("结束日期"));
    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(20, 16, 20, 16);
    grid->setVerticalSpacing(14);
    grid->setHorizontalSpacing(16);
    grid->addWidget(Check1, 0, 0);
    grid->addLayout(row({DTPicker1, label(QStringLiteral("至")), DTPicker2}), 0, 1);
    grid->addWidget(Check2, 1, 0);
    grid->addLayout(row({labelFor(Combo1, QStringLiteral("收入类别：")), Combo1,
                         labelFor(Combo2, QStringLiteral("支出类别：")), Combo2}),
                    1, 1);
    grid->addWidget(Check3, 2, 0);
    grid->addLayout(row({labelFor(Text2, QStringLiteral("请输入金额：")), Text2}), 2, 1);
    grid->addWidget(Check4, 3, 0);
    grid->addLayout(
        row({labelFor(Text1, QStringLiteral("请输入备注内容：")), Text1, label(QStringLiteral("（模糊查询）"))}), 3, 1);

    OKButton = dialogButton(this, "OKButton", QStringLiteral("确定"));
    CancelButton = dialogButton(this, "CancelButton", QStringLiteral("关闭"));

    frameOverButtons(this, Frame1, OKButton, CancelButton);

    QWidget *order[] = {Check1, DTPicker1, DTPicker2, Check2, Combo1,   Combo2,
                        Check3, Text2,     Check4,    Text1,  OKButton, CancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        DTPicker1->setEnabled(on);
        DTPicker2->setEnabled(on);
    });
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) {
        Combo1->setEnabled(on);
        Combo2->setEnabled(on);
    });
    // The caret at the start and the amount's digits selected, blanks around them aside.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now == Text2)
            QTimer::singleShot(0, Text2, [this] { Text2->setSelection(0, int(Text2->text().trimmed().size())); });
    });
    connect(OKButton, &QPushButton::clicked, this, &searchDialog::OKButton_Click);
    setUpDialog(this, OKButton, CancelButton);
    load();
}

void searchDialog::load()
{
    if (m_deleting) {
        setWindowTitle(QStringLiteral("批量删除记录"));
        Frame1->setTitle(QStringLiteral("按条件批量删除记录，请在需要删除的查询条件打勾"));
    }

    // The first entry stays empty: no category of that class.
    Combo1->addItem(QString());
    Combo2->addItem(QString());
    withDb(this, [&](clsADO &db) {
        const QString &user = program::session().userName;
        for (const Category &c : RecordStore::categories(db, user, 1))
            Combo1->addItem(c.name, c.id);
        for (const Category &c : RecordStore::categories(db, user, 0))
            Combo2->addItem(c.name, c.id);
    });

    DTPicker1->setDate(program::today());
    DTPicker2->setDate(program::today());
    for (QWidget *w : std::initializer_list<QWidget *>{DTPicker1, DTPicker2, Combo1, Combo2})
        w->setEnabled(false);
}

SearchConditions searchDialog::conditions() const
{
    SearchConditions c;
    c.byDate = Check1->isChecked();
    c.from = DTPicker1->date();
    c.to = DTPicker2->date();
    c.byCategory = Check2->isChecked();
    c.incomeType = Combo1->currentData().toLongLong();
    c.expenseType = Combo2->currentData().toLongLong();
    c.byAmount = Check3->isChecked();
    c.amount = Text2->text();
    c.byMemo = Check4->isChecked();
    c.memo = Text1->text();
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
        DTPicker2->setFocus();
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
    const QString question = QStringLiteral("确定要删除此条件的所有记录吗？\r\n共 %1 条记录将被删除").arg(count);
    if (showMessage(this, question, QStringLiteral("系统提示"), MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    withDb(this, [&](clsADO &db) { QueryConditions::deletePicked(db, user, filter); });
}

} // namespace ht

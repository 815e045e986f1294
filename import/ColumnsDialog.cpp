#include "import/ColumnsDialog.h"

#include "foundation/DialogKit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ht {
namespace {

struct Field {
    const char *label;
    const char *name;
    const char *guesses; // words of a column name that suggest it, '|' between them
};
// In the order of bill::Columns.
constexpr Field fields[7] = {{"日期(&D)：", "date", "日期|时间"},
                             {"金额（带正负号）(&A)：", "amount", "交易金额|金额"},
                             {"收入金额(&I)：", "income", "收入|存入|贷方"},
                             {"支出金额(&E)：", "expense", "支出|取出|借方"},
                             {"收支方向(&W)：", "direction", "收/支|收支|借贷"},
                             {"备注(&R)：", "remark", "摘要|备注|对方|说明"},
                             {"交易号(&N)：", "id", "流水号|交易号|单号"}};

int *slot(bill::Columns &c, int i)
{
    int *places[7] = {&c.date, &c.amount, &c.income, &c.expense, &c.direction, &c.remark, &c.id};
    return places[i];
}

} // namespace

ColumnsDialog::ColumnsDialog(QWidget *parent, const QStringList &header, const std::optional<bill::Columns> &remembered)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ColumnsDialog"));
    setWindowTitle(QStringLiteral("指定账单的列"));
    bill::Columns start = remembered.value_or(bill::Columns{});
    auto *form = new QFormLayout;
    QList<int> taken;
    for (int i = 0; i < 7; ++i) {
        auto *box = named(new QComboBox(this), fields[i].name);
        box->addItem(QStringLiteral("（无）"), -1);
        for (int c = 0; c < header.size(); ++c)
            box->addItem(header.at(c).trimmed(), c);
        int chosen = *slot(start, i);
        if (!remembered) {
            // A guess takes the first column whose name holds one of its words and no
            // earlier field took.
            const QStringList words = QString::fromUtf8(fields[i].guesses).split(u'|');
            for (int c = 0; c < header.size() && chosen < 0; ++c) {
                for (const QString &w : words) {
                    if (header.at(c).contains(w) && !taken.contains(c)) {
                        chosen = c;
                        break;
                    }
                }
            }
            // A signed amount or the two columns, not both.
            if (i == 1
                && (header.join(QString()).contains(QStringLiteral("收入"))
                    || header.join(QString()).contains(QStringLiteral("支出"))))
                chosen = -1;
            taken << chosen;
        }
        box->setCurrentIndex(box->findData(chosen));
        boxes[i] = box;
        form->addRow(labelFor(box, QString::fromUtf8(fields[i].label)), box);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (columns().usable())
            return accept();
        refuse(this, QStringLiteral("请至少指定日期列，以及金额列或收入、支出金额列。"), boxes[0]);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("这个文件不是微信支付或支付宝账单。请指定各列的含义；"
                                                "以后导入表头相同的文件时会记住这次的选择。"),
                                 this));
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bill::Columns ColumnsDialog::columns() const
{
    bill::Columns c;
    for (int i = 0; i < 7; ++i)
        *slot(c, i) = boxes[i]->currentData().toInt();
    return c;
}

} // namespace ht

#include "backup/printDialog.h"

#include "backup/printpreviewDialog.h"

#include "ledger/LedgerLists.h"

#include "foundation/DateText.h"
#include "foundation/DialogKit.h"
#include "foundation/Program.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

namespace ht {
namespace backup {

QString periodText(int period, const QDate &today)
{
    const QString year = QString::number(today.year());
    switch (period) {
    case 1: return QStringLiteral("全部记录");
    case 2: return QStringLiteral("本年记录（%1年）").arg(year);
    case 3: return QStringLiteral("本月记录（%1年%2月）").arg(year).arg(today.month());
    case 4: return QStringLiteral("今日记录（%1）").arg(chsDate(today).trimmed());
    default:
        if (period >= 5 && period <= 16)
            return QStringLiteral("%1年%2月记录").arg(year).arg(period - 4);
        return QStringLiteral("查询结果");
    }
}

ListPrintout printoutOf(const QTreeView &list, int cls, int period, Money total)
{
    const QDate today = program::today();
    PrintHeading heading;
    heading.title = cls ? QStringLiteral("收入清单") : QStringLiteral("支出清单");
    heading.user = QStringLiteral("用户：") + program::session().userName;
    heading.period = QStringLiteral("期间：") + periodText(period, today);
    heading.printed = QStringLiteral("打印日期：") + chsDate(today).trimmed();
    heading.total = Money::yuan(total.text());
    return ListPrintout(takeList(list, false), heading);
}

} // namespace backup

printDialog::printDialog(QWidget *parent)
    : ChoiceDialog(parent,
                   {"printDialog", QStringLiteral("打印账单"), QStringLiteral("请选择要打印的数据："),
                    QStringLiteral("当前收入清单"), QStringLiteral("当前支出清单"), QStringLiteral("打印"),
                    QStringLiteral("取消"), backup::incomeColour, backup::expenseColour})
{
    if (parent)
        setWindowIcon(parent->windowIcon());
    // Text captions here, not pictures.
    pressOnEnter(OKButton);
    pressOnEnter(CancelButton);
    OKButton->setDefault(true);
    frameOverButtons(this, Frame1, OKButton, CancelButton);
    trimWhenClosed(this);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        const int cls = Option1->isChecked() ? 1 : 0;
        LedgerLists *lists = LedgerLists::current();
        if (!lists)
            return reject();
        printpreviewDialog preview(backup::printoutOf(*lists->list(cls), cls, lists->period(), lists->total(cls)),
                                   this);
        preview.exec();
        accept();
    });
}

} // namespace ht
